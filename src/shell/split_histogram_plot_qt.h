#pragma once

#include <QChartView>
#include <cstddef>

#include "shell/split_histogram.h"

class QAreaSeries;
class QLineSeries;
class QValueAxis;

// How many counted splits fall in each bin of milliseconds, drawn as steps.
class SplitHistogramPlot final : public QChartView {
  Q_OBJECT
 public:
  explicit SplitHistogramPlot(QWidget* parent);
  void SetHistogram(SplitHistogram histogram);
  const SplitHistogram& Histogram() const { return histogram_; }

 signals:
  void BinClicked(std::size_t bin);

 private:
  QLineSeries* outline_;
  QAreaSeries* area_;
  QValueAxis* split_axis_;
  QValueAxis* count_axis_;
  SplitHistogram histogram_;
};
