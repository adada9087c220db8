#pragma once

#include <cstdint>
#include <functional>
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
// Labels closer than their width stack in rows, the first at kLabelTop and
// each further one above it (below there is no room); a label finding no
// free row is left out, its bar drawn alone.
inline constexpr std::uint8_t kLabelRows = 3;
// Pixels kept between labels of a row, so that none ever touches the next
// once truncation has moved it by one.
inline constexpr std::int32_t kLabelGap = 1;

struct TraceSegment {
  std::int32_t x0 = 0;
  std::int32_t y0 = 0;
  std::int32_t x1 = 0;
  std::int32_t y1 = 0;
};

// A shot's bar from kMarkerTop to kMarkerBottom at x and its label, left
// edge at x, in a row counted upwards from kLabelTop; no label when empty.
struct ShotMarker {
  std::int32_t x = 0;
  std::string label;
  std::uint8_t row = 0;
};

// Width in pixels of a label as drawn.
using LabelMeasure = std::function<std::int32_t(const std::string& label)>;

// What one paint draws, in drawing order: the bars, the trace, then the
// labels, which lie below both unless stacked.
struct WaveformPicture {
  std::vector<ShotMarker> markers;
  std::vector<TraceSegment> trace;
};

// Pixel columns left..right (inclusive) that a picture must cover.
struct PixelSpan {
  std::int32_t left = 0;
  std::int32_t right = 0;
};

// "Shot:%d MS:%.3f BPS:%.3f" with the 8-bit number plus 1.
std::string ShotLabel(std::uint8_t number, float interval_ms, float rate_bps);

// The markers and trace segments that reach into `span` (wider pens and
// labels included); the rest would be clipped anyway, so the cost follows
// the span, not the clip (and the labels crowding it). Rows are decided in
// the clip's own pixels, so neither the span nor scrolling changes them.
// Zoomed out, the trace is a line a pixel column, from its lowest sample to
// its highest, taken from the view's summary.
WaveformPicture BuildWaveformPicture(const SoundEngine& engine, const WaveformView& view,
                                     PixelSpan span, const LabelMeasure& measure);
// The same at the closest zoom.
WaveformPicture BuildWaveformPicture(const SoundEngine& engine, std::int32_t view_offset,
                                     PixelSpan span, const LabelMeasure& measure);

// True when, with the view at the clip's start, the first counted shot's bar
// and label lie whole in the window.
bool FirstShotWholeAtStart(const SoundEngine& engine, const DisplayWindow& display);

// Draws the clip held, so that the picture always shows what the figures
// describe: the trace with a bar and label at each counted shot, or nothing
// at all when there is no clip. A running recording shows its running
// analysis instead.
void PaintWaveform(const WaveformView& view, const SoundEngine& engine, DisplayWindow& display);
