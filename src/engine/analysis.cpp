#include "engine/analysis.h"

#include "engine/messages.h"
#include "engine/notifier.h"
#include "engine/sound_engine.h"

float RateBetween(std::uint32_t sample_rate, std::uint32_t from_position,
                  std::uint32_t to_position) {
  // Both integers are exact in double; one rounding to float gives the figure.
  return static_cast<float>(static_cast<double>(sample_rate) /
                            static_cast<double>(to_position - from_position));
}

bool HoldsSamplesOrReport(SoundEngine& engine) {
  if (engine.samples.has_value()) {
    return true;
  }
  if (engine.notifier != nullptr) {
    engine.notifier->ShowMessage(kNoDataMessage, kNoDataCaption);
  }
  return false;
}

std::uint32_t AnalysedEnd(const SoundEngine& engine) {
  // sample_count − 1 would wrap for an empty clip.
  const std::uint32_t held = HeldSampleCount(engine);
  return held > kFirstAnalysedPosition + 1 ? held - 1 : kFirstAnalysedPosition;
}
