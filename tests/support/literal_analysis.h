#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/analysis.h"
#include "engine/audio_devices.h"
#include "engine/notifier.h"
#include "engine/sound_engine.h"

// Both analysis passes written word for word from their description, window
// scans and all (O(n × W)): the oracle for the engine's own passes. The only
// liberties: the positions stop at the held buffer, and an empty clip has no
// positions instead of wrapping its end.
namespace test {

// Everything the two passes write.
struct AnalysisFigures {
  bool measured = false;
  bool detected = false;
  float average_rof = 0.0F;
  float highest_rof = 0.0F;
  float lowest_rof = 0.0F;
  std::int32_t number_of_shots = 0;
  std::int16_t clip_quality = 0;
  std::uint8_t peak_sample = 0;
  std::uint32_t shot_list_count = 0;
  std::vector<ShotRecord> shots;
};

// The band tests again, on their own so that the oracle shares no code with
// what it checks.
inline bool LiteralInRange(std::uint8_t value, std::uint8_t centre, std::uint8_t tolerance) {
  return static_cast<int>(centre) - static_cast<int>(tolerance) <= static_cast<int>(value) &&
         static_cast<int>(value) <= static_cast<int>(centre) + static_cast<int>(tolerance);
}

inline std::uint32_t LiteralCountOutOfRange(const std::uint8_t* samples, std::uint32_t start,
                                            std::uint32_t w, std::uint8_t centre,
                                            std::uint8_t tolerance) {
  std::uint32_t count = 0;
  for (std::uint32_t k = 0; k + 1 < w; ++k) {
    if (!LiteralInRange(samples[start + k], centre, tolerance)) {
      ++count;
    }
  }
  return count;
}

// The penalty tables: a count below a limit costs that row's points.
inline std::int32_t LiteralPenalty(std::uint32_t near_full_scale, std::uint32_t steady,
                                   std::uint32_t clip_length) {
  using Table = std::vector<std::pair<std::uint32_t, std::int32_t>>;
  const std::pair<std::uint32_t, Table> tables[] = {
      {near_full_scale,
       {{5, 53}, {10, 27}, {15, 23}, {20, 11}, {25, 9}, {30, 8}, {60, 7}, {100, 6}, {200, 3}}},
      {steady, {{250, 48}, {500, 26}, {1000, 19}, {2000, 8}, {3000, 6}, {4000, 5}, {5000, 4}}},
      {clip_length, {{1, 43}, {2, 34}, {3, 23}, {4, 11}, {5, 10}}}};
  std::int32_t penalty = 0;
  for (const auto& [count, table] : tables) {
    for (const auto& [limit, points] : table) {
      penalty += count < limit ? points : 0;
    }
  }
  return penalty;
}

inline bool ReportNoData(SoundEngine& engine) {
  if (engine.notifier != nullptr) {
    engine.notifier->ShowMessage("Failed To Analize Due To No Data Allocation", "ERROR");
  }
  return false;
}

inline void HoldClip(SoundEngine& engine, std::vector<std::uint8_t> samples,
                     std::uint32_t sample_rate) {
  engine.sample_count = static_cast<std::uint32_t>(samples.size());
  engine.sample_rate = sample_rate;
  engine.clip_length = sample_rate != 0 ? engine.sample_count / sample_rate : 0;
  engine.samples = std::move(samples);
}

inline bool LiteralMeasureClipQuality(SoundEngine& engine) {
  if (!engine.samples.has_value()) {
    return ReportNoData(engine);
  }
  const std::uint32_t n = HeldSampleCount(engine);
  const std::uint8_t* samples = engine.samples->data();
  std::uint32_t near_full_scale = 0;
  std::uint32_t steady = 0;
  std::uint8_t previous = 0;
  for (std::uint32_t i = 51; i + 1 < n; ++i) {
    const std::uint8_t s = samples[i];
    if (s >= 254) {
      ++near_full_scale;
    }
    if (LiteralInRange(previous, s, 4)) {
      ++steady;
    }
    if (s > engine.peak_sample) {
      engine.peak_sample = s;
    }
    previous = s;
  }
  std::int32_t quality = engine.clip_quality;
  quality -= LiteralPenalty(near_full_scale, steady, engine.clip_length);
  if (engine.peak_sample < 200) {
    quality = 0;
  }
  if (quality < 0) {
    quality = 0;
  }
  engine.clip_quality = static_cast<std::int16_t>(quality);
  return true;
}

inline bool LiteralDetectShots(SoundEngine& engine) {
  if (!engine.samples.has_value()) {
    return ReportNoData(engine);
  }
  const std::uint32_t n = HeldSampleCount(engine);
  const std::uint8_t* samples = engine.samples->data();
  bool armed = false;
  std::uint32_t onset = 0;
  std::uint32_t last_onset = 0;
  std::uint8_t previous = n >= 53 ? samples[50] : 0;
  const auto ts = static_cast<std::uint8_t>(engine.peak_sample - 138);
  const auto to = static_cast<std::uint8_t>(engine.peak_sample - 131);
  const std::uint32_t ws = engine.sample_rate / 205;
  const std::uint32_t wo = engine.sample_rate / 450;
  for (std::uint32_t i = 51; i + 1 < n; ++i) {
    if (ws < n - i && LiteralCountOutOfRange(samples, i, ws, previous, ts) == 0 && armed) {
      if (last_onset == 0) {
        last_onset = onset;
      } else {
        const auto rate = static_cast<float>(static_cast<double>(engine.sample_rate) /
                                             static_cast<double>(onset - last_onset));
        if (rate < 30.0F) {
          if (engine.highest_rof < rate) engine.highest_rof = rate;
          if (engine.lowest_rof > rate) engine.lowest_rof = rate;
          if (engine.highest_rof == 0.0F) engine.highest_rof = rate;
          if (engine.lowest_rof == 0.0F) engine.lowest_rof = rate;
        } else {
          engine.clip_quality = 0;
          engine.number_of_shots -= 1;
        }
        last_onset = onset;
      }
      engine.shots.push_back({onset, static_cast<std::uint8_t>(engine.shot_list_count)});
      engine.shot_list_count += 1;
      engine.number_of_shots += 1;
      armed = false;
    }
    if (wo < n - i && LiteralCountOutOfRange(samples, i, wo, 128, to) >= 6 && !armed) {
      onset = i;
      armed = true;
    }
    previous = samples[i];
  }
  engine.average_rof = (engine.highest_rof + engine.lowest_rof) / 2.0F;
  return true;
}

inline AnalysisFigures TakeFigures(const SoundEngine& e, bool measured, bool detected) {
  return {measured,          detected,       e.average_rof, e.highest_rof,     e.lowest_rof,
          e.number_of_shots, e.clip_quality, e.peak_sample, e.shot_list_count, e.shots};
}

inline AnalysisFigures Analyse(const std::vector<std::uint8_t>& samples, std::uint32_t sample_rate,
                               bool (*measure)(SoundEngine&), bool (*detect)(SoundEngine&)) {
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  HoldClip(engine, samples, sample_rate);
  const bool measured = measure(engine);
  return TakeFigures(engine, measured, measured && detect(engine));
}

// Every figure as a line of text, rates with their bits; one line per shot.
inline std::vector<std::string> Describe(const AnalysisFigures& f) {
  std::ostringstream out;
  out << std::setprecision(9) << f.measured << f.detected;
  for (const float rate : {f.average_rof, f.highest_rof, f.lowest_rof}) {
    out << "\nrate " << rate << " (" << std::hex << std::bit_cast<std::uint32_t>(rate) << std::dec
        << ")";
  }
  out << "\nshots " << f.number_of_shots << " quality " << f.clip_quality << " peak "
      << int{f.peak_sample} << " listed " << f.shot_list_count << "/" << f.shots.size();
  for (const ShotRecord& shot : f.shots) {
    out << "\nshot at " << shot.position << " #" << int{shot.number};
  }
  std::vector<std::string> lines;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

inline AnalysisFigures AnalyseLiterally(const std::vector<std::uint8_t>& samples,
                                        std::uint32_t sample_rate) {
  return Analyse(samples, sample_rate, LiteralMeasureClipQuality, LiteralDetectShots);
}

inline AnalysisFigures AnalyseWithEngine(const std::vector<std::uint8_t>& samples,
                                         std::uint32_t sample_rate) {
  return Analyse(samples, sample_rate, MeasureClipQuality, DetectShots);
}

inline std::string FigureDifference(const AnalysisFigures& expected,
                                    const AnalysisFigures& actual) {
  const std::vector<std::string> want = Describe(expected);
  const std::vector<std::string> got = Describe(actual);
  const auto [w, g] = std::mismatch(want.begin(), want.end(), got.begin(), got.end());
  return w == want.end() && g == got.end() ? ""
         : w == want.end()                 ? "nothing vs " + *g
         : g == got.end()                  ? *w + " vs nothing"
                                           : *w + " vs " + *g;
}

}  // namespace test
