#include "engine/sound_engine.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

class CountingAudioSystem final : public AudioSystem {
 public:
  explicit CountingAudioSystem(bool playback_works) : playback_works_(playback_works) {}
  std::unique_ptr<PlaybackDevice> CreatePlaybackDevice() override {
    ++playback_opens;
    return playback_works_ ? std::make_unique<PlaybackDevice>() : nullptr;
  }
  std::unique_ptr<CaptureDevice> CreateCaptureDevice() override { return nullptr; }
  int playback_opens = 0;

 private:
  bool playback_works_;
};

TEST(SoundEngine, StartsEmpty) {
  test::ScopedWorkDir dir;
  SilentAudioSystem audio;
  const SoundEngine engine(&audio, nullptr);
  EXPECT_EQ(engine.GetAverageRof(), 0.0F);
  EXPECT_EQ(engine.GetHighestRof(), 0.0F);
  EXPECT_EQ(engine.GetLowestRof(), 0.0F);
  EXPECT_EQ(engine.GetNumberOfShots(), 0);
  EXPECT_EQ(engine.GetClipLength(), 0U);
  EXPECT_EQ(engine.GetClipQuality(), 100);
  EXPECT_EQ(engine.GetSampleCount(), 0U);
  EXPECT_EQ(engine.GetShotCount(), 0U);
  EXPECT_FALSE(engine.HasData());
  EXPECT_FALSE(engine.IsRecording());
}

TEST(SoundEngine, LogsOnceWhenThePlaybackDeviceFailsAndNotOtherwise) {
  test::ScopedWorkDir dir;
  {
    CountingAudioSystem working(true);
    const SoundEngine engine(&working, nullptr);
    EXPECT_EQ(working.playback_opens, 1);
    EXPECT_TRUE(engine.playback_device != nullptr);
  }
  EXPECT_TRUE(test::CriticalLogLines().empty());
  {
    CountingAudioSystem failing(false);
    const SoundEngine engine(&failing, nullptr);
    EXPECT_TRUE(engine.playback_device == nullptr);
  }
  EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>{"Failed to Create Sound OBject"});
}

TEST(SoundEngine, ResetClearsTheClipButKeepsTheDevices) {
  test::ScopedWorkDir dir;
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  engine.samples = std::vector<std::uint8_t>(100, 128);
  engine.sample_count = 100;
  engine.sample_rate = 22050;
  engine.clip_length = 3;
  engine.clip_quality = 42;
  engine.peak_sample = 255;
  engine.average_rof = 1.0F;
  engine.highest_rof = 2.0F;
  engine.lowest_rof = 0.5F;
  engine.number_of_shots = 3;
  engine.shots.assign(3, ShotRecord{10, 1});
  engine.shot_list_count = 3;
  engine.recording = 1;
  ASSERT_TRUE(engine.HasData());

  Reset(engine);
  EXPECT_FALSE(engine.samples.has_value());
  EXPECT_EQ(engine.shots.capacity(), 0U);
  EXPECT_EQ(engine.GetShotCount(), 0U);
  EXPECT_EQ(engine.GetClipQuality(), 100);
  EXPECT_EQ(engine.GetPeakSample(), 0);
  EXPECT_EQ(engine.GetSampleRate(), 0U);
  EXPECT_EQ(engine.GetClipLength(), 0U);
  EXPECT_EQ(engine.GetNumberOfShots(), 0);
  EXPECT_EQ(engine.GetAverageRof() + engine.GetHighestRof() + engine.GetLowestRof(), 0.0F);
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_TRUE(engine.playback_device != nullptr);
}

TEST(SoundEngine, HasDataNeedsSamplesAndACount) {
  test::ScopedWorkDir dir;
  SoundEngine engine(nullptr, nullptr);
  engine.samples = std::vector<std::uint8_t>{};
  EXPECT_FALSE(engine.HasData());
  engine.samples = std::vector<std::uint8_t>(4, 1);
  engine.sample_count = 4;
  EXPECT_TRUE(engine.HasData());
  EXPECT_EQ(HeldSampleCount(engine), 4U);
  // While recording, the count runs ahead of what memory holds.
  engine.sample_count = 9000;
  EXPECT_EQ(HeldSampleCount(engine), 4U);
}

}  // namespace
