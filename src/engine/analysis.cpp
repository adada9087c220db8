#include "engine/analysis.h"

#include <algorithm>

#include "engine/messages.h"
#include "engine/notifier.h"
#include "engine/sound_engine.h"

namespace {

// The samples start .. start+w−2, cut at the end of the held buffer so that a
// window reaching past it never reads there.
struct WindowSpan {
  const std::uint8_t* first = nullptr;
  std::uint32_t length = 0;
};

WindowSpan SpanOf(const SoundEngine& engine, std::uint32_t start, std::uint32_t w) {
  const std::uint32_t held = HeldSampleCount(engine);
  if (w <= 1 || start >= held) {
    return {};
  }
  const std::uint32_t length = std::min(w - 1, held - start);
  return {engine.samples->data() + start, length};
}

}  // namespace

bool AllInRange(const SoundEngine& engine, std::uint32_t start, std::uint32_t w,
                std::uint8_t centre, std::uint8_t tolerance) {
  const WindowSpan span = SpanOf(engine, start, w);
  return std::all_of(span.first, span.first + span.length,
                     [&](std::uint8_t s) { return InRange(s, centre, tolerance); });
}

std::uint32_t CountOutOfRange(const SoundEngine& engine, std::uint32_t start, std::uint32_t w,
                              std::uint8_t centre, std::uint8_t tolerance) {
  const WindowSpan span = SpanOf(engine, start, w);
  return static_cast<std::uint32_t>(
      std::count_if(span.first, span.first + span.length,
                    [&](std::uint8_t s) { return !InRange(s, centre, tolerance); }));
}

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
