#pragma once

#include <string>

#include "engine/readout_texts.h"

struct SoundEngine;

// The figures of the clip held by the engine, as readable text: the six
// readout texts with their labels and units, and optionally one line per shot.
std::string TextReport(const SoundEngine& engine, const std::string& file, RateUnit unit,
                       bool with_shots);

// The same as one line of JSON (no trailing newline).
std::string JsonReport(const SoundEngine& engine, const std::string& file, RateUnit unit);
