#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/readout_texts.h"

struct LiveSettings {
  std::string file;                       // "-": standard input
  std::optional<std::uint32_t> raw_rate;  // raw 8-bit samples instead of WAVE
  bool json = false;
  bool with_shots = false;
  RateUnit unit = RateUnit::Bps;
};

// tambrix-analyze --live: reads the stream as it arrives, prints each shot as
// it is found and the final figures once the stream ends. Returns the exit
// status: 0, or 1 for a stream without samples or with a fault.
int RunLive(const LiveSettings& settings);
