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

void DrawWaveformPicture(QImage& image, const WaveformPicture& picture, Rgb background,
                         const QFont& label_font) {
  image.fill(ToQColor(background));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  // A bold face, as the labels have always had.
  QFont font = label_font;
  font.setPixelSize(kLabelFontPixels);
  font.setBold(true);
  font.setLetterSpacing(QFont::PercentageSpacing, 100.0);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const QPen trace_pen(ToQColor(kTraceColour), kTracePenWidth, Qt::SolidLine, Qt::RoundCap,
                       Qt::RoundJoin);
  const QPen marker_pen(ToQColor(kMarkerColour), kMarkerPenWidth, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin);
  const QPen text_pen(ToQColor(kLabelTextColour));

  for (const ShotMarker& marker : picture.markers) {
    const QString label =
        QString::fromLatin1(marker.label.data(), static_cast<qsizetype>(marker.label.size()));
    painter.fillRect(QRect(marker.x, kLabelTop, metrics.horizontalAdvance(label), metrics.height()),
                     ToQColor(kLabelBoxColour));
    painter.setPen(text_pen);
    painter.drawText(marker.x, kLabelTop + metrics.ascent(), label);
    painter.setPen(marker_pen);
    painter.drawLine(marker.x, kMarkerTop, marker.x, kMarkerBottom);
  }

  std::vector<QLine> lines;
  lines.reserve(picture.trace.size());
  for (const TraceSegment& segment : picture.trace) {
    lines.emplace_back(segment.x0, segment.y0, segment.x1, segment.y1);
  }
  painter.setPen(trace_pen);
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}
