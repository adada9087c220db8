#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <map>

#include "display/display_widget_qt.h"
#include "display/display_window.h"
#include "display/waveform_painter_qt.h"
#include "display/waveform_picture.h"
#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

// The display, 595 × 180 as the dialog puts it, over a clip of `seconds` at
// 22050 Hz with counted shots at `shots`: flat at 20 (the trace at y 10) for
// the first 2400 samples, noise after.
struct Display {
  Display(std::uint32_t seconds, const std::vector<std::uint32_t>& shots)
      : engine(nullptr, nullptr) {
    engine.sample_rate = 22050;
    engine.sample_count = seconds * 22050;
    engine.clip_length = seconds;
    engine.samples.emplace(engine.sample_count);
    for (std::uint32_t i = 0; i < engine.sample_count; ++i) {
      (*engine.samples)[i] = i < 2400 ? 20 : static_cast<std::uint8_t>((i * 7919U) >> 3);
    }
    for (const std::uint32_t position : shots) {
      engine.shots.push_back(ShotRecord{position, static_cast<std::uint8_t>(engine.shots.size())});
    }
    engine.shot_list_count = static_cast<std::uint32_t>(shots.size());
    engine.number_of_shots = static_cast<std::int32_t>(shots.size());
    view.view_offset = -500;  // opening starts the view over
    OpenDisplay(display, CreateDisplayWidget(&parent, view, engine, display), view, engine);
    EXPECT_EQ(view.view_offset, 1);
    MoveDisplay(display, view, engine, {0, 200, 595, 180});
    parent.show();
    QCoreApplication::processEvents();
  }
  DisplayWidget* Widget() const { return parent.findChild<DisplayWidget*>(); }
  QImage Image() const { return Widget()->Canvas()->Image(); }
  QScrollBar* Bar() const { return Widget()->ScrollBar(); }
  WaveformPicture Picture(std::int32_t offset, PixelSpan span) const {
    WaveformView at_offset;
    at_offset.view_offset = offset;
    return Picture(at_offset, span);
  }
  WaveformPicture Picture(const WaveformView& shown, PixelSpan span) const {
    return BuildWaveformPicture(engine, shown, span, [this](const std::string& label) {
      return display.window->MeasureLabel(label);
    });
  }
  test::ScopedWorkDir dir;
  SoundEngine engine;
  WaveformView view;
  DisplayWindow display;
  QWidget parent;
};

TEST(DisplayQt, DrawsWithItsPensAndOnlyTheVisiblePartGivesTheSamePixels) {
  // 100 → 1570 is 15 BPS; 1570 → 2305 is exactly 30 BPS and gets no marker;
  // then 15 BPS over the noise.
  std::vector<std::uint32_t> shots{100, 1570, 2305};
  for (std::uint32_t p = 3000; p < 22050 * 3; p += 1470) {
    shots.push_back(p);
  }
  Display d(3, shots);
  const QImage image = d.Image();
  const QColor background(111, 111, 115), text(255, 50, 0);
  const int bar = SampleX(1, 100);
  EXPECT_EQ(image.pixelColor(bar + 2, 128), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(bar, 10), QColor(0, 255, 0));  // the trace over the bar
  for (const QPoint& empty : {QPoint(bar + 4, 60), QPoint(SampleX(1, 1570), 60), QPoint(300, 14),
                              QPoint(bar, kLabelTop - 3)}) {
    EXPECT_EQ(image.pixelColor(empty), background) << empty.x() << " " << empty.y();
  }
  int text_pixels = 0;
  for (int x = bar; x < bar + 150; ++x) {
    text_pixels += image.pixelColor(x, kLabelTop + 6) == text;
  }
  EXPECT_GT(text_pixels, 10);
  EXPECT_EQ(ShotLabel(255, 50.0F, 20.0F), "Shot:256 MS:50.000 BPS:20.000");
  const QFont font = d.Widget()->Canvas()->font();
  for (const std::int32_t offset : {1, -1234, -6000, -12000, LowerBound(66150, 595)}) {
    QImage visible(593, 161, QImage::Format_RGB32), full(593, 161, QImage::Format_RGB32);
    DrawWaveformPicture(visible, d.Picture(offset, {0, 592}), kDisplayBackground, font);
    DrawWaveformPicture(full, d.Picture(offset, {-3000000, 3000000}), kDisplayBackground, font);
    EXPECT_EQ(visible, full) << offset;
    EXPECT_TRUE(offset != 1 || visible == image);
  }
  // A new clip opens at its start, its first shot's bar and label whole there.
  ShowClip(d.view, d.engine, d.display);
  EXPECT_EQ(d.view.view_offset, 1);
  // While recording there is no picture to draw: the old one stays.
  d.engine.recording = true;
  QTest::keyClick(d.Widget(), Qt::Key_Right);
  EXPECT_EQ(d.Image(), image);
  // Scaled in single precision, truncated toward zero: 0.3 as a float is a
  // hair above 0.3, which far into a clip adds a pixel.
  EXPECT_EQ(SampleX(0, 8400003), 2520001);
}

