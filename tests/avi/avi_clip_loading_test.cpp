// An AVI's sound track loads into the same clip and figures as the same
// sound stored as a WAVE file.

#include <gtest/gtest.h>

#include <vector>

#include "avi/avi_writer.h"
#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "support/literal_analysis.h"
#include "support/test_support.h"

namespace {

using avi_test::Bytes;
using avi_test::PcmFormat;

// Three seconds of bursts 0.1 s apart, then wider gaps, so rates vary.
Bytes ShotTrain(std::uint32_t rate) {
  std::vector<std::uint32_t> starts;
  std::uint32_t at = rate / 4;
  for (int shot = 0; shot < 20; ++shot) {
    starts.push_back(at);
    at += rate / (shot < 10 ? 10 : 8);
  }
  return test::MakeShotTrain(rate * 3, starts);
}

// A 16-bit stereo track labelled 8-bit mono at 22050 would load eight times
// too long with rates eight times too low.
TEST(AviClipLoading, TheTrackGivesTheClipAndFiguresOfTheSameWave) {
  const Bytes mono8 = ShotTrain(22050);
  std::vector<std::int16_t> left;
  Bytes stereo16;
  for (const std::uint8_t sample : ShotTrain(44100)) {
    const auto value = static_cast<std::int16_t>((sample - 128) * 200);
    left.push_back(value);
    test::AppendU16(stereo16, static_cast<std::uint16_t>(value));
    test::AppendU16(stereo16, static_cast<std::uint16_t>(value / 2));
  }
  struct Case {
    Bytes wave;
    Bytes avi;
    Bytes tmp;  // what the import leaves
    std::uint32_t rate;
  };
  const Case cases[] = {
      {test::MakeWave8(22050, mono8), avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 8), mono8),
       test::MakeWave8(22050, mono8), 22050},
      {test::MakeWave16(44100, left), avi_test::AudioOnlyAvi(PcmFormat(2, 44100, 16), stereo16),
       test::MakeWave({.channels = 2, .sample_rate = 44100, .bits_per_sample = 16}, stereo16),
       44100},
  };
  for (const Case& c : cases) {
    test::ScopedWorkDir dir;
    test::RecordingNotifier notifier;
    SoundEngine from_wave(nullptr, &notifier);
    SoundEngine from_avi(nullptr, &notifier);
    test::WriteBytes("shots.wav", c.wave);
    test::WriteBytes("shots.avi", c.avi);
    EXPECT_TRUE(LoadClip(from_wave, "shots.wav"));
    EXPECT_TRUE(LoadClip(from_avi, "shots.avi"));
    EXPECT_EQ(test::ReadBytes("tmp"), c.tmp) << c.rate;
    EXPECT_EQ(from_avi.GetSampleRate(), c.rate);
    EXPECT_EQ(from_avi.GetClipLength(), 3U);
    EXPECT_GT(from_avi.GetNumberOfShots(), 10);
    EXPECT_EQ(from_avi.samples, from_wave.samples);
    EXPECT_EQ(from_avi.GetSampleCount(), from_wave.GetSampleCount());
    EXPECT_EQ(test::FigureDifference(test::TakeFigures(from_wave, true, true),
                                     test::TakeFigures(from_avi, true, true)),
              "");
    EXPECT_TRUE(notifier.shown.empty());
  }
}

}  // namespace
