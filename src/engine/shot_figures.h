#pragma once

#include <cstdint>

struct SoundEngine;

// What every detector does with the shots it finds, in order: each shot goes
// into the list, and the interval from the previous one (none before the
// first) counts towards the rates when below 30 BPS; otherwise the shot is
// not counted and the clip's quality drops to 0. `last_onset` starts at 0.
void RecordShot(SoundEngine& engine, std::uint32_t& last_onset, std::uint32_t onset);

// The average rate, once every shot is recorded.
void FinishShotFigures(SoundEngine& engine);
