#pragma once
// TEMPORARY until the zoom branch lands.
#include <optional>

#include "display/display_window.h"
#include "display/waveform_picture.h"
#include "display/waveform_view.h"
#include "engine/shot_intervals.h"
#include "engine/sound_engine.h"

inline void ScrollToShot(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
                         std::uint32_t shot) {
  view.view_offset = AlignedOffset(engine.GetShot(shot).position);
  UpdateScrollBar(view, engine, display);
  PaintWaveform(view, engine, display);
}

inline std::optional<std::uint32_t> ShotInView(const WaveformView& view, const SoundEngine& engine,
                                               const DisplayWindow& /*display*/) {
  for (std::uint32_t k = 0; k + 1 < engine.GetShotCount(); ++k) {
    if (IntervalAfterShot(engine, k).accepted &&
        SampleX(view.view_offset, engine.GetShot(k).position) >= 0) {
      return k;
    }
  }
  return std::nullopt;
}
