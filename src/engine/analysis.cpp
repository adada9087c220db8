#include "engine/analysis.h"

#include "engine/sound_engine.h"

// Placeholder until the analysis lands.
bool InRange(std::uint8_t value, std::uint8_t centre, std::uint8_t tolerance) {
  const int v = value;
  return v >= centre - tolerance && v <= centre + tolerance;
}
bool AllInRange(const SoundEngine&, std::uint32_t, std::uint32_t, std::uint8_t, std::uint8_t) {
  return true;
}
std::uint32_t CountOutOfRange(const SoundEngine&, std::uint32_t, std::uint32_t, std::uint8_t,
                              std::uint8_t) {
  return 0;
}
bool MeasureClipQuality(SoundEngine& engine) { return engine.samples.has_value(); }
bool DetectShots(SoundEngine& engine) { return engine.samples.has_value(); }
float RateBetween(std::uint32_t sample_rate, std::uint32_t from_position,
                  std::uint32_t to_position) {
  return static_cast<float>(static_cast<double>(sample_rate) /
                            static_cast<double>(to_position - from_position));
}
