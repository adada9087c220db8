#pragma once

#include <cstdint>

struct SoundEngine;

// What the clip-quality score is worked out from, counted over the analysed
// positions before `end`: samples near full scale, samples within the steady
// tolerance of the one before, and the peak.
struct QualityCounts {
  std::uint32_t near_full_scale = 0;
  std::uint32_t steady = 0;
  std::uint8_t peak = 0;
  std::uint32_t end = 0;
};

// Counts the positions from `counts.end` on up to `end`, so a clip that
// grows is counted once.
void CountQuality(QualityCounts& counts, const std::uint8_t* samples, std::uint32_t end);

// The peak, and the score: `start` less the penalties of the counts and of
// the engine's clip length, as before any shot is found.
void ApplyQuality(SoundEngine& engine, const QualityCounts& counts, std::int16_t start);
