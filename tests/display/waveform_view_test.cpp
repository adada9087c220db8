#include "display/waveform_view.h"

#include <gtest/gtest.h>

#include "display/display_fakes.h"
#include "display/display_window.h"

namespace {

// A view 595 pixels wide over a clip of `sample_count` samples at 22050 Hz
// with shots at the given positions.
struct ViewFixture {
  explicit ViewFixture(std::uint32_t sample_count, std::vector<std::uint32_t> shot_positions = {})
      : engine(nullptr, nullptr) {
    test::FillClip(engine, sample_count, shot_positions,
                   [](std::uint32_t) { return std::uint8_t{128}; });
    display.width = 595;
    auto owned = std::make_unique<test::FakeDisplaySurface>();
    surface = owned.get();
    display.window = std::move(owned);
  }

  SoundEngine engine;
  DisplayWindow display;
  WaveformView view;
  test::FakeDisplaySurface* surface = nullptr;
};

TEST(WaveformScale, UsesTheSinglePrecisionScaleAndTruncatesTowardZero) {
  EXPECT_EQ(SampleX(0, 1000), 300);
  // 0.3 as a 32-bit float is a hair above 0.3: far into a clip that carries
  // a sample into the next pixel.
  EXPECT_EQ(SampleX(0, 8400003), 2520001);
  EXPECT_EQ(SampleX(0, 10000003), 3000001);
  // Toward zero, not down: -0.7 is 0 and -97.9 is -97.
  EXPECT_EQ(SampleX(-1, 1), 0);
  EXPECT_EQ(SampleX(-100, 7), -97);
  EXPECT_EQ(SampleY(128), 64);
  EXPECT_EQ(SampleY(255), 127);
  EXPECT_EQ(AlignedOffset(1000), -300);
  EXPECT_EQ(AlignedOffset(3), 0);
}

TEST(WaveformScale, WorkedExamplesOfTheScrollRange) {
  EXPECT_EQ(ContentWidth(22050), 6625);
  EXPECT_EQ(LowerBound(22050, 595), -6030);
  EXPECT_EQ(LowerBound(1000, 595), 284);
  EXPECT_EQ(ContentWidth(0), 10);
  // The largest clip still gives numbers in range.
  EXPECT_GT(LowerBound(0xFFFFFFFFU, 595), -1300000000);
  EXPECT_LT(LowerBound(0xFFFFFFFFU, 595), -1200000000);
}

TEST(UpdateScrollBar, PublishesRangePageAndPositionAndClampsTheView) {
  ViewFixture fixture(22050);
  fixture.view.view_offset = -100;
  UpdateScrollBar(fixture.view, fixture.engine, fixture.display);
  const ScrollInfo info = fixture.surface->scroll;
  EXPECT_EQ(info.min, 1);
  EXPECT_EQ(info.max, 6625);
  EXPECT_EQ(info.page, 595U);
  EXPECT_EQ(info.position, 100);
  EXPECT_EQ(fixture.view.view_offset, -100);
  fixture.view.view_offset = -7000;  // beyond the end
  UpdateScrollBar(fixture.view, fixture.engine, fixture.display);
  EXPECT_EQ(fixture.view.view_offset, -6030);
  EXPECT_EQ(fixture.surface->scroll.position, 6030);

  ViewFixture narrow(1000);  // its lower bound, 284, lies above the start
  for (const std::int32_t start : {-5000, 284}) {
    narrow.view.view_offset = start;
    UpdateScrollBar(narrow.view, narrow.engine, narrow.display);
    EXPECT_EQ(narrow.view.view_offset, 1) << start;
  }
}

TEST(JumpToShot, ShotsAtTheStartAndAtOnePositionAreNoTargets) {
  // A shot at 0..3 has the aligned offset 0, which means "none found".
  ViewFixture fixture(22050 * 2, {2, 1472, 1472, 2942});
  fixture.view.view_offset = -100;
  JumpToShot(fixture.view, fixture.engine, JumpDirection::Previous);
  EXPECT_EQ(fixture.view.view_offset, -100);
  // 1472 → 1472 has no finite rate; 1472 → 2942 is the only other target.
  JumpToShot(fixture.view, fixture.engine, JumpDirection::Next);
  EXPECT_EQ(fixture.view.view_offset, -441);
}

}  // namespace
