#include "display/waveform_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <span>
#include <utility>

#include "display/display_colours.h"
#include "display/display_window.h"
#include "display/waveform_view.h"
#include "engine/recording.h"
#include "engine/shot_intervals.h"
#include "engine/sound_engine.h"

namespace {

// Extra pixels searched on each side of the span: truncation toward zero
// puts a sample up to a pixel inward, and the estimate must never lose one.
constexpr std::int64_t kSlackPixels = 2;

// Index of the first sample at or right of pixel `x`, as a double estimate.
double SampleAt(std::int32_t view_offset, std::int64_t x, double zoom) {
  return (static_cast<double>(x) - static_cast<double>(view_offset)) / PixelsPerSample(zoom);
}

// At the closest zoom: a line from each sample to the next.
void AddSampleLines(const SoundEngine& engine, std::int32_t view_offset, PixelSpan span,
                    WaveformPicture& picture) {
  const std::uint32_t count = HeldSampleCount(engine);
  const std::int64_t left = static_cast<std::int64_t>(span.left) - kTracePenWidth;
  const std::int64_t right = static_cast<std::int64_t>(span.right) + kTracePenWidth;
  const double last_start = static_cast<double>(count - 2);
  const double first = std::clamp(
      std::floor(SampleAt(view_offset, left - kSlackPixels, kClosestZoom)) - 1.0, 0.0, last_start);
  const double last = std::clamp(
      std::ceil(SampleAt(view_offset, right + kSlackPixels, kClosestZoom)), 0.0, last_start);
  for (auto q = static_cast<std::uint32_t>(first); q <= static_cast<std::uint32_t>(last); ++q) {
    const TraceSegment segment{SampleX(view_offset, q), SampleY(engine.GetSample(q)),
                               SampleX(view_offset, q + 1), SampleY(engine.GetSample(q + 1))};
    if (segment.x1 >= left && segment.x0 <= right) {
      picture.trace.push_back(segment);
    }
  }
}

// The first sample drawn at or right of column x (count when none is).
// Truncation toward zero widens column 0 to (-1, 1), so left of 1 a column
// starts a pixel further left.
std::uint32_t FirstSampleOfColumn(const WaveformView& view, std::int64_t x, std::uint32_t count) {
  const std::int64_t edge = x < 1 ? x - 1 : x;
  auto index = static_cast<std::uint32_t>(std::clamp(
      std::ceil(SampleAt(view.view_offset, edge, view.zoom)), 0.0, static_cast<double>(count)));
  while (index > 0 && SampleX(view.view_offset, index - 1, view.zoom) >= x) {
    --index;
  }
  while (index < count && SampleX(view.view_offset, index, view.zoom) < x) {
    ++index;
  }
  return index;
}

// Zoomed out: a line over each column from its lowest sample to its highest,
// the next column's first sample included so that the trace has no gaps.
void AddColumns(const SoundEngine& engine, const WaveformView& view, PixelSpan span,
                WaveformPicture& picture) {
  const std::span<const std::uint8_t> samples = HeldSamples(engine);
  const auto count = static_cast<std::uint32_t>(samples.size());
  const std::int64_t left =
      std::max<std::int64_t>(static_cast<std::int64_t>(span.left) - kTracePenWidth,
                             SampleX(view.view_offset, 0, view.zoom));
  const std::int64_t right =
      std::min<std::int64_t>(static_cast<std::int64_t>(span.right) + kTracePenWidth,
                             SampleX(view.view_offset, count - 1, view.zoom));
  std::uint32_t first = FirstSampleOfColumn(view, left, count);
  for (std::int64_t x = left; x <= right; ++x) {
    const std::uint32_t next = FirstSampleOfColumn(view, x + 1, count);
    if (first < next) {
      const SampleRange range = MinMaxOver(view.summary, samples, first, std::min(next, count - 1));
      const auto column = static_cast<std::int32_t>(x);
      picture.trace.push_back({column, SampleY(range.low), column, SampleY(range.high)});
    }
    first = next;
  }
}

void AddTrace(const SoundEngine& engine, const WaveformView& view, PixelSpan span,
              WaveformPicture& picture) {
  if (HeldSampleCount(engine) < 2) {
    return;
  }
  if (view.zoom > kClosestZoom) {
    AddColumns(engine, view, span, picture);
  } else {
    AddSampleLines(engine, view.view_offset, span, picture);
  }
}

// Where a shot lies with the view at 0: labels are laid out there.
std::int64_t ClipX(const SoundEngine& engine, std::uint32_t k, double zoom) {
  return SampleX(0, engine.GetShot(k).position, zoom);
}

std::string LabelAfter(const SoundEngine& engine, std::uint32_t k, const ShotInterval& interval) {
  return ShotLabel(engine.GetShot(k).number, interval.interval_ms, interval.rate_bps);
}

// Where the layout of labels starts for a view from shot `from` on: the
// last shot at or before it that no earlier label reaches (its rows as free
// as at the clip's start), or, in a crowded run, the start of its block of
// kLayoutBlockShots with every row taken as far as an earlier label reaches.
// Either is the same for every view in the block, so labels keep their rows
// while scrolling, and a long run costs a block's layout at most.
struct LayoutStart {
  std::uint32_t shot = 0;
  std::int64_t rows_taken_to = std::numeric_limits<std::int64_t>::min();
};

constexpr std::uint32_t kLayoutBlockShots = 256;

std::int64_t LabelEnd(const SoundEngine& engine, std::uint32_t k, double zoom,
                      const LabelMeasure& measure) {
  const ShotInterval interval = IntervalAfterShot(engine, k);
  return interval.accepted ? ClipX(engine, k, zoom) + measure(LabelAfter(engine, k, interval))
                           : std::numeric_limits<std::int64_t>::min();
}

LayoutStart FindLayoutStart(const SoundEngine& engine, std::uint32_t from, double zoom,
                            const LabelMeasure& measure) {
  const std::uint32_t block = from - from % kLayoutBlockShots;
  LayoutStart start{from};
  std::int64_t start_x = ClipX(engine, from, zoom);
  for (std::uint32_t k = from;
       k-- > 0 && ClipX(engine, k, zoom) + kLabelReach + kLabelGap > start_x;) {
    if (k < block) {
      start = {block};
      for (std::uint32_t j = block;
           j-- > 0 && ClipX(engine, j, zoom) + kLabelReach > start.rows_taken_to;) {
        start.rows_taken_to = std::max(start.rows_taken_to, LabelEnd(engine, j, zoom, measure));
      }
      return start;
    }
    if (LabelEnd(engine, k, zoom, measure) + kLabelGap > start_x) {
      start.shot = k;
      start_x = ClipX(engine, k, zoom);
    }
  }
  return start;
}

void AddMarkers(const SoundEngine& engine, const WaveformView& view, PixelSpan span,
                const LabelMeasure& measure, WaveformPicture& picture) {
  const std::uint32_t shot_count = engine.GetShotCount();
  if (shot_count < 2) {
    return;
  }
  const bool zoomed_out = view.zoom > kClosestZoom;
  const std::int64_t left = static_cast<std::int64_t>(span.left) - kLabelReach;
  const std::int64_t right = static_cast<std::int64_t>(span.right) + kMarkerPenWidth;
  const std::uint32_t low = std::min(FirstShotFrom(view, engine, left), shot_count - 1);
  // Where each row's last label ends; each label takes the lowest row free.
  const LayoutStart start = FindLayoutStart(engine, low, view.zoom, measure);
  std::array<std::int64_t, kLabelRows> row_ends{};
  row_ends.fill(start.rows_taken_to);
  for (std::uint32_t k = start.shot; k + 1 < shot_count; ++k) {
    const std::int32_t x = SampleX(view.view_offset, engine.GetShot(k).position, view.zoom);
    if (x > right) {
      break;
    }
    const ShotInterval interval = IntervalAfterShot(engine, k);
    if (!interval.accepted) {
      continue;
    }
    ShotMarker marker;
    marker.x = x;
    const std::int64_t label_left = ClipX(engine, k, view.zoom);
    const auto row = std::find_if(row_ends.begin(), row_ends.end(),
                                  [&](std::int64_t end) { return end <= label_left - kLabelGap; });
    // Only labels given a row are made and measured: zoomed out, most are not.
    if (row != row_ends.end()) {
      marker.label = LabelAfter(engine, k, interval);
      marker.row = static_cast<std::uint8_t>(row - row_ends.begin());
      *row = label_left + measure(marker.label);
    }
    // Zoomed out, shots on one column share a bar.
    const bool shares_bar = zoomed_out && marker.label.empty() && !picture.markers.empty() &&
                            picture.markers.back().x == x;
    if (k >= low && !shares_bar) {
      picture.markers.push_back(std::move(marker));
    }
  }
}

LabelMeasure MeasureIn(const DisplaySurface& window) {
  return [&window](const std::string& label) { return window.MeasureLabel(label); };
}

}  // namespace

