#pragma once

#include <QChartView>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/shot_table.h"

class QScatterSeries;
class QLineSeries;
class QValueAxis;

// Rate of fire against time in the clip: a point at each counted split, at
// the time of the shot that starts it, and the clip's average as a line.
class RatePlot final : public QChartView {
  Q_OBJECT
 public:
  explicit RatePlot(QWidget* parent);
  void SetRows(const std::vector<ShotRow>& rows, float average_bps, double clip_seconds);
  // Marks the point of that shot (none: no mark).
  void MarkShot(std::optional<std::uint32_t> shot_index);
  std::size_t PointCount() const { return point_shots_.size(); }
  // The shot a point stands for.
  std::uint32_t PointShot(std::size_t point) const { return point_shots_[point]; }

 signals:
  void ShotClicked(std::uint32_t shot_index);

 private:
  void OnPointClicked(const QPointF& point);
  QLineSeries* points_;
  QScatterSeries* mark_;
  QLineSeries* average_;
  QValueAxis* time_axis_;
  QValueAxis* rate_axis_;
  std::vector<std::uint32_t> point_shots_;
  std::vector<double> point_times_;
};
