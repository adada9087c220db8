#include "engine/readout_texts.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/analysis.h"
#include "engine/sound_engine.h"

namespace {

constexpr std::size_t kTextBufferSize = 255;

std::string Format(const char* pattern, double value) {
  std::array<char, kTextBufferSize> buffer{};
  std::snprintf(buffer.data(), buffer.size(), pattern, value);
  return buffer.data();
}

std::string FormatInt(std::int32_t value) {
  std::array<char, kTextBufferSize> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%d", value);
  return buffer.data();
}

}  // namespace

std::string_view ReadoutKey(Readout readout) {
  static constexpr std::array<std::string_view, kReadoutCount> kKeys = {
      "average_rof", "highest_rof", "lowest_rof", "number_of_shots", "clip_length", "clip_quality"};
  return kKeys[static_cast<std::size_t>(readout)];
}

std::string_view UnitText(RateUnit unit) { return unit == RateUnit::Bps ? "bps" : "ms"; }

std::string FormatRate(float rate_bps, RateUnit unit) {
  if (unit == RateUnit::Bps) {
    return Format("%f", static_cast<double>(rate_bps));
  }
  // A NaN fails this comparison too and shows as empty.
  if (!(rate_bps >= 1.0F)) {
    return {};
  }
  return Format("%f", 1000.0 / static_cast<double>(rate_bps));
}

std::vector<std::string> WidestReadoutTexts() {
  return {FormatRate(std::nextafter(kRateLimit, 0.0F), RateUnit::Bps),
          FormatRate(1.0F, RateUnit::Ms), FormatInt(std::numeric_limits<std::int32_t>::min()),
          FormatInt(std::numeric_limits<std::int32_t>::max())};
}

std::array<ReadoutText, kReadoutCount> ReadoutTexts(const SoundEngine& engine, RateUnit unit) {
  return {{
      {Readout::AverageRof, FormatRate(engine.GetAverageRof(), unit)},
      {Readout::HighestRof, FormatRate(engine.GetHighestRof(), unit)},
      {Readout::LowestRof, FormatRate(engine.GetLowestRof(), unit)},
      {Readout::NumberOfShots, FormatInt(engine.GetNumberOfShots())},
      // "%d" of the unsigned length, as the field has always shown it.
      {Readout::ClipLength, FormatInt(static_cast<std::int32_t>(engine.GetClipLength()))},
      {Readout::ClipQuality, FormatInt(engine.GetClipQuality())},
  }};
}
