#include "engine/sound_engine.h"

#include <gtest/gtest.h>

#include "support/fake_audio_system.h"
#include "support/test_support.h"

namespace {

void ExpectEmpty(const SoundEngine& engine) {
  EXPECT_FALSE(engine.samples.has_value());
  EXPECT_EQ(engine.GetAverageRof() + engine.GetHighestRof() + engine.GetLowestRof(), 0.0F);
  EXPECT_EQ(engine.GetNumberOfShots(), 0);
  EXPECT_EQ(engine.GetClipLength(), 0U);
  EXPECT_EQ(engine.GetClipQuality(), 100);
  EXPECT_EQ(engine.GetPeakSample(), 0);
  EXPECT_EQ(engine.GetSampleRate(), 0U);
  EXPECT_EQ(engine.GetSampleCount(), 0U);
  EXPECT_EQ(engine.GetShotCount(), 0U);
  EXPECT_FALSE(engine.HasData());
  EXPECT_FALSE(engine.IsRecording());
}

TEST(SoundEngine, StartsEmptyAndResetEmptiesItAgainKeepingTheDevices) {
  test::ScopedWorkDir dir;
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  ExpectEmpty(engine);
  engine.samples = std::vector<std::uint8_t>(100, 128);
  engine.sample_count = 100;
  engine.sample_rate = 22050;
  engine.clip_length = 3;
  engine.clip_quality = 42;
  engine.peak_sample = 255;
  engine.average_rof = engine.highest_rof = engine.lowest_rof = 1.0F;
  engine.number_of_shots = 3;
  engine.shots.assign(3, ShotRecord{10, 1});
  engine.shot_list_count = 3;
  engine.recording = 1;
  ASSERT_TRUE(engine.HasData());
  engine.sample_count = 9000;  // recording runs ahead of what memory holds
  EXPECT_EQ(HeldSampleCount(engine), 100U);
  Reset(engine);
  ExpectEmpty(engine);
  EXPECT_EQ(engine.shots.capacity(), 0U);
  EXPECT_TRUE(engine.playback_device != nullptr);
}

TEST(SoundEngine, LogsOnlyWhenThePlaybackDeviceFails) {
  test::ScopedWorkDir dir;
  test::FakeAudioSystem working;
  EXPECT_TRUE(SoundEngine(&working, nullptr).playback_device != nullptr);
  EXPECT_TRUE(test::CriticalLogLines().empty());
  test::FakeAudioSystem failing;
  failing.script.playback_available = false;
  EXPECT_TRUE(SoundEngine(&failing, nullptr).playback_device == nullptr);
  EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>{"Failed to Create Sound OBject"});
}

}  // namespace
