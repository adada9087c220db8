#include "shell/rate_plot_qt.h"

#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <QtMath>
#include <algorithm>

#include "engine/analysis.h"
#include "shell/split_histogram.h"

namespace {

constexpr qreal kPointSize = 6.0;
constexpr qreal kMarkSize = 12.0;
constexpr int kDecimals = 3;
constexpr int kRateTicks = 7;       // every 5 BPS
constexpr double kTimeTicks = 6.0;  // about, at a round step

QImage DotImage(const QColor& colour, qreal size) {
  const int side = qCeil(size);
  QImage dot(side, side, QImage::Format_ARGB32_Premultiplied);
  dot.fill(Qt::transparent);
  QPainter painter(&dot);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawEllipse(QRectF(0.0, 0.0, size, size));
  return dot;
}

}  // namespace

RatePlot::RatePlot(QWidget* parent)
    : QChartView(parent),
      points_(new QLineSeries(this)),
      mark_(new QScatterSeries(this)),
      average_(new QLineSeries(this)),
      time_axis_(new QValueAxis(this)),
      rate_axis_(new QValueAxis(this)) {
  auto* plot = new QChart();
  plot->setTitle(QStringLiteral("Rate of fire"));
  plot->setAnimationOptions(QChart::NoAnimation);
  plot->legend()->setAlignment(Qt::AlignBottom);
  points_->setName(QStringLiteral("Counted splits"));
  points_->setMarkerSize(kPointSize);
  points_->setPointsVisible(true);
  mark_->setName(QStringLiteral("Selected shot"));
  average_->setName(QStringLiteral("Average"));
  mark_->setMarkerSize(kMarkSize);
  for (QAbstractSeries* series :
       {static_cast<QAbstractSeries*>(average_), static_cast<QAbstractSeries*>(points_),
        static_cast<QAbstractSeries*>(mark_)}) {
    plot->addSeries(series);
  }
  // Points alone, no line between them, each drawn as one image: a series
  // of points that are items each takes half a second for thousands.
  const QColor colour = points_->color();
  points_->setLightMarker(DotImage(colour, kPointSize));
  points_->setPen(Qt::NoPen);
  for (QLegendMarker* marker : plot->legend()->markers(points_)) {
    marker->setBrush(colour);
  }
  time_axis_->setTitleText(QStringLiteral("Time in clip (s)"));
  time_axis_->setTickType(QValueAxis::TicksDynamic);
  time_axis_->setTickAnchor(0.0);
  rate_axis_->setTitleText(QStringLiteral("Rate (BPS)"));
  // Counted rates lie below the limit, so one scale fits every clip.
  rate_axis_->setRange(0.0, static_cast<double>(kRateLimit));
  rate_axis_->setTickCount(kRateTicks);
  rate_axis_->setLabelFormat(QStringLiteral("%.0f"));
  plot->addAxis(time_axis_, Qt::AlignBottom);
  plot->addAxis(rate_axis_, Qt::AlignLeft);
  for (QAbstractSeries* series : plot->series()) {
    series->attachAxis(time_axis_);
    series->attachAxis(rate_axis_);
  }
  setChart(plot);
  setRenderHint(QPainter::Antialiasing);
  setToolTip(
      QStringLiteral("Each counted split's rate at the time of its shot, and the average; "
                     "click a point to select its shot"));
  connect(points_, &QLineSeries::clicked, this, &RatePlot::OnPointClicked);
}

void RatePlot::SetRows(const std::vector<ShotRow>& rows, float average_bps, double clip_seconds) {
  point_shots_.clear();
  point_times_.clear();
  QList<QPointF> points;
  for (std::uint32_t k = 0; k < rows.size(); ++k) {
    if (rows[k].counts) {
      points.append({rows[k].time_s, static_cast<double>(rows[k].rate_bps)});
      point_shots_.push_back(k);
      point_times_.push_back(rows[k].time_s);
    }
  }
  points_->replace(points);
  const double end = std::max(clip_seconds, rows.empty() ? 0.0 : rows.back().time_s);
  average_->clear();
  if (!points.isEmpty()) {
    const auto average = static_cast<double>(average_bps);
    average_->append({{0.0, average}, {end, average}});
  }
  chart()->setTitle(QStringLiteral("Rate of fire, average %1 BPS")
                        .arg(static_cast<double>(average_bps), 0, 'f', kDecimals));
  time_axis_->setRange(0.0, std::max(end, 1.0));
  time_axis_->setTickInterval(RoundStepAtLeast(std::max(end, 1.0) / kTimeTicks));
  MarkShot(std::nullopt);
}

void RatePlot::MarkShot(std::optional<std::uint32_t> shot_index) {
  mark_->clear();
  // Points are in the order of their shots.
  const auto point =
      std::lower_bound(point_shots_.begin(), point_shots_.end(), shot_index.value_or(0));
  if (shot_index && point != point_shots_.end() && *point == *shot_index) {
    mark_->append(points_->at(static_cast<int>(point - point_shots_.begin())));
  }
}

void RatePlot::OnPointClicked(const QPointF& point) {
  if (point_times_.empty()) {
    return;
  }
  // Times grow along the list: the nearest point is beside the insertion place.
  const auto after = std::lower_bound(point_times_.begin(), point_times_.end(), point.x());
  std::size_t nearest = static_cast<std::size_t>(after - point_times_.begin());
  if (nearest == point_times_.size() ||
      (nearest > 0 && point.x() - point_times_[nearest - 1] < point_times_[nearest] - point.x())) {
    --nearest;
  }
  emit ShotClicked(point_shots_[nearest]);
}
