#include "display/waveform_view.h"

#include <algorithm>
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

double ContentExtent(std::uint32_t sample_count, double zoom) {
  return static_cast<double>(sample_count) * PixelsPerSample(zoom) +
         static_cast<double>(kContentMargin);
}

std::uint32_t ViewWidth(const DisplayWindow& display) {
  return static_cast<std::uint32_t>(display.rect.width);
}

// Calls `visit` with the aligned offset of every shot a jump may go to, in
// list order, until it returns false.
template <typename Visit>
void ForEachJumpTarget(const SoundEngine& engine, double zoom, Visit visit) {
  const std::uint32_t shot_count = engine.GetShotCount();
  for (std::uint32_t k = 0; k + 1 < shot_count; ++k) {
    if (IntervalAfterShot(engine, k).accepted &&
        !visit(AlignedOffset(engine.GetShot(k).position, zoom))) {
      return;
    }
  }
}

}  // namespace

double PixelsPerSample(double zoom) { return static_cast<double>(kPixelsPerSample) / zoom; }

std::int32_t SampleX(std::int32_t view_offset, std::uint32_t index, double zoom) {
  return Truncate(static_cast<double>(view_offset) +
                  static_cast<double>(index) * PixelsPerSample(zoom));
}

std::int32_t SampleY(std::uint8_t sample) {
  return Truncate(static_cast<double>(sample) * static_cast<double>(kPixelsPerLevel));
}

std::int32_t ContentWidth(std::uint32_t sample_count, double zoom) {
  return Truncate(ContentExtent(sample_count, zoom));
}

std::int32_t LowerBound(std::uint32_t sample_count, std::uint32_t view_width, double zoom) {
  return Truncate(static_cast<double>(view_width) - ContentExtent(sample_count, zoom));
}

std::int32_t AlignedOffset(std::uint32_t position, double zoom) {
  return -Truncate(static_cast<double>(position) * PixelsPerSample(zoom));
}

double FarthestZoom(std::uint32_t sample_count, std::uint32_t view_width) {
  const double room = static_cast<double>(view_width) - static_cast<double>(kContentMargin);
  if (room < 1.0) {
    return kClosestZoom;
  }
  return std::max(kClosestZoom,
                  static_cast<double>(sample_count) * PixelsPerSample(kClosestZoom) / room);
}

std::span<const std::uint8_t> HeldSamples(const SoundEngine& engine) {
  if (!engine.samples.has_value()) {
    return {};
  }
  return {engine.samples->data(), HeldSampleCount(engine)};
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
  view.zoom = std::clamp(view.zoom, kClosestZoom, FarthestZoom(sample_count, ViewWidth(display)));
  view.view_offset =
      ClampViewOffset(view.view_offset, LowerBound(sample_count, ViewWidth(display), view.zoom));
  const ScrollInfo info{1, ContentWidth(sample_count, view.zoom), ViewWidth(display),
                        -view.view_offset};
  if (display.window) {
    display.window->SetScrollInfo(info);
  }
  return info;
}

void ShowView(WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  UpdateScrollBar(view, engine, display);
  PaintWaveform(view, engine, display);
  ReportViewMoved(display);
}

void ScrollToThumb(WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  const std::int32_t lower_bound =
      LowerBound(engine.GetSampleCount(), ViewWidth(display), view.zoom);
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
  ForEachJumpTarget(engine, view.zoom, [&](std::int32_t aligned) {
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
  ForEachJumpTarget(engine, view.zoom, [&](std::int32_t aligned) {
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
      ReportViewMoved(display);
      return;
  }
  ShowView(view, engine, display);
}

void ZoomView(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
              std::int32_t steps, std::int32_t anchor_x) {
  const double anchor = static_cast<double>(anchor_x);
  const double anchored_sample =
      (anchor - static_cast<double>(view.view_offset)) / PixelsPerSample(view.zoom);
  view.zoom = std::clamp(view.zoom * std::pow(kZoomStepFactor, -static_cast<double>(steps)),
                         kClosestZoom, FarthestZoom(engine.GetSampleCount(), ViewWidth(display)));
  view.view_offset = Truncate(std::round(anchor - anchored_sample * PixelsPerSample(view.zoom)));
  ShowView(view, engine, display);
}

void ScrollToShot(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
                  std::uint32_t shot_index) {
  if (shot_index >= engine.GetShotCount()) {
    return;
  }
  view.view_offset = AlignedOffset(engine.GetShot(shot_index).position, view.zoom);
  ShowView(view, engine, display);
}

std::uint32_t FirstShotFrom(const WaveformView& view, const SoundEngine& engine, std::int64_t x) {
  // Shots are in order of onset, so their x grows with the index.
  std::uint32_t low = 0;
  std::uint32_t high = engine.GetShotCount();
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    if (SampleX(view.view_offset, engine.GetShot(middle).position, view.zoom) < x) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

std::optional<std::uint32_t> ShotInView(const WaveformView& view, const SoundEngine& engine,
                                        const DisplayWindow& display) {
  const std::uint32_t shot_count = engine.GetShotCount();
  const auto width = static_cast<std::int64_t>(ViewWidth(display));
  for (std::uint32_t k = FirstShotFrom(view, engine, 0);
       k < shot_count && SampleX(view.view_offset, engine.GetShot(k).position, view.zoom) < width;
       ++k) {
    if (IntervalAfterShot(engine, k).accepted) {
      return k;
    }
  }
  return std::nullopt;
}

void FollowNewestSound(WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  // The clamps that follow keep the zoom within the recording so far, and
  // turn the extreme offset into the last page.
  view.zoom = kLiveViewSeconds * static_cast<double>(engine.GetSampleRate()) *
              PixelsPerSample(kClosestZoom) / std::max(ViewWidth(display), 1U);
  view.view_offset = std::numeric_limits<std::int32_t>::min();
  UpdateScrollBar(view, engine, display);
  PaintWaveform(view, engine, display);
}

void ShowClip(WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  view.view_offset = kInitialViewOffset;
  view.zoom = kClosestZoom;
  view.summary = BuildWaveformSummary(HeldSamples(engine));
  if (FirstShotWholeAtStart(engine, display)) {
    ShowView(view, engine, display);
  } else {
    HandleScroll(view, engine, display, ScrollAction::FirstShot);
  }
}
