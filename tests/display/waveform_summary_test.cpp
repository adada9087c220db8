#include "display/waveform_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace {

// Random clips of awkward lengths and random ranges, some past the end: the
// summary's extremes equal a direct scan's, also when the summary is of
// another clip.
TEST(WaveformSummary, MinMaxEqualsADirectScan) {
  std::mt19937 rng(13);
  for (const std::uint32_t length : {0U, 1U, 31U, 32U, 33U, 63U, 64U, 65U, 1000U, 4097U, 6000U}) {
    std::vector<std::uint8_t> samples(length);
    std::generate(samples.begin(), samples.end(), [&] { return static_cast<std::uint8_t>(rng()); });
    const WaveformSummary summary = BuildWaveformSummary(samples);
    EXPECT_LE(summary.blocks.size() * sizeof(SampleRange), length / 8);
    const WaveformSummary other = BuildWaveformSummary(std::vector<std::uint8_t>(length / 2 + 40));
    std::uniform_int_distribution<std::uint32_t> index(0, length + 40);
    for (int trial = 0; trial < 300; ++trial) {
      const std::uint32_t first = trial == 0 ? 0 : index(rng);
      const std::uint32_t last = trial == 0 ? length : std::max(first, index(rng));
      SampleRange scanned{};
      if (first < length) {
        const auto [low, high] = std::minmax_element(samples.begin() + first,
                                                     samples.begin() + std::min(last + 1, length));
        scanned = {*low, *high};
      }
      for (const WaveformSummary* used : {&summary, &other}) {
        const SampleRange range = MinMaxOver(*used, samples, first, last);
        EXPECT_EQ(std::pair(range.low, range.high), std::pair(scanned.low, scanned.high))
            << length << " " << first << ".." << last;
      }
    }
  }
}

}  // namespace
