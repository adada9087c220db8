#include "cli/live_shot_lines.h"

#include <algorithm>
#include <array>
#include <string>

#include "cli/json_text.h"
#include "engine/shot_intervals.h"
#include "engine/sound_engine.h"

namespace {

void PrintLine(const std::string& line, std::FILE* out) {
  std::fputs(line.c_str(), out);
  std::fputc('\n', out);
  std::fflush(out);
}

std::string Fixed(double value, int decimals) {
  std::array<char, 64> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
  return buffer.data();
}

}  // namespace

void LiveShotLines::PrintChanges(const SoundEngine& engine, std::FILE* out) {
  const std::uint32_t count = engine.GetShotCount();
  std::uint32_t same = 0;
  while (same < count && same < printed_.size() &&
         printed_[same] == engine.GetShot(same).position) {
    ++same;
  }
  if (same < printed_.size()) {
    const std::string from = std::to_string(same + 1);
    PrintLine(json_ ? "{\"corrected_from\":" + from + "}"
                    : "a louder sound changed the detector's bands: shots from " + from +
                          " on are corrected",
              out);
    printed_.resize(same);
  }
  for (std::uint32_t i = same; i < count; ++i) {
    PrintShot(engine, i, out);
    printed_.push_back(engine.GetShot(i).position);
  }
}

void LiveShotLines::PrintShot(const SoundEngine& engine, std::uint32_t index,
                              std::FILE* out) const {
  const std::uint32_t position = engine.GetShot(index).position;
  const double seconds = static_cast<double>(position) / engine.GetSampleRate();
  const ShotInterval split = index > 0 ? IntervalAfterShot(engine, index - 1) : ShotInterval{};
  const float average = engine.GetAverageRof();
  std::string line;
  if (json_) {
    line = "{\"shot\":" + std::to_string(index + 1) + ",\"position\":" + std::to_string(position) +
           ",\"time_s\":" + Fixed(seconds, 6);
    line += split.has_next ? ",\"split_ms\":" + JsonFloat(split.interval_ms) : "";
    line += ",\"average_rof\":" + JsonFloat(average) + "}";
  } else {
    line = "shot " + std::to_string(index + 1) + "  " + Fixed(seconds, 3) + " s";
    line += split.has_next ? "  split " + Fixed(split.interval_ms, 3) + " ms" : "";
    const std::string average_text = FormatRate(average, unit_);
    line += average_text.empty() ? ""
                                 : "  average " + average_text + " " + std::string(UnitText(unit_));
  }
  PrintLine(line, out);
}