// 29 BPS at 8000 Hz: a label is wider than three shots' spacing. Every bar
// stays at its shot and every label but a few where a block of the layout
// starts is drawn, the crowded ones stacked above the first row where none
// covers another, whatever part is built.
TEST(DisplayQt, CrowdedLabelsStackWithoutCovering) {
  std::vector<std::uint32_t> shots(600);
  std::generate(shots.begin(), shots.end(), [p = 100U - 276U]() mutable { return p += 276; });
  Display d(2, shots);
  d.engine.sample_rate = 8000;
  for (const std::int32_t offset : {1, -1000, -4101, -24770, -42000}) {
    const WaveformPicture picture = d.Picture(offset, {-3000000, 3000000});
    ASSERT_EQ(picture.markers.size(), shots.size() - 1);
    std::map<int, std::int64_t> row_ends;  // where each row's last label ends
    std::size_t left_out = 0;
    for (std::size_t k = 0; k < picture.markers.size(); ++k) {
      const ShotMarker& marker = picture.markers[k];
      EXPECT_EQ(marker.x, SampleX(offset, shots[k]));
      if (marker.label.empty()) {
        ++left_out;
        continue;
      }
      EXPECT_LT(row_ends.emplace(marker.row, marker.x - 1).first->second, marker.x) << k;
      row_ends[marker.row] = marker.x + d.display.window->MeasureLabel(marker.label);
    }
    EXPECT_LE(left_out, 6U);
    QImage visible(593, 161, QImage::Format_RGB32), full(593, 161, QImage::Format_RGB32);
    DrawWaveformPicture(visible, d.Picture(offset, {0, 592}), kDisplayBackground, QFont());
    DrawWaveformPicture(full, picture, kDisplayBackground, QFont());
    EXPECT_EQ(visible, full) << offset;
    // Text above the first row, where the stacked labels go.
    const QImage band = visible.copy(0, kLabelTop - 30, 593, 30);
    const auto* pixels = reinterpret_cast<const QRgb*>(band.constBits());
    EXPECT_GT(std::count(pixels, pixels + std::ptrdiff_t{593} * 30, qRgb(255, 50, 0)), 200)
        << offset;
  }
}

