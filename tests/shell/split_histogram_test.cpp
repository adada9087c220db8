#include "shell/split_histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

#include "engine/shot_table.h"

namespace {

struct SplitSpread {
  float lowest_ms;
  float highest_ms;
};

// Each counted split lands in the bin that holds it, bins are round and at
// most kMaxSplitBins, and splits that don't count stay out.
TEST(SplitHistogram, EveryCountedSplitInTheBinThatHoldsIt) {
  const SplitSpread kSpreads[] = {{40.0F, 40.0F}, {33.4F, 33.5F}, {33.34F, 999.0F},
                                  {66.6F, 67.9F}, {50.0F, 90.0F}, {35.0F, 35000.0F}};
  std::mt19937 random(3);
  for (const SplitSpread& spread : kSpreads) {
    SCOPED_TRACE(spread.highest_ms);
    std::uniform_real_distribution<float> split(spread.lowest_ms, spread.highest_ms);
    std::vector<ShotRow> rows(300);
    for (ShotRow& row : rows) {
      row.split_ms = split(random);
      row.counts = random() % 5 != 0;
    }
    rows[0].split_ms = spread.lowest_ms;
    rows[1].split_ms = spread.highest_ms;
    rows[0].counts = rows[1].counts = true;
    rows[2].split_ms = 1.0F;  // a split too fast to count
    rows[2].counts = false;
    const SplitHistogram histogram = HistogramOfSplits(rows);
    ASSERT_FALSE(histogram.counts.empty());
    EXPECT_LE(histogram.counts.size(), kMaxSplitBins);
    EXPECT_EQ(RoundStepAtLeast(histogram.bin_ms), histogram.bin_ms);
    EXPECT_GT(histogram.counts.back(), 0U);
    std::vector<std::uint32_t> counted(histogram.counts.size());
    for (const ShotRow& row : rows) {
      const std::optional<std::size_t> bin = SplitBin(histogram, row.split_ms);
      if (!row.counts) {
        continue;
      }
      ASSERT_TRUE(bin.has_value()) << row.split_ms;
      const double left = histogram.first_ms + static_cast<double>(*bin) * histogram.bin_ms;
      EXPECT_LE(left - 1e-9, row.split_ms);
      EXPECT_LT(row.split_ms, left + histogram.bin_ms + 1e-9);
      ++counted[*bin];
    }
    EXPECT_EQ(counted, histogram.counts);
    const double end =
        histogram.first_ms + static_cast<double>(histogram.counts.size()) * histogram.bin_ms;
    EXPECT_EQ(SplitBin(histogram, histogram.first_ms - histogram.bin_ms / 2), std::nullopt);
    EXPECT_EQ(SplitBin(histogram, end + histogram.bin_ms / 2), std::nullopt);
  }
  EXPECT_TRUE(HistogramOfSplits({ShotRow{}}).counts.empty());
}

}  // namespace
