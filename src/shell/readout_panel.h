#pragma once

#include "engine/readout_texts.h"

class DialogSurface;
struct SoundEngine;

// Puts the six readout texts of what the window shows (the running figures
// while recording) into their fields and repaints the dialog.
void UpdateReadouts(DialogSurface& dialog, const SoundEngine& engine, RateUnit unit);

// Puts the unit text beside the three rates.
void SetUnitLabels(DialogSurface& dialog, RateUnit unit);
