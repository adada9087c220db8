#include <gtest/gtest.h>

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <algorithm>

#include "display/display_fakes.h"
#include "display/display_procedure.h"
#include "display/display_widget_qt.h"
#include "display/display_window.h"
#include "display/waveform_painter_qt.h"
#include "display/waveform_picture.h"
#include "display/waveform_view.h"
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
    test::FillClip(engine, sample_count, shots, [](std::uint32_t) { return std::uint8_t{20}; });
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
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
    }
  }
  ~DisplayHarness() { Destroy(display); }

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
  DisplayHarness harness(1000, {});
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
  // A clip narrower than the view: the bar stays, disabled, at the start.
  UpdateScrollBar(harness.view, harness.engine, harness.display);
  EXPECT_FALSE(widget->ScrollBar()->isEnabled());
  EXPECT_TRUE(widget->ScrollBar()->isVisible());
  EXPECT_EQ(harness.view.view_offset, 1);
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

TEST(DisplayQt, ScrollBarArrowsTrackClicksAndKeysMoveTheView) {
  struct Step {
    QStyle::SubControl part;
    Qt::Key key;
    std::int32_t offset;
  };
  const Step steps[] = {{QStyle::SC_ScrollBarSubLine, Qt::Key_Left, 1},  // already at the start
                        {QStyle::SC_ScrollBarAddLine, Qt::Key_Right, -179},
                        // the track right of the thumb: the next shot below 30 BPS
                        {QStyle::SC_ScrollBarAddPage, Qt::Key_PageDown, -600},
                        {QStyle::SC_ScrollBarAddPage, Qt::Key_PageDown, -1041},
                        {QStyle::SC_ScrollBarAddPage, Qt::Key_PageDown, -1482},
                        {QStyle::SC_ScrollBarAddPage, Qt::Key_PageDown, -1482},
                        {QStyle::SC_ScrollBarSubPage, Qt::Key_PageUp, -1041}};
  for (const bool by_key : {false, true}) {
    // 15 BPS from sample 2000, then 40 BPS (6410 → 6961) and the last shot: no targets.
    DisplayHarness harness(22050 * 2, {2000, 3470, 4940, 6410, 6961});
    UpdateScrollBar(harness.view, harness.engine, harness.display);
    QScrollBar* bar = harness.Bar();
    ASSERT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), ContentWidth(44100) - 595 + 1);
    EXPECT_EQ(bar->pageStep(), 595);
    for (const Step& s : steps) {
      if (by_key) {
        QTest::keyClick(harness.Widget(), s.key);
      } else {
        QTest::mouseClick(bar, Qt::LeftButton, {}, harness.BarPoint(s.part));
      }
      EXPECT_EQ(harness.view.view_offset, s.offset) << by_key << " " << s.part;
      EXPECT_EQ(bar->value(), std::max(1, -s.offset)) << by_key << " " << s.part;
    }
  }
}

TEST(DisplayQt, TheDraggedThumbMovesTheViewWhenReleasedAndClamps) {
  DisplayHarness harness(22050 * 2, {});
  UpdateScrollBar(harness.view, harness.engine, harness.display);
  QScrollBar* bar = harness.Bar();
  const QPoint thumb = harness.BarPoint(QStyle::SC_ScrollBarSlider);
  QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
  QTest::mouseMove(bar, thumb + QPoint(100, 0));
  EXPECT_EQ(harness.view.view_offset, 1);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(100, 0));
  EXPECT_LT(harness.view.view_offset, 1);
  EXPECT_EQ(harness.view.view_offset, -bar->value());
  // Dragged to the far end: the bar stays there, the view stops at its bound.
  const QPoint moved = harness.BarPoint(QStyle::SC_ScrollBarSlider);
  QTest::mousePress(bar, Qt::LeftButton, {}, moved);
  QTest::mouseMove(bar, moved + QPoint(2000, 0));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, moved + QPoint(2000, 0));
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(harness.view.view_offset, LowerBound(44100, 595));
}

}  // namespace
