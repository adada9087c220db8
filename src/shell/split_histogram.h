#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct ShotRow;

// Splits of the counted intervals in bins of a round width: 1, 2 or 5 times
// a power of ten milliseconds, the narrowest that needs no more than
// kMaxSplitBins. Bin i covers [first_ms + i * bin_ms, first_ms + (i + 1) *
// bin_ms). No bins without a counted interval.
struct SplitHistogram {
  double first_ms = 0.0;
  double bin_ms = 0.0;
  std::vector<std::uint32_t> counts;
};

inline constexpr std::size_t kMaxSplitBins = 40;

// The smallest of 0.1, 0.2, 0.5, 1, 2, 5, 10, ... that is at least `value`.
double RoundStepAtLeast(double value);

SplitHistogram HistogramOfSplits(const std::vector<ShotRow>& rows);

// The bin a split falls in, if any.
std::optional<std::size_t> SplitBin(const SplitHistogram& histogram, double split_ms);
