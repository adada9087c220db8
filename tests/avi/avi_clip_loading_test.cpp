// An AVI's sound track loads into the same clip and figures as the same
// sound stored as a WAVE file.

#include <gtest/gtest.h>

#include <vector>

#include "avi/avi_writer.h"
#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

using avi_test::Bytes;
using avi_test::PcmFormat;

// Bursts 0.1 s apart, then wider gaps, so rates vary.
std::vector<std::uint32_t> BurstStarts(std::uint32_t rate) {
  std::vector<std::uint32_t> starts;
  std::uint32_t at = rate / 4;
  for (int shot = 0; shot < 20; ++shot) {
    starts.push_back(at);
    at += rate / (shot < 10 ? 10 : 8);
  }
  return starts;
}

void ExpectSameClip(const SoundEngine& avi, const SoundEngine& wave) {
  EXPECT_EQ(avi.GetSampleRate(), wave.GetSampleRate());
  EXPECT_EQ(avi.GetSampleCount(), wave.GetSampleCount());
  EXPECT_EQ(avi.samples, wave.samples);
  EXPECT_EQ(avi.GetClipLength(), wave.GetClipLength());
  EXPECT_EQ(avi.GetClipQuality(), wave.GetClipQuality());
  EXPECT_EQ(avi.GetNumberOfShots(), wave.GetNumberOfShots());
  EXPECT_EQ(avi.GetAverageRof(), wave.GetAverageRof());
  EXPECT_EQ(avi.GetHighestRof(), wave.GetHighestRof());
  EXPECT_EQ(avi.GetLowestRof(), wave.GetLowestRof());
  ASSERT_EQ(avi.GetShotCount(), wave.GetShotCount());
  for (std::uint32_t i = 0; i < avi.GetShotCount(); ++i) {
    EXPECT_EQ(avi.GetShot(i).position, wave.GetShot(i).position) << i;
  }
}

TEST(AviClipLoading, EightBitMonoTrackGivesTheFiguresOfTheSameWave) {
  test::ScopedWorkDir dir;
  test::RecordingNotifier notifier;
  const Bytes samples = test::MakeShotTrain(22050 * 3, BurstStarts(22050));
  test::WriteBytes("shots.wav", test::MakeWave8(22050, samples));
  test::WriteBytes("shots.avi", avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 8), samples));

  SoundEngine from_wave(nullptr, &notifier);
  SoundEngine from_avi(nullptr, &notifier);
  EXPECT_TRUE(LoadClip(from_wave, "shots.wav"));
  EXPECT_TRUE(LoadClip(from_avi, "shots.avi"));

  EXPECT_EQ(test::ReadBytes("tmp"), avi_test::ExpectedWave(EightBitMono(22050), samples));
  EXPECT_GT(from_avi.GetNumberOfShots(), 10);
  EXPECT_EQ(from_avi.GetClipLength(), 3U);
  ExpectSameClip(from_avi, from_wave);
  EXPECT_TRUE(notifier.shown.empty());
}

// Labelled 8-bit mono at 22050, this track would load eight times too long
// with rates eight times too low.
TEST(AviClipLoading, SixteenBitStereoTrackKeepsItsTiming) {
  test::ScopedWorkDir dir;
  test::RecordingNotifier notifier;
  const Bytes train = test::MakeShotTrain(44100 * 3, BurstStarts(44100));
  std::vector<std::int16_t> left;
  Bytes interleaved;
  for (const std::uint8_t sample : train) {
    const auto value = static_cast<std::int16_t>((sample - 128) * 200);
    left.push_back(value);
    test::AppendU16(interleaved, static_cast<std::uint16_t>(value));
    test::AppendU16(interleaved, static_cast<std::uint16_t>(value / 2));
  }
  test::WriteBytes("left.wav", test::MakeWave16(44100, left));
  test::WriteBytes("stereo.avi", avi_test::AudioOnlyAvi(PcmFormat(2, 44100, 16), interleaved));

  SoundEngine from_wave(nullptr, &notifier);
  SoundEngine from_avi(nullptr, &notifier);
  EXPECT_TRUE(LoadClip(from_wave, "left.wav"));
  EXPECT_TRUE(LoadClip(from_avi, "stereo.avi"));

  EXPECT_EQ(from_avi.GetSampleRate(), 44100U);
  EXPECT_EQ(from_avi.GetClipLength(), 3U);
  EXPECT_GT(from_avi.GetNumberOfShots(), 10);
  ExpectSameClip(from_avi, from_wave);
}

}  // namespace
