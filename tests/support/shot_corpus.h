#pragma once

// Generated marker recordings with the true start of every shot: decaying
// noise bursts with a ringing body, fired at 3–35 shots a second with jitter,
// in one of several conditions, as 16-bit samples on two microphones (the
// second hears each shot later and softer, over its own noise). Shared by the
// detector tests and the corpus benchmark.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace test {

enum class Condition : std::uint8_t {
  Clean,
  Noisy30,
  Noisy20,
  Noisy15,
  Clipped,
  Echo,
  Varying,
  Quiet
};

struct ConditionTraits {
  Condition condition;
  const char* name;
  double snr_db;  // of the noise against the start of a burst
};
inline constexpr ConditionTraits kConditions[] = {
    {Condition::Clean, "clean", 60},
    {Condition::Noisy30, "noise 30 dB", 30},
    {Condition::Noisy20, "noise 20 dB", 20},
    {Condition::Noisy15, "noise 15 dB", 15},
    {Condition::Clipped, "clipped", 40},
    {Condition::Echo, "room echo", 40},
    {Condition::Varying, "varying loudness", 40},
    {Condition::Quiet, "quiet", 40},
};

struct ShotClip {
  std::uint32_t rate = 0;
  std::vector<std::int16_t> left;
  std::vector<std::int16_t> right;
  std::vector<std::uint32_t> truth;  // first sample of each burst on the left
};

inline ShotClip MakeShotClip(Condition condition, std::uint32_t rate, double shots_per_second,
                             double seconds, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  const double ms = rate / 1000.0;
  const auto count = static_cast<std::size_t>(seconds * rate);
  std::vector<double> mic[2] = {std::vector<double>(count), std::vector<double>(count)};
  const double level = condition == Condition::Quiet ? 0.016 : 0.5;
  const double ring_hz = 900 + 600 * uniform(random);
  ShotClip clip;
  clip.rate = rate;
  for (double at = 0.15 * rate; at + 0.05 * rate < static_cast<double>(count);
       at += rate / shots_per_second * (1 + 0.08 * uniform(random))) {
    const auto start = static_cast<std::size_t>(at);
    clip.truth.push_back(static_cast<std::uint32_t>(start));
    const double gain = level * std::pow(10.0, 0.075 * uniform(random));  // ±1.5 dB
    const double tau = (4 + 1.5 * uniform(random)) * ms;
    for (std::size_t m = 0; m < 2; ++m) {
      const std::size_t first = start + m * static_cast<std::size_t>(0.4 * ms);
      // A room adds a diffuse tail to each burst (and the reflections below).
      const double length = (condition == Condition::Echo ? 300 : 40) * ms;
      for (std::size_t k = 0; first + k < count && static_cast<double>(k) < length; ++k) {
        const auto t = static_cast<double>(k);
        const double body = 0.6 * gauss(random) + 0.4 * std::sin(2 * M_PI * ring_hz * t / rate);
        const double tail = t > 3 * ms ? 0.1 * std::exp(-t / (60 * ms)) * gauss(random) : 0.0;
        mic[m][first + k] += gain * ((m == 0 ? 1.0 : 0.7) * std::exp(-t / tau) * body +
                                     (condition == Condition::Echo ? tail : 0.0));
      }
    }
  }
  for (std::vector<double>& signal : mic) {
    for (const auto& [delay_ms, echo] : {std::pair{3.0, 0.5}, {7.0, 0.35}, {13.0, 0.25}}) {
      const auto delay = static_cast<std::size_t>(delay_ms * ms);
      for (std::size_t i = count; condition == Condition::Echo && i-- > delay;) {
        signal[i] += echo * signal[i - delay];
      }
    }
  }
  const double snr_db = kConditions[static_cast<int>(condition)].snr_db;
  // A burst starts at about 0.66 of its gain, in RMS.
  const double noise = 0.66 * level * std::pow(10.0, -snr_db / 20);
  for (std::size_t m = 0; m < 2; ++m) {
    std::vector<std::int16_t>& out = m == 0 ? clip.left : clip.right;
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      double value = mic[m][i] + noise * gauss(random);
      if (condition == Condition::Varying) {
        const double phase = static_cast<double>(i) / static_cast<double>(count);
        value *= std::pow(10.0, (-10 + 10 * std::sin(2 * M_PI * phase)) / 20);
      }
      if (condition == Condition::Clipped) {
        value *= 4;
      }
      out[i] = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
    }
  }
  return clip;
}

// The left channel, or both as stereo frames.
inline std::vector<std::int16_t> Interleaved(const ShotClip& clip, bool stereo) {
  std::vector<std::int16_t> frames;
  for (std::size_t i = 0; i < clip.left.size(); ++i) {
    frames.push_back(clip.left[i]);
    if (stereo) {
      frames.push_back(clip.right[i]);
    }
  }
  return frames;
}

// Detections against the true starts, in seconds, both in order: each start
// takes the nearest unused detection within 10 ms; within 1 ms it is timely.
struct Score {
  std::size_t truth = 0, found = 0, matched = 0, timely = 0;
  void Add(const Score& other) {
    truth += other.truth;
    found += other.found;
    matched += other.matched;
    timely += other.timely;
  }
  static double Ratio(std::size_t a, std::size_t b) { return b ? 1.0 * double(a) / double(b) : 1; }
  double Recall() const { return Ratio(matched, truth); }
  double Precision() const { return Ratio(matched, found); }
  double Timing() const { return Ratio(timely, truth); }
};

inline Score Match(const std::vector<double>& truth, const std::vector<double>& found) {
  constexpr double kMatchSeconds = 0.010;
  constexpr double kTimingSeconds = 0.001;
  Score score{truth.size(), found.size(), 0, 0};
  std::size_t next = 0;
  for (const double start : truth) {
    while (next < found.size() && found[next] < start - kMatchSeconds) {
      ++next;
    }
    if (next < found.size() && found[next] <= start + kMatchSeconds) {
      ++score.matched;
      score.timely += std::abs(found[next] - start) <= kTimingSeconds ? 1 : 0;
      ++next;
    }
  }
  return score;
}

}  // namespace test
