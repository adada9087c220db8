#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SoundEngine;
struct DisplayWindow;
struct WaveformView;

// Where the parts of the picture go, in client pixels.
inline constexpr std::int32_t kLabelTop = 140;
inline constexpr std::int32_t kMarkerTop = 0;
inline constexpr std::int32_t kMarkerBottom = 130;
// Furthest a label reaches right of its marker: 50 characters, each
// narrower than 14 pixels.
inline constexpr std::int32_t kLabelReach = 700;
inline constexpr std::size_t kLabelBufferSize = 50;

struct TraceSegment {
  std::int32_t x0 = 0;
  std::int32_t y0 = 0;
  std::int32_t x1 = 0;
  std::int32_t y1 = 0;
};

// A shot's label (top-left at x, kLabelTop) and its bar from kMarkerTop to
// kMarkerBottom at x.
struct ShotMarker {
  std::int32_t x = 0;
  std::string label;
};

// What one paint draws, in drawing order: each marker's label then its bar,
// then the trace on top.
struct WaveformPicture {
  std::vector<ShotMarker> markers;
  std::vector<TraceSegment> trace;
};

// Pixel columns left..right (inclusive) that a picture must cover.
struct PixelSpan {
  std::int32_t left = 0;
  std::int32_t right = 0;
};

// True when the view has something to draw: two or more counted shots, a
// clip of a second or more, and no recording.
bool HasPicture(const SoundEngine& engine);

// "Shot:%d MS:%.3f BPS:%.3f" with the 8-bit number plus 1.
std::string ShotLabel(std::uint8_t number, float interval_ms, float rate_bps);

// The markers and trace segments that reach into `span` (wider pens and
// labels included); the rest would be clipped anyway, so the cost follows
// the span, not the clip.
WaveformPicture BuildWaveformPicture(const SoundEngine& engine, std::int32_t view_offset,
                                     PixelSpan span);

// Draws the clip into the display window; leaves the old picture when there
// is nothing to draw.
void PaintWaveform(const WaveformView& view, const SoundEngine& engine, DisplayWindow& display);
