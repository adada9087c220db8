#include "display/waveform_painter_qt.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <vector>

#include "display/waveform_picture.h"

namespace {

constexpr int kLabelFontPixels = 12;

}  // namespace

QColor ToQColor(Rgb colour) { return {colour.red, colour.green, colour.blue}; }

QFont LabelFont(const QFont& family_font) {
  // A bold face, as the labels have always had.
  QFont font = family_font;
  font.setPixelSize(kLabelFontPixels);
  font.setBold(true);
  font.setLetterSpacing(QFont::PercentageSpacing, 100.0);
  return font;
}

void DrawWaveformPicture(QImage& image, const WaveformPicture& picture, Rgb background,
                         const QFont& label_font) {
  image.fill(ToQColor(background));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QFont font = LabelFont(label_font);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  // Stacked rows keep a pixel between them.
  const int row_pitch = metrics.height() + 1;

  painter.setPen(
      QPen(ToQColor(kMarkerColour), kMarkerPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  for (const ShotMarker& marker : picture.markers) {
    painter.drawLine(marker.x, kMarkerTop, marker.x, kMarkerBottom);
  }

  std::vector<QLine> lines;
  lines.reserve(picture.trace.size());
  for (const TraceSegment& segment : picture.trace) {
    lines.emplace_back(segment.x0, segment.y0, segment.x1, segment.y1);
  }
  painter.setPen(
      QPen(ToQColor(kTraceColour), kTracePenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));

  // Labels last: a stacked one lies over the trace's lowest part.
  painter.setPen(ToQColor(kLabelTextColour));
  for (const ShotMarker& marker : picture.markers) {
    if (marker.label.empty()) {
      continue;
    }
    const QString label =
        QString::fromLatin1(marker.label.data(), static_cast<qsizetype>(marker.label.size()));
    const int top = kLabelTop - marker.row * row_pitch;
    painter.fillRect(QRect(marker.x, top, metrics.horizontalAdvance(label), metrics.height()),
                     ToQColor(kLabelBoxColour));
    painter.drawText(marker.x, top + metrics.ascent(), label);
  }
}