std::string ShotLabel(std::uint8_t number, float interval_ms, float rate_bps) {
  std::array<char, kLabelBufferSize> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "Shot:%d MS:%.3f BPS:%.3f", number + 1,
                static_cast<double>(interval_ms), static_cast<double>(rate_bps));
  return buffer.data();
}

WaveformPicture BuildWaveformPicture(const SoundEngine& engine, const WaveformView& view,
                                     PixelSpan span, const LabelMeasure& measure) {
  WaveformPicture picture;
  AddMarkers(engine, view, span, measure, picture);
  AddTrace(engine, view, span, picture);
  return picture;
}

WaveformPicture BuildWaveformPicture(const SoundEngine& engine, std::int32_t view_offset,
                                     PixelSpan span, const LabelMeasure& measure) {
  WaveformView view;
  view.view_offset = view_offset;
  return BuildWaveformPicture(engine, view, span, measure);
}

bool FirstShotWholeAtStart(const SoundEngine& engine, const DisplayWindow& display) {
  if (!display.window) {
    return false;
  }
  const DisplaySurface& window = *display.window;
  const std::int32_t width = window.ClientWidth();
  const WaveformPicture picture =
      BuildWaveformPicture(engine, kInitialViewOffset, {0, width - 1}, MeasureIn(window));
  if (picture.markers.empty()) {
    return false;
  }
  const ShotMarker& first = picture.markers.front();
  return first.x >= kMarkerPenWidth / 2 && first.x + window.MeasureLabel(first.label) <= width;
}

void PaintWaveform(const WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  // A recording without running figures leaves the last clip's picture.
  const SoundEngine& shown = ShownAnalysis(engine);
  if (shown.IsRecording() || !display.window) {
    return;
  }
  DisplaySurface& window = *display.window;
  window.Present(
      BuildWaveformPicture(shown, view, {0, window.ClientWidth() - 1}, MeasureIn(window)));
}
