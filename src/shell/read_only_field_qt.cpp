#include "shell/read_only_field_qt.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// Pixels between the frame and the text on either side.
constexpr int kTextPadding = 1;

QStyleOptionFrame PanelOption(const QLabel& field) {
  QStyleOptionFrame option;
  option.initFrom(&field);
  option.lineWidth = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field);
  option.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
  return option;
}

}  // namespace

ReadOnlyField::ReadOnlyField(QWidget* parent) : QLabel(parent) {
  const int frame = PanelOption(*this).lineWidth;
  setContentsMargins(frame + kTextPadding, frame, frame + kTextPadding, frame);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setFocusPolicy(Qt::StrongFocus);
}

void ReadOnlyField::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    const QStyleOptionFrame option = PanelOption(*this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
  }
  QLabel::paintEvent(event);
}
