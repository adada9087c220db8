#pragma once

#include <string>

#include "engine/detector.h"

struct ShellContext;
struct SoundEngine;

// The mark over the waveform: which detector gave the figures, and, after a
// classic analysis the robust detector disagrees with by more than a tenth
// of the shots, an offer of its result.
struct DetectorMark {
  std::string text;
  bool offers_other = false;
};

DetectorMark MarkFor(const SoundEngine& engine);

// Loads use `detector` from now on; a clip held is analysed again with it.
void ChooseDetector(ShellContext& context, Detector detector);

// The clip held analysed again with the detector that didn't run.
void ShowOtherDetectorResult(ShellContext& context);
