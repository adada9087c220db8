#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/readout_texts.h"

struct SoundEngine;

// The live meter's lines: one per shot as it is found, and when a louder
// sound changes shots already printed, a line saying from which one on,
// followed by those shots again. Each line is flushed.
class LiveShotLines {
 public:
  LiveShotLines(bool json, RateUnit unit) : json_(json), unit_(unit) {}

  // Prints what the engine's shot list holds beyond, or unlike, what was
  // printed before.
  void PrintChanges(const SoundEngine& engine, std::FILE* out);

 private:
  void PrintShot(const SoundEngine& engine, std::uint32_t index, std::FILE* out) const;

  bool json_;
  RateUnit unit_;
  std::vector<std::uint32_t> printed_;  // positions of the shots printed
};
