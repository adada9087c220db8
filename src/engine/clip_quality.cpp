#include <algorithm>
#include <cstdint>
#include <span>

#include "engine/analysis.h"
#include "engine/quality_counts.h"
#include "engine/sound_engine.h"

namespace {

// A penalty applies to every count below `below`; the penalties of one table
// add up.
struct Penalty {
  std::uint32_t below;
  std::int32_t points;
};

constexpr Penalty kNearFullScalePenalties[] = {{5, 53}, {10, 27}, {15, 23}, {20, 11}, {25, 9},
                                               {30, 8}, {60, 7},  {100, 6}, {200, 3}};
constexpr Penalty kSteadyPenalties[] = {{250, 48}, {500, 26}, {1000, 19}, {2000, 8},
                                        {3000, 6}, {4000, 5}, {5000, 4}};
constexpr Penalty kClipLengthPenalties[] = {{1, 43}, {2, 34}, {3, 23}, {4, 11}, {5, 10}};

std::int32_t PenaltyFor(std::span<const Penalty> table, std::uint32_t value) {
  std::int32_t total = 0;
  for (const Penalty& penalty : table) {
    if (value < penalty.below) {
      total += penalty.points;
    }
  }
  return total;
}

void CountPosition(QualityCounts& counts, std::uint8_t previous, std::uint8_t sample) {
  counts.near_full_scale += sample >= kNearFullScale ? 1U : 0U;
  counts.steady += InRange(previous, sample, kSteadyTolerance) ? 1U : 0U;
  counts.peak = std::max(counts.peak, sample);
}

// Blocks of a fixed length let the compiler vectorise the counting even at
// the cheapest cost model.
constexpr std::uint32_t kCountBlock = 128;

// `samples` points at the block's first position; the sample before it is
// its first previous value.
void CountBlock(QualityCounts& counts, const std::uint8_t* samples) {
  const std::uint8_t* previous = samples - 1;
  // Byte-wide counters: a block never counts past 255.
  std::uint8_t near_full_scale = 0;
  std::uint8_t steady = 0;
  std::uint8_t peak = counts.peak;
  for (std::uint32_t k = 0; k < kCountBlock; ++k) {
    const std::uint8_t sample = samples[k];
    near_full_scale = static_cast<std::uint8_t>(near_full_scale + (sample >= kNearFullScale));
    steady = static_cast<std::uint8_t>(steady + InRange(previous[k], sample, kSteadyTolerance));
    peak = std::max(peak, sample);
  }
  counts.near_full_scale += near_full_scale;
  counts.steady += steady;
  counts.peak = peak;
}

}  // namespace

void CountQuality(QualityCounts& counts, const std::uint8_t* samples, std::uint32_t end) {
  std::uint32_t i = std::max(counts.end, kFirstAnalysedPosition);
  if (i >= end) {
    return;
  }
  if (i == kFirstAnalysedPosition) {
    // The first position is compared with 0, not with sample 50.
    CountPosition(counts, 0, samples[i]);
    ++i;
  }
  for (; end - i >= kCountBlock; i += kCountBlock) {
    CountBlock(counts, samples + i);
  }
  for (; i < end; ++i) {
    CountPosition(counts, samples[i - 1], samples[i]);
  }
  counts.end = end;
}

void ApplyQuality(SoundEngine& engine, const QualityCounts& counts, std::int16_t start) {
  engine.peak_sample = counts.peak;
  std::int32_t quality = start;
  quality -= PenaltyFor(kNearFullScalePenalties, counts.near_full_scale);
  quality -= PenaltyFor(kSteadyPenalties, counts.steady);
  quality -= PenaltyFor(kClipLengthPenalties, engine.clip_length);
  if (engine.peak_sample < kMinimumPeak || quality < 0) {
    quality = 0;
  }
  engine.clip_quality = static_cast<std::int16_t>(quality);
}

bool MeasureClipQuality(SoundEngine& engine) {
  if (!HoldsSamplesOrReport(engine)) {
    return false;
  }
  QualityCounts counts;
  counts.peak = engine.peak_sample;
  CountQuality(counts, engine.samples->data(), AnalysedEnd(engine));
  ApplyQuality(engine, counts, engine.clip_quality);
  return true;
}
