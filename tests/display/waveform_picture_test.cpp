#include "display/waveform_picture.h"

#include <gtest/gtest.h>

#include "display/display_fakes.h"

namespace {

std::uint8_t Ramp(std::uint32_t i) { return static_cast<std::uint8_t>(i * 37U); }

TEST(HasPicture, NeedsTwoShotsAClipOfASecondAndNoRecording) {
  struct Case {
    const char* what;
    std::function<void(SoundEngine&)> change;
    bool has_picture;
  };
  for (const Case& c : {Case{"as analysed", [](SoundEngine&) {}, true},
                        Case{"one shot", [](SoundEngine& e) { e.number_of_shots = 1; }, false},
                        Case{"recording", [](SoundEngine& e) { e.recording = 1; }, false},
                        Case{"under a second", [](SoundEngine& e) { e.clip_length = 0; }, false},
                        Case{"no samples", [](SoundEngine& e) { e.samples.reset(); }, false}}) {
    SoundEngine engine(nullptr, nullptr);
    test::FillClip(engine, 22050, {100, 1570}, Ramp);
    c.change(engine);
    EXPECT_EQ(HasPicture(engine), c.has_picture) << c.what;
  }
}

TEST(ShotLabel, NumbersFromOneAndWrapsAfter256) {
  EXPECT_EQ(ShotLabel(0, 1000.0F / 15.0F, 15.0F), "Shot:1 MS:66.667 BPS:15.000");
  EXPECT_EQ(ShotLabel(255, 50.0F, 20.0F), "Shot:256 MS:50.000 BPS:20.000");
  // The longest figures fit the 50-character buffer whole or cut, never overflow.
  const std::string longest = ShotLabel(255, 4.294967e12F, 1e-9F);
  EXPECT_LT(longest.size(), kLabelBufferSize);
  EXPECT_EQ(longest.rfind("Shot:256 MS:", 0), 0U);
}

TEST(BuildWaveformPicture, CostFollowsTheViewNotTheClipLength) {
  std::vector<std::uint32_t> shots;
  for (std::uint32_t p = 500; p < 22050 * 4; p += 1470) {
    shots.push_back(p);
  }
  SoundEngine clip(nullptr, nullptr);
  test::FillClip(clip, 22050 * 4, shots, Ramp);
  SoundEngine long_clip(nullptr, nullptr);
  test::FillClip(long_clip, 22050 * 400, shots, Ramp);
  const WaveformPicture visible = BuildWaveformPicture(clip, -7777, {0, 594});
  const WaveformPicture long_visible = BuildWaveformPicture(long_clip, -7777, {0, 594});
  EXPECT_LT(visible.trace.size(), 3000U);
  EXPECT_LE(long_visible.trace.size(), visible.trace.size() + 2);
  EXPECT_EQ(long_visible.markers.size(), visible.markers.size());
}

}  // namespace
