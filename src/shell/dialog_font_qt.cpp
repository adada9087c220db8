#include "shell/dialog_font_qt.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>

#include "engine/readout_texts.h"

namespace {

// 8 points at 96 dots per inch, rounded to whole pixels.
constexpr int kDialogFontPixels = 11;
constexpr const char* kPreferredFamily = "Liberation Sans";
constexpr const char* kFallbackFamily = "DejaVu Sans";
// These faces run a little wider than the template's texts were laid out
// for; slightly tighter letters keep every label whole.
constexpr qreal kLetterSpacingPercent = 94.0;
// How far the readout font may be condensed, and how small it may get.
constexpr int kNarrowestStretch = 70;
constexpr int kStretchStep = 5;
constexpr int kSmallestReadoutPixels = 7;

int WidestReadoutWidth(const QFont& font) {
  const QFontMetrics metrics(font);
  int widest = 0;
  for (const std::string& text : WidestReadoutTexts()) {
    widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(text)));
  }
  return widest;
}

}  // namespace

QFont DialogFont() {
  const QString family = QFontDatabase::hasFamily(kPreferredFamily)
                             ? QString::fromLatin1(kPreferredFamily)
                             : QString::fromLatin1(kFallbackFamily);
  QFont font(family);
  font.setPixelSize(kDialogFontPixels);
  font.setStyleHint(QFont::SansSerif);
  font.setLetterSpacing(QFont::PercentageSpacing, kLetterSpacingPercent);
  return font;
}

BaseUnits DialogBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString alphabet = QString::fromLatin1(kBaseUnitAlphabet.data(),
                                               static_cast<qsizetype>(kBaseUnitAlphabet.size()));
  return BaseUnitsFromMetrics(metrics.horizontalAdvance(alphabet), metrics.height());
}

QFont ReadoutFont(const QFont& dialog_font, int width) {
  QFont font = dialog_font;
  // Figures set tight run together; condensed ones stay apart.
  font.setLetterSpacing(QFont::PercentageSpacing, 100.0);
  // Condensed letters first: a smaller size reads worse than a narrower one.
  for (int pixels = dialog_font.pixelSize(); pixels >= kSmallestReadoutPixels; --pixels) {
    font.setPixelSize(pixels);
    for (int stretch = QFont::Unstretched; stretch >= kNarrowestStretch; stretch -= kStretchStep) {
      font.setStretch(stretch);
      if (WidestReadoutWidth(font) <= width) {
        return font;
      }
    }
  }
  return font;
}
