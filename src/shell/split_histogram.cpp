#include "shell/split_histogram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "engine/shot_table.h"

namespace {

// Bin numbers count from zero milliseconds, so every split lands in the bin
// the same formula gives, whatever the first bin.
double BinNumber(double split_ms, double bin_ms) { return std::floor(split_ms / bin_ms); }

// Just past a round step, so the next one up is found.
constexpr double kNextStep = 1.001;

double RoundWidth(double lowest, double highest) {
  double width = RoundStepAtLeast((highest - lowest) / kMaxSplitBins);
  // Bins fall on multiples of the width, so the range may need one more.
  while (BinNumber(highest, width) - BinNumber(lowest, width) >= kMaxSplitBins) {
    width = RoundStepAtLeast(width * kNextStep);
  }
  return width;
}

}  // namespace

double RoundStepAtLeast(double value) {
  constexpr std::array<double, 3> kSteps = {1.0, 2.0, 5.0};
  for (double decade = 0.1;; decade *= 10.0) {
    for (const double step : kSteps) {
      if (step * decade >= value) {
        return step * decade;
      }
    }
  }
}

SplitHistogram HistogramOfSplits(const std::vector<ShotRow>& rows) {
  SplitHistogram histogram;
  double lowest = std::numeric_limits<double>::infinity();
  double highest = -lowest;
  for (const ShotRow& row : rows) {
    if (row.counts) {
      lowest = std::min(lowest, static_cast<double>(row.split_ms));
      highest = std::max(highest, static_cast<double>(row.split_ms));
    }
  }
  // Counted splits are finite: no rate of 30 BPS or more counts.
  if (!(lowest <= highest) || !std::isfinite(highest)) {
    return histogram;
  }
  histogram.bin_ms = RoundWidth(lowest, highest);
  const double first_bin = BinNumber(lowest, histogram.bin_ms);
  histogram.first_ms = first_bin * histogram.bin_ms;
  histogram.counts.resize(
      static_cast<std::size_t>(BinNumber(highest, histogram.bin_ms) - first_bin) + 1);
  for (const ShotRow& row : rows) {
    if (row.counts) {
      ++histogram.counts[*SplitBin(histogram, row.split_ms)];
    }
  }
  return histogram;
}

std::optional<std::size_t> SplitBin(const SplitHistogram& histogram, double split_ms) {
  if (histogram.counts.empty()) {
    return std::nullopt;
  }
  const double bin = BinNumber(split_ms, histogram.bin_ms) -
                     BinNumber(histogram.first_ms + histogram.bin_ms / 2, histogram.bin_ms);
  if (!(bin >= 0.0) || bin >= static_cast<double>(histogram.counts.size())) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(bin);
}
