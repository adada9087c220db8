#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "display/display_surface.h"
#include "display/waveform_summary.h"

struct SoundEngine;
struct DisplayWindow;

// Scales of the view at its closest: 0.3 pixels per sample across, 0.5 per
// sample unit down. Zooming out divides the first by the zoom factor.
inline constexpr float kPixelsPerSample = 0.3F;
inline constexpr double kClosestZoom = 1.0;
// Each step of the wheel or the keys zooms by this factor.
inline constexpr double kZoomStepFactor = 2.0;
inline constexpr float kPixelsPerLevel = 0.5F;
// Blank pixels after the last sample.
inline constexpr std::int32_t kContentMargin = 10;
// An arrow of the scroll bar moves the view by this many pixels.
inline constexpr std::int32_t kLineScrollPixels = 180;
inline constexpr std::int32_t kInitialViewOffset = 1;

// The x coordinate at which sample 0 is drawn; scrolling right makes it
// negative. Stays between the clip's lower bound and 1 after every scroll.
// The zoom factor runs from kClosestZoom to the whole clip in the view's
// width; the summary is of the clip last shown.
struct WaveformView {
  std::int32_t view_offset = kInitialViewOffset;
  double zoom = kClosestZoom;
  WaveformSummary summary;
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
double PixelsPerSample(double zoom);
std::int32_t SampleX(std::int32_t view_offset, std::uint32_t index, double zoom = kClosestZoom);
std::int32_t SampleY(std::uint8_t sample);
std::int32_t ContentWidth(std::uint32_t sample_count, double zoom = kClosestZoom);
std::int32_t LowerBound(std::uint32_t sample_count, std::uint32_t view_width,
                        double zoom = kClosestZoom);
// The view_offset that puts a shot at the view's left edge.
std::int32_t AlignedOffset(std::uint32_t position, double zoom = kClosestZoom);
// The zoom that fits the whole clip, margin included, in the view's width;
// never closer than kClosestZoom.
double FarthestZoom(std::uint32_t sample_count, std::uint32_t view_width);
// The samples the engine holds in memory.
std::span<const std::uint8_t> HeldSamples(const SoundEngine& engine);
// The lower bound first, then 1, so a clip narrower than the view sits at 1.
std::int32_t ClampViewOffset(std::int32_t view_offset, std::int32_t lower_bound);

// Clamps the zoom and view_offset to the clip and publishes the scroll bar; returns what
// was published.
ScrollInfo UpdateScrollBar(WaveformView& view, const SoundEngine& engine, DisplayWindow& display);
// Publishes the bar, repaints and reports the view as moved.
void ShowView(WaveformView& view, const SoundEngine& engine, DisplayWindow& display);
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

// Zooms by `steps` (in when positive) so that the sample under client pixel
// `anchor_x` stays there as far as the clip's ends allow, then repaints.
void ZoomView(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
              std::int32_t steps, std::int32_t anchor_x);

// Puts a shot at the left edge as Page Up and Down do and repaints; an index
// past the shot list changes nothing.
void ScrollToShot(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
                  std::uint32_t shot_index);

// The first counted shot whose bar lies in the view, if any.
// The first shot drawn at or right of client pixel x, or the shot count
// when none is.
std::uint32_t FirstShotFrom(const WaveformView& view, const SoundEngine& engine, std::int64_t x);

std::optional<std::uint32_t> ShotInView(const WaveformView& view, const SoundEngine& engine,
                                        const DisplayWindow& display);

// While a recording runs: the newest sound at the right edge, repainted,
// the view showing its last kLiveViewSeconds (all of it while shorter): a
// bar shows once the next shot is found, and today's scale holds less than
// a tenth of a second. The shot review keeps the last clip until STOP, so it
// is not told.
inline constexpr double kLiveViewSeconds = 2.0;
void FollowNewestSound(WaveformView& view, const SoundEngine& engine, DisplayWindow& display);

// After a new clip, wherever the previous one was left: the view opens at
// the clip's start at the closest zoom, or, when its first shot's bar and
// label are not whole there, with that shot at the left edge. Summarises the
// clip for drawing it zoomed out.
void ShowClip(WaveformView& view, const SoundEngine& engine, DisplayWindow& display);
