#include "display/waveform_picture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "display/display_fakes.h"
#include "display/display_window.h"
#include "display/waveform_view.h"
#include "engine/sound_engine.h"

namespace {

// An analysed-looking clip: `sample_count` samples at 22050 Hz following a
// simple ramp, shots at the given positions, all counted.
struct DrawableClip {
  DrawableClip(std::uint32_t sample_count, std::vector<std::uint32_t> shot_positions)
      : engine(nullptr, nullptr) {
    engine.sample_rate = 22050;
    engine.sample_count = sample_count;
    engine.clip_length = sample_count / 22050;
    std::vector<std::uint8_t> samples(sample_count);
    for (std::uint32_t i = 0; i < sample_count; ++i) {
      samples[i] = static_cast<std::uint8_t>(i * 37U);
    }
    engine.samples = std::move(samples);
    for (const std::uint32_t position : shot_positions) {
      engine.shots.push_back(ShotRecord{position, static_cast<std::uint8_t>(engine.shots.size())});
    }
    engine.shot_list_count = static_cast<std::uint32_t>(engine.shots.size());
    engine.number_of_shots = static_cast<std::int32_t>(engine.shots.size());
  }
  SoundEngine engine;
};

TEST(HasPicture, NeedsTwoShotsAClipOfASecondAndNoRecording) {
  DrawableClip clip(22050, {100, 1570});
  EXPECT_TRUE(HasPicture(clip.engine));
  clip.engine.number_of_shots = 1;
  EXPECT_FALSE(HasPicture(clip.engine));
  clip.engine.number_of_shots = 2;
  clip.engine.recording = 1;
  EXPECT_FALSE(HasPicture(clip.engine));
  clip.engine.recording = 0;
  clip.engine.clip_length = 0;
  EXPECT_FALSE(HasPicture(clip.engine));
  clip.engine.clip_length = 1;
  clip.engine.samples.reset();
  EXPECT_FALSE(HasPicture(clip.engine));
}

TEST(ShotLabel, NumbersFromOneAndWrapsAfter256) {
  EXPECT_EQ(ShotLabel(0, 1000.0F / 15.0F, 15.0F), "Shot:1 MS:66.667 BPS:15.000");
  EXPECT_EQ(ShotLabel(255, 50.0F, 20.0F), "Shot:256 MS:50.000 BPS:20.000");
  // The longest possible figures still fit the 50-character buffer whole or
  // cut, never overflow.
  const std::string longest = ShotLabel(255, 4.294967e12F, 1e-9F);
  EXPECT_LT(longest.size(), kLabelBufferSize);
  EXPECT_EQ(longest.rfind("Shot:256 MS:", 0), 0U);
}

TEST(BuildWaveformPicture, MarksOnlyShotsWithARateBelowThirty) {
  // 15 BPS, then 30 BPS exactly (735 samples), then 15 BPS; the last shot
  // has no next and gets nothing.
  DrawableClip clip(22050 * 2, {1000, 2470, 3205, 4675});
  const WaveformPicture picture = BuildWaveformPicture(clip.engine, 1, {0, 1999});
  ASSERT_EQ(picture.markers.size(), 2U);
  EXPECT_EQ(picture.markers[0].x, 301);
  EXPECT_EQ(picture.markers[0].label, "Shot:1 MS:66.667 BPS:15.000");
  EXPECT_EQ(picture.markers[1].x, 1 + 961);
  EXPECT_EQ(picture.markers[1].label, "Shot:3 MS:66.667 BPS:15.000");
}

TEST(BuildWaveformPicture, TraceJoinsNeighbouringSamplesAtTheFixedScales) {
  DrawableClip clip(22050, {100, 1570});
  const WaveformPicture picture = BuildWaveformPicture(clip.engine, -30, {0, 594});
  ASSERT_FALSE(picture.trace.empty());
  for (const TraceSegment& segment : picture.trace) {
    EXPECT_GE(segment.x1, -kTracePenWidth);
    EXPECT_LE(segment.x0, 594 + kTracePenWidth);
  }
  // Sample 97 lies at -30 + 29.1 = -0.9, which truncates to 0: it is the
  // first to start at x 0, at the height of its value 97 × 37 mod 256 = 5.
  const auto at_zero = std::find_if(picture.trace.begin(), picture.trace.end(),
                                    [](const TraceSegment& s) { return s.x0 == 0; });
  ASSERT_NE(at_zero, picture.trace.end());
  EXPECT_EQ(at_zero->y0, 2);
  EXPECT_EQ(at_zero->y1, SampleY(static_cast<std::uint8_t>(98 * 37)));
}

TEST(BuildWaveformPicture, DrawsWhatAFullDrawingShowsInTheSpanWhateverTheClipLength) {
  std::vector<std::uint32_t> shots;
  for (std::uint32_t p = 500; p < 22050 * 4; p += 1470) {
    shots.push_back(p);
  }
  DrawableClip clip(22050 * 4, shots);
  const std::int32_t offset = -7777;
  const PixelSpan view{0, 594};
  const WaveformPicture visible = BuildWaveformPicture(clip.engine, offset, view);
  const WaveformPicture everything = BuildWaveformPicture(clip.engine, offset, {-2000000, 2000000});
  ASSERT_EQ(everything.trace.size(), 22050U * 4 - 1);

  // Every segment and marker of the full drawing that can touch the view is
  // in the visible one, in the same order.
  std::vector<TraceSegment> touching;
  for (const TraceSegment& s : everything.trace) {
    if (s.x1 >= view.left - kTracePenWidth && s.x0 <= view.right + kTracePenWidth) {
      touching.push_back(s);
    }
  }
  ASSERT_EQ(visible.trace.size(), touching.size());
  for (std::size_t i = 0; i < touching.size(); ++i) {
    EXPECT_EQ(visible.trace[i].x0, touching[i].x0);
    EXPECT_EQ(visible.trace[i].y1, touching[i].y1);
  }
  std::size_t touching_markers = 0;
  for (const ShotMarker& m : everything.markers) {
    touching_markers += (m.x >= view.left - kLabelReach && m.x <= view.right + kMarkerPenWidth);
  }
  EXPECT_EQ(visible.markers.size(), touching_markers);

  // A clip a hundred times longer draws no more.
  DrawableClip long_clip(22050 * 400, shots);
  const WaveformPicture long_visible = BuildWaveformPicture(long_clip.engine, offset, view);
  EXPECT_LE(long_visible.trace.size(), visible.trace.size() + 2);
}

TEST(PaintWaveform, PresentsOnlyWhenThereIsSomethingToDraw) {
  DrawableClip clip(22050, {100, 1570});
  DisplayWindow display;
  auto owned = std::make_unique<test::FakeDisplaySurface>();
  test::FakeDisplaySurface& surface = *owned;
  display.window = std::move(owned);
  WaveformView view;

  clip.engine.recording = 1;
  PaintWaveform(view, clip.engine, display);
  EXPECT_TRUE(surface.presented.empty());
  clip.engine.recording = 0;
  PaintWaveform(view, clip.engine, display);
  ASSERT_EQ(surface.presented.size(), 1U);
  EXPECT_EQ(surface.presented[0].markers.size(), 1U);
  // Samples are drawn up to the client width and not far beyond it.
  EXPECT_LE(surface.presented[0].trace.back().x0, surface.client_width + kTracePenWidth);
}

}  // namespace
