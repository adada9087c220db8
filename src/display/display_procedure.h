#pragma once

#include "display/display_surface.h"

struct SoundEngine;
struct DisplayWindow;
struct WaveformView;

// The display window's handler: creation and every resize return the view to
// the clip's start, paints draw the clip, scroll codes move the view.
void DisplayWindowProcedure(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
                            const DisplayMessage& message);
