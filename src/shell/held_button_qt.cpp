#include "shell/held_button_qt.h"

#include <QPalette>

namespace {

constexpr QRgb kHeldTextColour = qRgb(200, 0, 0);

}  // namespace

HeldButton::HeldButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setCheckable(true);
}

void HeldButton::checkStateSet() {
  QPushButton::checkStateSet();
  // An empty palette inherits the dialog's again.
  QPalette colours;
  if (isChecked()) {
    colours.setColor(QPalette::ButtonText, QColor(kHeldTextColour));
  }
  setPalette(colours);
}
