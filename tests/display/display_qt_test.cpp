#include <gtest/gtest.h>

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include "display/display_procedure.h"
#include "display/display_widget_qt.h"
#include "display/display_window.h"
#include "display/waveform_painter_qt.h"
#include "display/waveform_picture.h"
#include "display/waveform_view.h"
#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

const QColor kBackground(111, 111, 115);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kText(255, 50, 0);

class ParentWidget final : public QWidget, public ParentWindow {};

// The display widget under a parent, 595 × 180 as the dialog makes it, over
// an engine filled by hand: samples flat at 20 (the trace at y 10).
struct DisplayHarness {
  explicit DisplayHarness(std::uint32_t sample_count, std::vector<std::uint32_t> shots)
      : engine(nullptr, nullptr) {
    engine.sample_rate = 22050;
    engine.sample_count = sample_count;
    engine.clip_length = sample_count / 22050;
    engine.samples.emplace(sample_count, std::uint8_t{20});
    for (const std::uint32_t position : shots) {
      engine.shots.push_back(ShotRecord{position, static_cast<std::uint8_t>(engine.shots.size())});
    }
    engine.shot_list_count = static_cast<std::uint32_t>(engine.shots.size());
    engine.number_of_shots = static_cast<std::int32_t>(engine.shots.size());
    display.parent = &parent;
    parent.resize(620, 420);
    EXPECT_TRUE(Create(display, platform, notifier, [this](const DisplayMessage& message) {
      DisplayWindowProcedure(view, engine, display, message);
    }));
    display.y = 200;
    display.width = 595;
    display.height = 180;
    Move(display, true);
    parent.show();
    Settle();
  }
  ~DisplayHarness() { Destroy(display); }
  DisplayHarness(const DisplayHarness&) = delete;
  DisplayHarness& operator=(const DisplayHarness&) = delete;

  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
    }
  }
  DisplayWidget* Widget() const { return parent.findChild<DisplayWidget*>(); }
  QImage Image() const { return Widget()->Canvas()->Image(); }
  QScrollBar* Bar() const { return Widget()->ScrollBar(); }
  QPoint BarPoint(QStyle::SubControl part) const {
    QStyleOptionSlider option;
    option.initFrom(Bar());
    option.orientation = Qt::Horizontal;
    option.minimum = Bar()->minimum();
    option.maximum = Bar()->maximum();
    option.sliderPosition = Bar()->sliderPosition();
    option.sliderValue = Bar()->value();
    option.pageStep = Bar()->pageStep();
    option.singleStep = Bar()->singleStep();
    return Bar()->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, Bar()).center();
  }

  test::ScopedWorkDir dir;
  test::RecordingNotifier notifier;
  DisplayPlatformQt platform;
  SoundEngine engine;
  WaveformView view;
  ParentWidget parent;
  DisplayWindow display = ProgramDisplayWindow();
};

TEST(DisplayQt, IsABorderedChildWithItsClassTitleAndBackground) {
  DisplayHarness harness(22050, {});
  DisplayWidget* widget = harness.Widget();
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->objectName(), QStringLiteral("TAMBRIXDisplayClass"));
  EXPECT_EQ(widget->windowTitle(), QStringLiteral("TAMBRIX Display"));
  EXPECT_EQ(widget->geometry(), QRect(0, 200, 595, 180));
  // Inside the border: the drawing area over the scroll bar.
  EXPECT_EQ(widget->Canvas()->geometry().left(), 1);
  EXPECT_EQ(widget->Canvas()->width(), 593);
  EXPECT_EQ(widget->Canvas()->geometry().bottom() + 1, widget->ScrollBar()->geometry().top());
  EXPECT_EQ(widget->ScrollBar()->geometry().bottom(), 178);
  // Nothing to draw yet: all background.
  const QImage image = harness.Image();
  EXPECT_EQ(image.pixelColor(0, 0), kBackground);
  EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), kBackground);
}

