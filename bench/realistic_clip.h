#pragma once

// The 10-minute 48 kHz clip the benchmarks share: 7,075 shots in strings.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace bench {

inline constexpr std::uint32_t kSampleRate = 48000;
inline constexpr std::uint32_t kSampleCount = kSampleRate * 60 * 10;
inline constexpr double kHissLevel = 2.0;
inline constexpr std::uint32_t kStringSeconds = 3;
inline constexpr std::uint32_t kPauseSamples = kSampleRate * 3 / 2;
inline constexpr std::uint32_t kShotSamples = kSampleRate / 100;  // 10 ms of ringing

// Hiss around mid-scale, and strings of shots at 10 to 16 balls per second
// with some jitter, each a decaying ring that clips at first.
inline std::vector<std::uint8_t> MakeRealisticClip() {
  std::mt19937 rng(20240607);
  std::normal_distribution<double> hiss(0.0, kHissLevel);
  std::vector<double> wave(kSampleCount);
  for (double& value : wave) {
    value = hiss(rng);
  }
  std::uniform_int_distribution<std::uint32_t> balls_per_second(10, 16);
  std::uniform_real_distribution<double> jitter(0.95, 1.05);
  std::uniform_real_distribution<double> amplitude(160.0, 320.0);
  std::uniform_real_distribution<double> pitch(1500.0, 3500.0);
  std::uniform_real_distribution<double> decay(40.0, 120.0);
  for (std::uint32_t position = kSampleRate / 2; position + kShotSamples < kSampleCount;) {
    const std::uint32_t string_end = position + kStringSeconds * kSampleRate;
    const double interval = kSampleRate / static_cast<double>(balls_per_second(rng));
    for (; position < string_end && position + kShotSamples < kSampleCount;
         position += static_cast<std::uint32_t>(interval * jitter(rng))) {
      const double a = amplitude(rng);
      const double step = 2.0 * std::numbers::pi * pitch(rng) / kSampleRate;
      const double tau = decay(rng);
      for (std::uint32_t k = 0; k < kShotSamples; ++k) {
        const double t = k;
        wave[position + k] += a * std::exp(-t / tau) * std::sin(step * t);
      }
    }
    position += kPauseSamples;
  }
  std::vector<std::uint8_t> samples(kSampleCount);
  std::transform(wave.begin(), wave.end(), samples.begin(), [](double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(128.0 + value), 0L, 255L));
  });
  return samples;
}

}  // namespace bench
