#include "shell/readout_texts.h"

#include <array>
#include <cstdio>

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

std::string FormatRate(float rate_bps, std::uint8_t in_bps) {
  if (in_bps == 1) {
    return Format("%f", static_cast<double>(rate_bps));
  }
  // A NaN fails this comparison too and shows as empty.
  if (!(rate_bps >= 1.0F)) {
    return {};
  }
  return Format("%f", 1000.0 / static_cast<double>(rate_bps));
}

std::vector<FieldText> ReadoutFieldTexts(const SoundEngine& engine, std::uint8_t in_bps) {
  return {
      {kAverageRofField, FormatRate(engine.GetAverageRof(), in_bps)},
      {kHighestRofField, FormatRate(engine.GetHighestRof(), in_bps)},
      {kLowestRofField, FormatRate(engine.GetLowestRof(), in_bps)},
      {kNumberOfShotsField, FormatInt(engine.GetNumberOfShots())},
      // "%d" of the unsigned length, as the field has always shown it.
      {kClipLengthField, FormatInt(static_cast<std::int32_t>(engine.GetClipLength()))},
      {kClipQualityField, FormatInt(engine.GetClipQuality())},
  };
}

std::vector<FieldText> UnitLabelFieldTexts(std::string_view unit) {
  const std::string text(unit.substr(0, kTextBufferSize - 1));
  return {{kAverageUnitField, text}, {kHighestUnitField, text}, {kLowestUnitField, text}};
}