TEST(DisplayQt, PaintsMarkersLabelsAndTheTraceWithTheirPens) {
  // 100 → 1570 is 15 BPS; 1570 → 2305 is exactly 30 BPS and gets no marker.
  DisplayHarness harness(22050 * 2, {100, 1570, 2305});
  PaintWaveform(harness.view, harness.engine, harness.display);
  const QImage image = harness.Image();
  const int marker = SampleX(1, 100);  // 31
  ASSERT_EQ(marker, 31);
  for (const int x : {marker - 2, marker, marker + 2}) {
    EXPECT_EQ(image.pixelColor(x, 60), kBlue) << x;
    EXPECT_EQ(image.pixelColor(x, 128), kBlue) << x;
  }
  EXPECT_EQ(image.pixelColor(marker + 4, 60), kBackground);
  EXPECT_EQ(image.pixelColor(marker, 135), kBackground);
  // No bar where the 30 BPS shot is.
  EXPECT_EQ(image.pixelColor(SampleX(1, 1570), 60), kBackground);
  // The trace at y = 20 × 0.5, drawn over the bar.
  EXPECT_EQ(image.pixelColor(300, 10), kGreen);
  EXPECT_EQ(image.pixelColor(marker, 10), kGreen);
  EXPECT_EQ(image.pixelColor(300, 14), kBackground);
  EXPECT_EQ(image.pixelColor(300, 5), kBackground);
  // The label: text in its colour on a green box from x 31, y 140.
  int text_pixels = 0;
  int box_pixels = 0;
  for (int y = kLabelTop; y < kLabelTop + 14; ++y) {
    for (int x = marker; x < marker + 150; ++x) {
      text_pixels += image.pixelColor(x, y) == kText;
      box_pixels += image.pixelColor(x, y) == kGreen;
    }
  }
  EXPECT_GT(text_pixels, 100);
  EXPECT_GT(box_pixels, 500);
  EXPECT_EQ(image.pixelColor(marker, kLabelTop - 3), kBackground);
  EXPECT_EQ(image.pixelColor(marker + 300, kLabelTop + 5), kBackground);
}

TEST(DisplayQt, KeepsItsPictureWhileThereIsNothingToDraw) {
  DisplayHarness harness(22050 * 2, {100, 1570, 3040});
  PaintWaveform(harness.view, harness.engine, harness.display);
  const QImage drawn = harness.Image();
  harness.engine.recording = 1;
  harness.Widget()->Canvas()->repaint();
  HandleScroll(harness.view, harness.engine, harness.display, ScrollCode::LineRight);
  EXPECT_EQ(harness.Image(), drawn);
  harness.engine.recording = 0;
  harness.Widget()->Canvas()->repaint();
  EXPECT_NE(harness.Image(), drawn);  // now drawn scrolled by a line
}

TEST(DisplayQt, DrawsTheSamePixelsAsAFullDrawing) {
  std::vector<std::uint32_t> shots;
  for (std::uint32_t p = 300; p < 22050 * 3; p += 1470) {
    shots.push_back(p);
  }
  DisplayHarness harness(22050 * 3, shots);
  for (std::uint32_t i = 0; i < harness.engine.sample_count; ++i) {
    (*harness.engine.samples)[i] = static_cast<std::uint8_t>((i * 7919U) >> 3);
  }
  const QFont font = harness.Widget()->Canvas()->font();
  for (const std::int32_t offset : {1, -1234, -6000}) {
    QImage visible(593, 161, QImage::Format_RGB32);
    QImage full(593, 161, QImage::Format_RGB32);
    DrawWaveformPicture(visible, BuildWaveformPicture(harness.engine, offset, {0, 592}),
                        kDisplayBackground, font);
    DrawWaveformPicture(full, BuildWaveformPicture(harness.engine, offset, {-3000000, 3000000}),
                        kDisplayBackground, font);
    EXPECT_EQ(visible, full) << offset;
  }
  // The reach kept for labels starting left of the view covers the widest.
  QFont label = font;
  label.setPixelSize(12);
  label.setBold(true);
  EXPECT_LT(QFontMetrics(label).horizontalAdvance(QString(kLabelBufferSize - 1, QChar('W'))),
            kLabelReach);
}

