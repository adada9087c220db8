#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/analysis.h"

struct SoundEngine;

// The classic detector as a run that can be continued: each call goes on as
// far as the samples held decide, so a clip that grows is looked at once.
// The windows only ever move forward, and are looked at only while the
// detector needs them: the onset count takes each sample in and out once,
// and the settle extremes work each block of samples out once. So the
// detector costs O(n) however long its windows are and however often it
// changes state.

// Count of the samples outside the onset band in the window [lo, hi).
struct OnsetCounter {
  const std::uint8_t* samples = nullptr;
  std::uint32_t length = 0;
  std::array<std::uint8_t, 256> out_of_band{};
  Band band;
  std::uint32_t lo = 0;
  std::uint32_t hi = 0;
  std::int32_t count = 0;
};

// Extremes of the settle window by blocks as long as the window: a window
// covers the tail of one block and the head of the next, so its minimum and
// maximum are those of a block suffix and of the next block's prefix. Each
// half of a block is worked out once, when a window first needs it; a
// prefix that the held samples cut short is worked out further once more
// have arrived.
struct RunningExtremes {
  std::vector<std::uint8_t> low;
  std::vector<std::uint8_t> high;
};

struct BlockExtremes {
  std::uint32_t block = 0;
  std::uint32_t prefix_count = 0;  // samples of the prefix worked out
  bool has_suffix = false;
  RunningExtremes prefix;
  RunningExtremes suffix;
};

struct SettleRange {
  const std::uint8_t* samples = nullptr;
  std::uint32_t held = 0;
  std::uint32_t length = 0;
  std::array<BlockExtremes, 2> blocks;  // by parity: a window's two blocks
};

struct ClassicDetection {
  std::uint32_t onset_w = 0;  // window lengths, from the sample rate
  std::uint32_t settle_w = 0;
  OnsetCounter onsets;
  SettleRange settles;
  std::uint8_t settle_tolerance = 0;
  std::uint32_t next = kFirstAnalysedPosition;  // the first position not yet decided
  std::optional<std::uint32_t> open_onset;      // a shot found but not yet closed
  std::uint32_t last_onset = 0;
};

// A run from the clip's start with the bands of the engine's peak sample.
ClassicDetection StartClassicDetection(const SoundEngine& engine);

// Records every shot that the held samples close, in order. A shot still
// open where they end stays open, for the next call to close.
void ContinueClassicDetection(ClassicDetection& detection, SoundEngine& engine);
