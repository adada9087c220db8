#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/live_analysis.h"

struct SoundEngine;

enum class TakeResult : std::uint8_t { Taken, LimitReached, OutOfMemory };

// The samples of a stream's data as they arrive, analysed live. 16-bit
// samples become 8-bit ones as a load makes them: scaled by the loudest value,
// here the loudest so far, so when a louder one arrives everything is scaled
// and analysed again.
class LiveClip {
 public:
  LiveClip(std::uint32_t sample_rate, std::uint32_t sample_bytes);

  // Takes the next bytes of sample data; a sample split between two calls is
  // put together. Stops at kLiveSampleLimit samples or when memory runs out.
  TakeResult Take(const std::uint8_t* bytes, std::size_t count);

  const SoundEngine& Engine() const { return live_->engine; }
  // The stream so far ends inside a 16-bit sample.
  bool HalfSampleHeld() const { return half_sample_.has_value(); }

 private:
  TakeResult TakeSixteenBit(const std::uint8_t* bytes, std::size_t count);
  bool AnalyseValuesFrom(std::size_t first);

  std::uint32_t sample_rate_;
  std::uint32_t sample_bytes_;
  std::unique_ptr<LiveAnalysis> live_;
  std::vector<std::int16_t> values_;  // every 16-bit value so far
  std::int16_t largest_ = 0;
  std::optional<std::uint8_t> half_sample_;
};
