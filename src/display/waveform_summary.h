#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The lowest and highest sample of a range.
struct SampleRange {
  std::uint8_t low = 0;
  std::uint8_t high = 0;
};

// Samples in a block of the summary's first level; each further level has
// blocks twice as long, half as many.
inline constexpr std::uint32_t kSummaryBlockSamples = 32;

// A min/max pyramid over a clip's 8-bit samples, so that a range's extremes
// cost a few blocks and two partial ends whatever the range's length. Takes
// under an eighth of the samples' memory.
struct WaveformSummary {
  std::uint32_t sample_count = 0;         // of the clip it was built from
  std::vector<SampleRange> blocks;        // every level, the first level first
  std::vector<std::size_t> level_starts;  // where each level starts in `blocks`
};

WaveformSummary BuildWaveformSummary(std::span<const std::uint8_t> samples);

// Extremes of samples first..last (inclusive, clipped to the samples). A
// summary built from another number of samples is not used: the samples are
// scanned directly. An empty range gives {0, 0}.
SampleRange MinMaxOver(const WaveformSummary& summary, std::span<const std::uint8_t> samples,
                       std::uint32_t first, std::uint32_t last);
