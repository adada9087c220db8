#include "shell/dialog_font_qt.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace {

// 8 points at 96 dots per inch, rounded to whole pixels.
constexpr int kDialogFontPixels = 11;
constexpr const char* kPreferredFamily = "Liberation Sans";
constexpr const char* kFallbackFamily = "DejaVu Sans";
// These faces run a little wider than the template's texts were laid out
// for; slightly tighter letters keep every label whole.
constexpr qreal kLetterSpacingPercent = 94.0;

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
