#pragma once

#include <cstdint>

#include "display/display_surface.h"

struct SoundEngine;
struct DisplayWindow;

// Fixed scales of the view: 0.3 pixels per sample across, 0.5 per sample
// unit down.
inline constexpr float kPixelsPerSample = 0.3F;
inline constexpr float kPixelsPerLevel = 0.5F;
// Blank pixels after the last sample.
inline constexpr std::int32_t kContentMargin = 10;
// An arrow of the scroll bar moves the view by this many pixels.
inline constexpr std::int32_t kLineScrollPixels = 180;
inline constexpr std::int32_t kInitialViewOffset = 1;

// The x coordinate at which sample 0 is drawn; scrolling right makes it
// negative. Stays between the clip's lower bound and 1 after every scroll.
struct WaveformView {
  std::int32_t view_offset = kInitialViewOffset;
};

enum class JumpDirection : std::uint8_t { Previous, Next };

// What the scroll bar, the keys and the wheel ask of the view: a line either
// way (arrows), the shot on either side (clicks in the track, Page Up and
// Down), the first or last shot (Home, End), or the thumb's place once
// released.
enum class ScrollAction : std::uint8_t {
  LineLeft,
  LineRight,
  PreviousShot,
  NextShot,
  FirstShot,
  LastShot,
  ThumbReleased
};

// Conversions to whole pixels truncate toward zero, after arithmetic in
// double precision on the float scales.
std::int32_t SampleX(std::int32_t view_offset, std::uint32_t index);
std::int32_t SampleY(std::uint8_t sample);
std::int32_t ContentWidth(std::uint32_t sample_count);
std::int32_t LowerBound(std::uint32_t sample_count, std::uint32_t view_width);
// The view_offset that puts a shot at the view's left edge.
std::int32_t AlignedOffset(std::uint32_t position);
// The lower bound first, then 1, so a clip narrower than the view sits at 1.
std::int32_t ClampViewOffset(std::int32_t view_offset, std::int32_t lower_bound);

// Clamps view_offset to the clip and publishes the scroll bar; returns what
// was published.
ScrollInfo UpdateScrollBar(WaveformView& view, const SoundEngine& engine, DisplayWindow& display);
// Takes the released thumb's position as the new view.
void ScrollToThumb(WaveformView& view, const SoundEngine& engine, DisplayWindow& display);
// Puts the nearest drawable shot on that side of the left edge at the left
// edge; without one the view stays.
void JumpToShot(WaveformView& view, const SoundEngine& engine, JumpDirection direction);
// Puts the first (Previous) or last (Next) drawable shot at the left edge;
// without one, goes to the clip's start or end.
void JumpToEndShot(WaveformView& view, const SoundEngine& engine, JumpDirection end);

// Moves the view as asked and repaints at once.
void HandleScroll(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
                  ScrollAction action);

// After a new clip, wherever the previous one was left: the view opens at
// the clip's start, or, when its first shot's bar and label are not whole
// there, with that shot at the left edge.
void ShowClip(WaveformView& view, const SoundEngine& engine, DisplayWindow& display);
