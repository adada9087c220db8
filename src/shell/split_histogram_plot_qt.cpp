#include "shell/split_histogram_plot_qt.h"

#include <QAreaSeries>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Axes are labelled at round steps, about this many along each.
constexpr double kTicks = 6.0;

}  // namespace

SplitHistogramPlot::SplitHistogramPlot(QWidget* parent)
    : QChartView(parent),
      outline_(new QLineSeries(this)),
      area_(new QAreaSeries(outline_)),
      split_axis_(new QValueAxis(this)),
      count_axis_(new QValueAxis(this)) {
  auto* plot = new QChart();
  plot->setTitle(QStringLiteral("Splits"));
  plot->setAnimationOptions(QChart::NoAnimation);
  plot->legend()->hide();
  plot->addSeries(area_);
  split_axis_->setTitleText(QStringLiteral("Split (ms)"));
  split_axis_->setTickType(QValueAxis::TicksDynamic);
  split_axis_->setTickAnchor(0.0);
  count_axis_->setTitleText(QStringLiteral("Shots"));
  count_axis_->setLabelFormat(QStringLiteral("%d"));
  count_axis_->setTickType(QValueAxis::TicksDynamic);
  count_axis_->setTickAnchor(0.0);
  plot->addAxis(split_axis_, Qt::AlignBottom);
  plot->addAxis(count_axis_, Qt::AlignLeft);
  area_->attachAxis(split_axis_);
  area_->attachAxis(count_axis_);
  setChart(plot);
  setToolTip(
      QStringLiteral("How many counted splits lie in each range of milliseconds; click a "
                     "bar to select its first shot"));
  connect(area_, &QAreaSeries::clicked, this, [this](const QPointF& point) {
    if (const std::optional<std::size_t> bin = SplitBin(histogram_, point.x())) {
      emit BinClicked(*bin);
    }
  });
}

void SplitHistogramPlot::SetHistogram(SplitHistogram histogram) {
  histogram_ = std::move(histogram);
  QList<QPointF> steps;
  std::uint32_t highest = 0;
  for (std::size_t i = 0; i < histogram_.counts.size(); ++i) {
    const double left = histogram_.first_ms + static_cast<double>(i) * histogram_.bin_ms;
    const auto count = static_cast<double>(histogram_.counts[i]);
    steps.append({{left, 0.0},
                  {left, count},
                  {left + histogram_.bin_ms, count},
                  {left + histogram_.bin_ms, 0.0}});
    highest = std::max(highest, histogram_.counts[i]);
  }
  outline_->replace(steps);
  const double end =
      histogram_.first_ms + static_cast<double>(histogram_.counts.size()) * histogram_.bin_ms;
  split_axis_->setRange(histogram_.first_ms, std::max(end, histogram_.first_ms + 1.0));
  split_axis_->setTickInterval(RoundStepAtLeast((end - histogram_.first_ms) / kTicks));
  // Whole numbers of shots.
  const double step = std::max(RoundStepAtLeast(highest / kTicks), 1.0);
  count_axis_->setTickInterval(step);
  count_axis_->setRange(0.0, std::max(std::ceil(highest / step), 1.0) * step);
}
