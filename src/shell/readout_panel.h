#pragma once

#include <cstdint>
#include <string_view>

class DialogSurface;
struct SoundEngine;

// Puts the six readout texts into their fields and repaints the dialog.
void UpdateReadouts(DialogSurface& dialog, const SoundEngine& engine, std::uint8_t in_bps);

// Puts the unit text beside the three rates.
void SetUnitLabels(DialogSurface& dialog, std::string_view unit);