TEST(DisplayQt, ScrollRules) {
  // A shot at 2 (aligned offset 0, meaning none), 15 BPS from 2000, then
  // 40 BPS (6410 → 6961) and the last shot, which are no targets.
  Display d(2, {2, 2000, 3470, 4940, 6410, 6961});
  // An input and where it leaves the view: an action of the bar (-1), a key
  // (1), a wheel turned over the view (2) or the bar (3) by an angle, or
  // (0) the thumb dragged to a position and released (offset 0: where it was
  // released; past the end it stays at the end).
  using Row = std::tuple<int, int, std::int32_t>;
  // clang-format off
  const Row rows[] = {
      {-1, QScrollBar::SliderSingleStepSub, 1}, {1, Qt::Key_Right, -179},
      {-1, QScrollBar::SliderSingleStepAdd, -359}, {1, Qt::Key_Left, -179},
      {1, Qt::Key_PageDown, -600}, {-1, QScrollBar::SliderPageStepAdd, -1041},
      {1, Qt::Key_PageDown, -1482}, {1, Qt::Key_PageDown, -1482},
      {-1, QScrollBar::SliderPageStepSub, -1041}, {1, Qt::Key_PageUp, -600},
      {1, Qt::Key_PageUp, -600}, {0, 700, -700}, {0, 50000, LowerBound(44100, 595)},
      {1, Qt::Key_Home, 0}, {2, -120, -180}, {3, -120, -360}, {3, 60, -360}, {3, 60, -180},
      {1, Qt::Key_End, -1482}};
  // clang-format on
  ASSERT_TRUE(d.Bar()->isEnabled());
  EXPECT_EQ(d.Bar()->maximum(), ContentWidth(44100) - 595 + 1);
  for (const auto& [kind, value, offset] : rows) {
    if (kind < 0) {
      d.Bar()->triggerAction(static_cast<QScrollBar::SliderAction>(value));
    } else if (kind > 1) {
      QWheelEvent wheel({5, 5}, {5, 5}, {}, {0, value}, Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      QApplication::sendEvent(kind == 2 ? static_cast<QWidget*>(d.Widget()) : d.Bar(), &wheel);
    } else if (kind > 0) {
      QTest::keyClick(d.Widget(), static_cast<Qt::Key>(value));
    } else {
      const std::int32_t before = d.view.view_offset;
      d.Bar()->setSliderDown(true);
      d.Bar()->setSliderPosition(value);
      EXPECT_EQ(d.view.view_offset, before);  // not before the release
      d.Bar()->setSliderDown(false);
    }
    EXPECT_EQ(d.view.view_offset, offset) << value;
    EXPECT_EQ(d.Bar()->value(),
              kind == 0 ? std::min(value, d.Bar()->maximum()) : std::max(1, -offset))
        << value;
  }
  // A new size starts the view over.
  MoveDisplay(d.display, d.view, d.engine, {0, 300, 600, 180});
  EXPECT_EQ(d.view.view_offset, 1);
  // Everything fits: the bar stays, disabled, and the view at the start.
  Display narrow(0, {});
  EXPECT_FALSE(narrow.Bar()->isEnabled());
  EXPECT_TRUE(narrow.Bar()->isVisible());
  EXPECT_EQ(narrow.view.view_offset, 1);
}

// 10 BPS for 20 s, a block of the labels' layout. Zooming by the wheel with
// Ctrl or by a key keeps the sample under the
// pointer (the view's middle for a key with the pointer elsewhere) within a
// pixel and stops at both ends. Zoomed out, bars stay at their shots, the
// trace is a column a pixel without gaps and the visible part gives the same
// pixels; a shot scrolled to is the shot in view at every zoom.
TEST(DisplayQt, ZoomsAroundThePointer) {
  std::vector<std::uint32_t> shots;
  for (std::uint32_t p = 3000; p < 22050 * 20; p += 2205) {
    shots.push_back(p);
  }
  Display d(20, shots);
  ShowClip(d.view, d.engine, d.display);
  int moves = 0;
  d.display.view_moved = [&] { ++moves; };
  HandleScroll(d.view, d.engine, d.display, ScrollAction::LineRight);
  const double farthest = FarthestZoom(d.engine.sample_count, 595);
  // A wheel turned by an angle (0 for a key) at x, or a key with the pointer
  // at x (-1: off the drawing), and the zoom it leaves.
  using Row = std::tuple<int, int, int, double>;
  // clang-format off
  const Row rows[] = {{0, Qt::Key_Plus, 100, 1.0}, {-240, 0, 100, 4.0}, {-60, 0, 400, 4.0},
      {-60, 0, 400, 8.0}, {0, Qt::Key_Minus, -1, 16.0}, {-2400, 0, 300, farthest},
      {0, Qt::Key_Equal, 30, farthest / 2}, {360, 0, 590, farthest / 16}};
  // clang-format on
  for (const auto& [angle, key, x, zoom] : rows) {
    const int anchor = x < 0 ? d.Widget()->Canvas()->width() / 2 : x;
    const double sample = (anchor - d.view.view_offset) / PixelsPerSample(d.view.zoom);
    const int moves_before = moves;
    QCursor::setPos(d.Widget()->Canvas()->mapToGlobal(QPoint(x < 0 ? -50 : x, 40)));
    QWheelEvent wheel(QCursor::pos(), QCursor::pos(), {}, {0, angle}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    if (angle == 0) {
      QTest::keyClick(d.Widget(), static_cast<Qt::Key>(key));
    } else {
      QApplication::sendEvent(d.Widget(), &wheel);
    }
    EXPECT_DOUBLE_EQ(d.view.zoom, zoom) << angle << " " << key;
    EXPECT_EQ(moves, moves_before + (angle != -60 || zoom > 4.0));
    if (d.view.view_offset < 1 &&
        d.view.view_offset > LowerBound(d.engine.sample_count, 595, zoom)) {
      EXPECT_NEAR(SampleX(d.view.view_offset, static_cast<std::uint32_t>(sample), zoom), anchor,
                  1.0);
    }
    const WaveformPicture picture = d.Picture(d.view, {0, 592});
    for (const ShotMarker& marker : picture.markers) {
      EXPECT_TRUE(std::any_of(shots.begin(), shots.end(), [&](std::uint32_t shot) {
        return SampleX(d.view.view_offset, shot, zoom) == marker.x;
      }));
    }
    for (std::size_t c = 1; c < picture.trace.size() && zoom > 1.0; ++c) {
      const TraceSegment &left = picture.trace[c - 1], &right = picture.trace[c];
      EXPECT_TRUE(right.x0 == left.x0 + 1 && right.y0 <= left.y1 && left.y0 <= right.y1) << c;
    }
    QImage visible(593, 161, QImage::Format_RGB32), full(593, 161, QImage::Format_RGB32);
    DrawWaveformPicture(visible, picture, kDisplayBackground, QFont());
    DrawWaveformPicture(full, d.Picture(d.view, {-3000000, 3000000}), kDisplayBackground, QFont());
    EXPECT_EQ(visible, full) << zoom;
    EXPECT_EQ(d.Bar()->isEnabled(), zoom < farthest);
    for (const std::uint32_t shot : {0U, 7U, 150U}) {
      ScrollToShot(d.view, d.engine, d.display, shot);
      // Where the clip's end holds the view back, an earlier shot may be in view.
      const std::uint32_t in_view = ShotInView(d.view, d.engine, d.display).value();
      EXPECT_TRUE(in_view == shot ||
                  (in_view < shot && d.view.view_offset != AlignedOffset(shots[shot], zoom)));
    }
  }
}

}  // namespace
