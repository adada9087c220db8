#include "display/waveform_view.h"

#include <gtest/gtest.h>

#include "display/display_fakes.h"
#include "display/display_window.h"
#include "engine/sound_engine.h"

namespace {

// A view 595 pixels wide over a clip of `sample_count` samples at 22050 Hz
// with shots at the given positions.
struct ViewFixture {
  explicit ViewFixture(std::uint32_t sample_count, std::vector<std::uint32_t> shot_positions = {},
                       std::int32_t view_width = 595)
      : engine(nullptr, nullptr) {
    engine.sample_rate = 22050;
    engine.sample_count = sample_count;
    engine.samples.emplace(sample_count, std::uint8_t{128});
    for (const std::uint32_t position : shot_positions) {
      engine.shots.push_back(ShotRecord{position, static_cast<std::uint8_t>(engine.shots.size())});
    }
    engine.shot_list_count = static_cast<std::uint32_t>(engine.shots.size());
    display.width = view_width;
    auto owned = std::make_unique<test::FakeDisplaySurface>();
    surface = owned.get();
    display.window = std::move(owned);
  }
  void Scroll(ScrollCode code) { HandleScroll(view, engine, display, code); }

  SoundEngine engine;
  DisplayWindow display;
  WaveformView view;
  test::FakeDisplaySurface* surface = nullptr;
};

TEST(WaveformScale, UsesTheSinglePrecisionScaleAndTruncatesTowardZero) {
  EXPECT_EQ(SampleX(0, 1000), 300);
  EXPECT_EQ(SampleX(-300, 1000), 0);
  // 0.3 as a 32-bit float is a hair above 0.3: far into a clip that carries
  // a sample into the next pixel.
  EXPECT_EQ(SampleX(0, 8400003), 2520001);
  EXPECT_EQ(SampleX(0, 10000003), 3000001);
  // Toward zero, not down: -0.7 is 0 and -96.9 is -96.
  EXPECT_EQ(SampleX(-1, 1), 0);
  EXPECT_EQ(SampleX(-100, 7), -97);
  EXPECT_EQ(SampleY(0), 0);
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

TEST(UpdateScrollBar, PublishesRangePageAndPositionOfAOneSecondClip) {
  ViewFixture fixture(22050);
  fixture.view.view_offset = -100;
  const ScrollInfo info = UpdateScrollBar(fixture.view, fixture.engine, fixture.display);
  EXPECT_EQ(info.min, 1);
  EXPECT_EQ(info.max, 6625);
  EXPECT_EQ(info.page, 595U);
  EXPECT_EQ(info.position, 100);
  EXPECT_EQ(fixture.surface->scroll.max, 6625);
  EXPECT_EQ(fixture.view.view_offset, -100);

  fixture.view.view_offset = -7000;
  UpdateScrollBar(fixture.view, fixture.engine, fixture.display);
  EXPECT_EQ(fixture.view.view_offset, -6030);
  fixture.view.view_offset = 50;
  UpdateScrollBar(fixture.view, fixture.engine, fixture.display);
  EXPECT_EQ(fixture.view.view_offset, 1);
  EXPECT_EQ(fixture.surface->scroll.position, -1);
}

TEST(UpdateScrollBar, AClipNarrowerThanTheViewAlwaysSitsAtOne) {
  ViewFixture fixture(1000);
  for (const std::int32_t start : {-5000, 0, 1, 200, 284, 285}) {
    fixture.view.view_offset = start;
    const ScrollInfo info = UpdateScrollBar(fixture.view, fixture.engine, fixture.display);
    EXPECT_EQ(fixture.view.view_offset, 1) << start;
    // The whole range fits in one page.
    EXPECT_LE(info.max - info.min + 1, static_cast<std::int32_t>(info.page));
  }
}

TEST(HandleScroll, ArrowsMoveByALineAndStopAtBothEnds) {
  ViewFixture fixture(22050);
  fixture.Scroll(ScrollCode::LineLeft);
  EXPECT_EQ(fixture.view.view_offset, 1);
  fixture.Scroll(ScrollCode::LineRight);
  EXPECT_EQ(fixture.view.view_offset, -179);
  fixture.Scroll(ScrollCode::LineRight);
  EXPECT_EQ(fixture.view.view_offset, -359);
  fixture.Scroll(ScrollCode::LineLeft);
  EXPECT_EQ(fixture.view.view_offset, -179);
  for (int i = 0; i < 40; ++i) {
    fixture.Scroll(ScrollCode::LineRight);
  }
  EXPECT_EQ(fixture.view.view_offset, -6030);
  EXPECT_EQ(fixture.surface->scroll.position, 6030);
}

TEST(HandleScroll, TrackClicksJumpFromShotToShot) {
  // Shots at 15 BPS from sample 2000, then one closing a 40 BPS interval.
  ViewFixture fixture(22050 * 2, {2000, 3470, 4940, 6410, 6961});
  fixture.Scroll(ScrollCode::PageRight);
  EXPECT_EQ(fixture.view.view_offset, -600);  // shot at 2000 at the left edge
  fixture.Scroll(ScrollCode::PageRight);
  EXPECT_EQ(fixture.view.view_offset, -1041);
  fixture.Scroll(ScrollCode::PageRight);
  EXPECT_EQ(fixture.view.view_offset, -1482);
  // 6410 → 6961 is 40 BPS, and the last shot has no rate: nowhere further.
  fixture.Scroll(ScrollCode::PageRight);
  EXPECT_EQ(fixture.view.view_offset, -1482);
  fixture.Scroll(ScrollCode::PageLeft);
  EXPECT_EQ(fixture.view.view_offset, -1041);
  fixture.Scroll(ScrollCode::PageLeft);
  fixture.Scroll(ScrollCode::PageLeft);
  EXPECT_EQ(fixture.view.view_offset, -600);
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

TEST(ScrollToThumb, TakesTheReleasedPositionAndClampsOnlyTheView) {
  ViewFixture fixture(22050);
  fixture.surface->track_position = 2500;
  fixture.Scroll(ScrollCode::ThumbPosition);
  EXPECT_EQ(fixture.view.view_offset, -2500);
  EXPECT_EQ(fixture.surface->scroll.position, 2500);

  fixture.surface->track_position = 6031;  // the last position the bar allows
  const int updates = fixture.surface->scroll_updates;
  fixture.Scroll(ScrollCode::ThumbPosition);
  EXPECT_EQ(fixture.view.view_offset, -6030);
  EXPECT_EQ(fixture.surface->scroll.position, 6031);
  EXPECT_EQ(fixture.surface->scroll_updates, updates);

  // Dragging, the ends and the end of a scroll change nothing.
  fixture.surface->track_position = 10;
  for (const ScrollCode code :
       {ScrollCode::ThumbTrack, ScrollCode::Left, ScrollCode::Right, ScrollCode::EndScroll}) {
    fixture.Scroll(code);
  }
  EXPECT_EQ(fixture.view.view_offset, -6030);
}

}  // namespace
