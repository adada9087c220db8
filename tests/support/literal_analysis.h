#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/sound_engine.h"

namespace test {

// Puts an 8-bit clip into a freshly reset engine the way the WAVE reader
// leaves it: samples, count, rate and the length in whole seconds.
void HoldClip(SoundEngine& engine, std::vector<std::uint8_t> samples, std::uint32_t sample_rate);

// Both analysis passes written word for word from their description, window
// scans and all (O(n × W)). The oracle for the engine's own passes. The only
// liberties: the positions stop at the held buffer, and an empty clip has no
// positions instead of wrapping its end.
bool LiteralMeasureClipQuality(SoundEngine& engine);
bool LiteralDetectShots(SoundEngine& engine);

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

AnalysisFigures TakeFigures(const SoundEngine& engine, bool measured, bool detected);

// A fresh engine holding the clip, analysed as a load does it: the quality
// pass, then the detector if that succeeded.
AnalysisFigures AnalyseLiterally(const std::vector<std::uint8_t>& samples,
                                 std::uint32_t sample_rate);
AnalysisFigures AnalyseWithEngine(const std::vector<std::uint8_t>& samples,
                                  std::uint32_t sample_rate);

// The first difference, field by field and shot by shot, with rates compared
// bit for bit; empty when there is none.
std::string FigureDifference(const AnalysisFigures& expected, const AnalysisFigures& actual);

}  // namespace test
