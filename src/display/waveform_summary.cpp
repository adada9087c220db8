#include "display/waveform_summary.h"

#include <algorithm>

namespace {

SampleRange Merge(SampleRange a, SampleRange b) {
  return {std::min(a.low, b.low), std::max(a.high, b.high)};
}

SampleRange Scan(SampleRange range, std::span<const std::uint8_t> samples, std::uint64_t first,
                 std::uint64_t end) {
  for (std::uint64_t i = first; i < end; ++i) {
    range = Merge(range, {samples[i], samples[i]});
  }
  return range;
}

std::size_t LevelSize(const WaveformSummary& summary, std::size_t level) {
  const std::size_t end = level + 1 < summary.level_starts.size() ? summary.level_starts[level + 1]
                                                                  : summary.blocks.size();
  return end - summary.level_starts[level];
}

}  // namespace

WaveformSummary BuildWaveformSummary(std::span<const std::uint8_t> samples) {
  WaveformSummary summary;
  summary.sample_count = static_cast<std::uint32_t>(samples.size());
  const std::size_t base_count = samples.size() / kSummaryBlockSamples;
  // Levels of n/32, n/64, ... blocks: fewer than n/16 blocks of two bytes.
  summary.blocks.reserve(base_count * 2);
  if (base_count == 0) {
    return summary;
  }
  summary.level_starts.push_back(0);
  for (std::size_t b = 0; b < base_count; ++b) {
    const std::uint8_t* block = samples.data() + b * kSummaryBlockSamples;
    // Plain loops over the block: the compiler turns them into vector code.
    std::uint8_t low = block[0];
    std::uint8_t high = block[0];
    for (std::uint32_t i = 1; i < kSummaryBlockSamples; ++i) {
      low = std::min(low, block[i]);
      high = std::max(high, block[i]);
    }
    summary.blocks.push_back({low, high});
  }
  for (std::size_t below = 0; LevelSize(summary, below) >= 2; ++below) {
    const std::size_t start = summary.level_starts[below];
    const std::size_t count = LevelSize(summary, below) / 2;
    summary.level_starts.push_back(summary.blocks.size());
    for (std::size_t b = 0; b < count; ++b) {
      summary.blocks.push_back(
          Merge(summary.blocks[start + 2 * b], summary.blocks[start + 2 * b + 1]));
    }
  }
  return summary;
}

SampleRange MinMaxOver(const WaveformSummary& summary, std::span<const std::uint8_t> samples,
                       std::uint32_t first, std::uint32_t last) {
  if (samples.empty() || first > last || first >= samples.size()) {
    return {};
  }
  const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{last} + 1, samples.size());
  const SampleRange first_sample{samples[first], samples[first]};
  if (summary.sample_count != samples.size()) {
    return Scan(first_sample, samples, first, end);
  }
  // Raw samples up to the first block's edge, then the largest whole block
  // that starts there at each step, then raw samples to the end.
  std::uint64_t at =
      std::min<std::uint64_t>(end, (std::uint64_t{first} + kSummaryBlockSamples - 1) /
                                       kSummaryBlockSamples * kSummaryBlockSamples);
  SampleRange range = Scan(first_sample, samples, first, at);
  while (true) {
    std::size_t level = summary.level_starts.size();
    std::uint64_t length = 0;
    for (std::size_t l = 0; l < summary.level_starts.size(); ++l) {
      const std::uint64_t span = std::uint64_t{kSummaryBlockSamples} << l;
      if (at % span != 0 || at + span > end || at / span >= LevelSize(summary, l)) {
        break;
      }
      level = l;
      length = span;
    }
    if (length == 0) {
      break;
    }
    range = Merge(range, summary.blocks[summary.level_starts[level] + at / length]);
    at += length;
  }
  return Scan(range, samples, at, end);
}