TEST(DisplayQt, ScrollBarArrowsTrackAndThumbMoveTheView) {
  DisplayHarness harness(22050 * 2, {2000, 3470, 4940, 6410});
  UpdateScrollBar(harness.view, harness.engine, harness.display);
  QScrollBar* bar = harness.Bar();
  ASSERT_TRUE(bar->isEnabled());
  EXPECT_EQ(bar->minimum(), 1);
  EXPECT_EQ(bar->maximum(), ContentWidth(44100) - 595 + 1);
  EXPECT_EQ(bar->pageStep(), 595);

  QTest::mouseClick(bar, Qt::LeftButton, {}, harness.BarPoint(QStyle::SC_ScrollBarAddLine));
  EXPECT_EQ(harness.view.view_offset, -179);
  EXPECT_EQ(bar->value(), 179);
  QTest::mouseClick(bar, Qt::LeftButton, {}, harness.BarPoint(QStyle::SC_ScrollBarSubLine));
  EXPECT_EQ(harness.view.view_offset, 1);
  EXPECT_EQ(bar->value(), 1);

  // A click in the track right of the thumb jumps to the next shot.
  QTest::mouseClick(bar, Qt::LeftButton, {}, harness.BarPoint(QStyle::SC_ScrollBarAddPage));
  EXPECT_EQ(harness.view.view_offset, -600);
  EXPECT_EQ(bar->value(), 600);
  QTest::mouseClick(bar, Qt::LeftButton, {}, harness.BarPoint(QStyle::SC_ScrollBarAddPage));
  EXPECT_EQ(harness.view.view_offset, -1041);
  QTest::mouseClick(bar, Qt::LeftButton, {}, harness.BarPoint(QStyle::SC_ScrollBarSubPage));
  EXPECT_EQ(harness.view.view_offset, -600);

  // The dragged thumb moves the view only when released.
  const QPoint thumb = harness.BarPoint(QStyle::SC_ScrollBarSlider);
  QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
  QTest::mouseMove(bar, thumb + QPoint(100, 0));
  EXPECT_EQ(harness.view.view_offset, -600);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(100, 0));
  EXPECT_LT(harness.view.view_offset, -600);
  EXPECT_EQ(harness.view.view_offset, -bar->value());
  // Dragged to the far end: the bar stays there, the view stops at its bound.
  const QPoint moved = harness.BarPoint(QStyle::SC_ScrollBarSlider);
  QTest::mousePress(bar, Qt::LeftButton, {}, moved);
  QTest::mouseMove(bar, moved + QPoint(2000, 0));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, moved + QPoint(2000, 0));
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(harness.view.view_offset, LowerBound(44100, 595));
}

TEST(DisplayQt, KeysScrollByALineAndJumpBetweenShots) {
  DisplayHarness harness(22050 * 2, {2000, 3470, 4940, 6410});
  DisplayWidget* widget = harness.Widget();
  QTest::keyClick(widget, Qt::Key_Right);
  EXPECT_EQ(harness.view.view_offset, -179);
  QTest::keyClick(widget, Qt::Key_Left);
  EXPECT_EQ(harness.view.view_offset, 1);
  QTest::keyClick(widget, Qt::Key_PageDown);
  QTest::keyClick(widget, Qt::Key_PageDown);
  EXPECT_EQ(harness.view.view_offset, -1041);
  QTest::keyClick(widget, Qt::Key_PageUp);
  EXPECT_EQ(harness.view.view_offset, -600);
  EXPECT_EQ(harness.Bar()->value(), 600);
}

TEST(DisplayQt, AClipNarrowerThanTheViewDisablesTheBar) {
  DisplayHarness harness(1000, {});
  UpdateScrollBar(harness.view, harness.engine, harness.display);
  EXPECT_FALSE(harness.Bar()->isEnabled());
  EXPECT_TRUE(harness.Bar()->isVisible());
  EXPECT_EQ(harness.view.view_offset, 1);
}

}  // namespace
