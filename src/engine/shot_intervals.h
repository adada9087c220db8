#pragma once

#include <cstdint>

struct SoundEngine;

// What lies between a shot and the next one in the list, as the waveform view
// labels it: the rate, the interval in milliseconds, and whether the interval
// counts (rate below 30 BPS). The last shot has no next shot.
struct ShotInterval {
  bool has_next = false;
  float rate_bps = 0.0F;
  float interval_ms = 0.0F;
  bool accepted = false;
};

ShotInterval IntervalAfterShot(const SoundEngine& engine, std::uint32_t index);
