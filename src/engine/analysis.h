#pragma once

#include <algorithm>
#include <cstdint>

struct SoundEngine;

inline constexpr std::uint32_t kFirstAnalysedPosition = 51;
inline constexpr std::uint8_t kNearFullScale = 254;
inline constexpr std::uint8_t kSteadyTolerance = 4;
inline constexpr std::uint8_t kMinimumPeak = 200;
inline constexpr std::uint32_t kSettleWindowDivisor = 205;
inline constexpr std::uint8_t kSettleToleranceOffset = 138;
inline constexpr std::uint32_t kOnsetWindowDivisor = 450;
inline constexpr std::uint8_t kOnsetBandCentre = 128;
inline constexpr std::uint8_t kOnsetToleranceOffset = 131;
inline constexpr std::uint32_t kOnsetMinimum = 6;
inline constexpr float kRateLimit = 30.0F;

// centre − tolerance ≤ value ≤ centre + tolerance, in signed arithmetic: the
// one band test of both passes; inline because they run it per sample. The
// distance of two bytes fits a byte, so the test stays in 8 bits, where the
// compiler checks 16 samples at once.
constexpr bool InRange(std::uint8_t value, std::uint8_t centre, std::uint8_t tolerance) {
  return static_cast<std::uint8_t>(std::max(value, centre) - std::min(value, centre)) <= tolerance;
}

// The values InRange of a centre, as bounds, for tests against a fixed
// centre over many samples.
struct Band {
  std::uint8_t lowest = 0;
  std::uint8_t highest = 0;
};

constexpr Band BandAround(std::uint8_t centre, std::uint8_t tolerance) {
  return {static_cast<std::uint8_t>(std::max(centre - tolerance, 0)),
          static_cast<std::uint8_t>(std::min(centre + tolerance, 255))};
}

constexpr bool InBand(std::uint8_t value, Band band) {
  return band.lowest <= value && value <= band.highest;
}

// Peak sample and clip-quality score. False (with a message) without a clip.
bool MeasureClipQuality(SoundEngine& engine);
// Shot list and rate-of-fire figures. False (with a message) without a clip.
bool DetectShots(SoundEngine& engine);

// The rate between two shot positions in balls per second, as the analysis
// and the waveform view compute it.
float RateBetween(std::uint32_t sample_rate, std::uint32_t from_position,
                  std::uint32_t to_position);

// Shared by both passes: true when a sample buffer is held, otherwise shows
// the no-data message through the engine's notifier.
bool HoldsSamplesOrReport(SoundEngine& engine);

// Positions kFirstAnalysedPosition up to, not including, this one are
// analysed: all but the last held sample. Never past the held buffer, and
// no positions at all for a clip of 52 samples or fewer.
std::uint32_t AnalysedEnd(const SoundEngine& engine);
