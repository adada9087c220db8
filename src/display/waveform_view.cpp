#include "display/waveform_view.h"

#include <cmath>
#include <limits>

#include "display/display_window.h"
#include "display/waveform_picture.h"
#include "engine/shot_intervals.h"
#include "engine/sound_engine.h"

namespace {

std::int32_t Truncate(double value) {
  constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
  if (!(value > kLowest)) {
    return std::numeric_limits<std::int32_t>::min();
  }
  if (!(value < kHighest)) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(std::trunc(value));
}

double ContentExtent(std::uint32_t sample_count) {
  return static_cast<double>(sample_count) * static_cast<double>(kPixelsPerSample) +
         static_cast<double>(kContentMargin);
}

std::uint32_t ViewWidth(const DisplayWindow& display) {
  return static_cast<std::uint32_t>(display.rect.width);
}

// Calls `visit` with the aligned offset of every shot a jump may go to, in
// list order, until it returns false.
template <typename Visit>
void ForEachJumpTarget(const SoundEngine& engine, Visit visit) {
  const std::uint32_t shot_count = engine.GetShotCount();
  for (std::uint32_t k = 0; k + 1 < shot_count; ++k) {
    if (IntervalAfterShot(engine, k).accepted &&
        !visit(AlignedOffset(engine.GetShot(k).position))) {
      return;
    }
  }
}

}  // namespace

std::int32_t SampleX(std::int32_t view_offset, std::uint32_t index) {
  return Truncate(static_cast<double>(view_offset) +
                  static_cast<double>(index) * static_cast<double>(kPixelsPerSample));
}

std::int32_t SampleY(std::uint8_t sample) {
  return Truncate(static_cast<double>(sample) * static_cast<double>(kPixelsPerLevel));
}

std::int32_t ContentWidth(std::uint32_t sample_count) {
  return Truncate(ContentExtent(sample_count));
}

std::int32_t LowerBound(std::uint32_t sample_count, std::uint32_t view_width) {
  return Truncate(static_cast<double>(view_width) - ContentExtent(sample_count));
}

std::int32_t AlignedOffset(std::uint32_t position) {
  return -Truncate(static_cast<double>(position) * static_cast<double>(kPixelsPerSample));
}

std::int32_t ClampViewOffset(std::int32_t view_offset, std::int32_t lower_bound) {
  if (view_offset <= lower_bound) {
    view_offset = lower_bound;
  }
  if (view_offset >= kInitialViewOffset) {
    view_offset = kInitialViewOffset;
  }
  return view_offset;
}

ScrollInfo UpdateScrollBar(WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  const std::uint32_t sample_count = engine.GetSampleCount();
  view.view_offset =
      ClampViewOffset(view.view_offset, LowerBound(sample_count, ViewWidth(display)));
  const ScrollInfo info{1, ContentWidth(sample_count), ViewWidth(display), -view.view_offset};
  if (display.window) {
    display.window->SetScrollInfo(info);
  }
  return info;
}

void ScrollToThumb(WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  const std::int32_t lower_bound = LowerBound(engine.GetSampleCount(), ViewWidth(display));
  if (!display.window) {
    return;
  }
  const std::int32_t track = display.window->ScrollTrackPosition();
  display.window->SetScrollPosition(track);
  // The bar keeps the released position even where the clamp moves the view.
  const std::int32_t wanted = track == std::numeric_limits<std::int32_t>::min()
                                  ? std::numeric_limits<std::int32_t>::max()
                                  : -track;
  view.view_offset = ClampViewOffset(wanted, lower_bound);
}

void JumpToShot(WaveformView& view, const SoundEngine& engine, JumpDirection direction) {
  std::int32_t best = 0;
  ForEachJumpTarget(engine, [&](std::int32_t aligned) {
    if (direction == JumpDirection::Previous) {
      if (view.view_offset < aligned && (best == 0 || best > aligned)) {
        best = aligned;
      }
    } else if (view.view_offset > aligned && (best == 0 || best < aligned)) {
      best = aligned;
    }
    return true;
  });
  if (best != 0) {
    view.view_offset = best;
  }
}

void JumpToEndShot(WaveformView& view, const SoundEngine& engine, JumpDirection end) {
  // The clamp that follows turns the extreme into the clip's last page.
  view.view_offset = end == JumpDirection::Previous ? kInitialViewOffset
                                                    : std::numeric_limits<std::int32_t>::min();
  ForEachJumpTarget(engine, [&](std::int32_t aligned) {
    view.view_offset = aligned;
    return end == JumpDirection::Next;
  });
}

void HandleScroll(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
                  ScrollAction action) {
  switch (action) {
    case ScrollAction::LineLeft:
      view.view_offset += kLineScrollPixels;
      break;
    case ScrollAction::LineRight:
      view.view_offset -= kLineScrollPixels;
      break;
    case ScrollAction::PreviousShot:
      JumpToShot(view, engine, JumpDirection::Previous);
      break;
    case ScrollAction::NextShot:
      JumpToShot(view, engine, JumpDirection::Next);
      break;
    case ScrollAction::FirstShot:
      JumpToEndShot(view, engine, JumpDirection::Previous);
      break;
    case ScrollAction::LastShot:
      JumpToEndShot(view, engine, JumpDirection::Next);
      break;
    case ScrollAction::ThumbReleased:
      ScrollToThumb(view, engine, display);
      PaintWaveform(view, engine, display);
      return;
  }
  UpdateScrollBar(view, engine, display);
  PaintWaveform(view, engine, display);
}

void ShowClip(WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  view.view_offset = kInitialViewOffset;
  if (FirstShotWholeAtStart(engine, display)) {
    UpdateScrollBar(view, engine, display);
    PaintWaveform(view, engine, display);
  } else {
    HandleScroll(view, engine, display, ScrollAction::FirstShot);
  }
}
