#pragma once

#include <cstdint>
#include <vector>

struct SoundEngine;

// One shot of the list as the review table and the CSV show it: its place in
// the list (from 1, not reduced to 8 bits as the waveform's labels are), where
// it lies, and what lies between it and the next shot (none after the last).
struct ShotRow {
  std::uint32_t number = 0;
  double time_s = 0.0;
  std::uint32_t position = 0;
  bool has_next = false;
  float split_ms = 0.0F;
  float rate_bps = 0.0F;
  bool counts = false;  // the interval counts towards the figures
};

std::vector<ShotRow> ShotTableRows(const SoundEngine& engine);
