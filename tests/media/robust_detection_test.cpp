#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/clip_files.h"
#include "engine/detector.h"
#include "engine/sound_engine.h"
#include "support/shot_corpus.h"
#include "support/test_support.h"

// The robust detector on generated recordings whose shot starts are known,
// as WAVE files and through lossy coders (FFmpeg's encoders).

namespace {

using test::Condition;

struct Recording {
  Condition condition;
  std::uint32_t rate;
  double shots_per_second;
  bool stereo;
  const char* encoder = "";  // none: the WAVE file
  const char* file = "clip.wav";
};

TEST(RobustDetector, FindsEveryShotsStartInEachCondition) {
  const Recording recordings[] = {
      {Condition::Clean, 48000, 12, false},
      {Condition::Noisy30, 22050, 20, true},
      {Condition::Noisy20, 16000, 25, false},
      {Condition::Noisy15, 44100, 8, false},
      {Condition::Clipped, 48000, 30, false},
      {Condition::Echo, 44100, 18, false},
      {Condition::Varying, 22050, 12, false},
      {Condition::Quiet, 8000, 15, false},
      {Condition::Clean, 48000, 20, true, "-c:a aac -b:a 128k", "clip.m4a"},
      {Condition::Noisy20, 44100, 12, true, "-c:a libmp3lame -b:a 64k", "clip.mp3"},
      {Condition::Echo, 48000, 25, false, "-c:a libopus -b:a 64k", "clip.opus"},
  };
  test::ScopedWorkDir dir;
  SoundEngine engine(nullptr, nullptr);
  engine.chosen_detector = Detector::Robust;
  test::Score all;
  for (const Recording& r : recordings) {
    const test::ShotClip clip = test::MakeShotClip(r.condition, r.rate, r.shots_per_second, 5, 3);
    test::WriteBytes("clip.wav",
                     test::MakeWave16(r.rate, test::Interleaved(clip, r.stereo), r.stereo ? 2 : 1));
    const std::string encode =
        std::string("ffmpeg -nostdin -v error -y -i clip.wav ") + r.encoder + " " + r.file;
    ASSERT_TRUE(*r.encoder == '\0' || std::system(encode.c_str()) == 0);
    LoadClip(engine, r.file);
    std::vector<double> truth, found;
    std::transform(clip.truth.begin(), clip.truth.end(), std::back_inserter(truth),
                   [&](std::uint32_t start) { return 1.0 * start / r.rate; });
    std::transform(
        engine.shots.begin(), engine.shots.end(), std::back_inserter(found),
        [&](const ShotRecord& shot) { return 1.0 * shot.position / engine.sample_rate; });
    const test::Score score = test::Match(truth, found);
    SCOPED_TRACE(&r - recordings);
    EXPECT_GE(std::min(score.Recall(), score.Precision()), 0.995);
    all.Add(score);
  }
  // Within 1 ms of the truth: a share of all shots.
  EXPECT_GE(all.Timing(), 0.99);
}

using AddSample = std::function<void(std::uint32_t, double)>;

// Ten 10 ms shots at 10 a second, 8 kHz, and what `add_more` adds to them.
using Extra = std::function<void(const AddSample&)>;

std::vector<std::uint32_t> TenShotsWith(const Extra& add_more) {
  std::vector<std::uint8_t> samples(8800, 128);
  const auto add = [&](std::uint32_t i, double value) {
    samples[i] = static_cast<std::uint8_t>(std::clamp(samples[i] + std::lround(value), 0L, 255L));
  };
  std::mt19937 random(7);
  std::normal_distribution<double> gauss(0.0, 35.0);
  for (std::uint32_t i = 0; i < 10 * 800; ++i) {
    add(800 + i, i % 800 < 80 ? std::clamp(gauss(random), -60.0, 60.0) : 0.0);
  }
  add_more(add);
  return RobustShotPositions(samples.data(), 8800, 8000);
}

TEST(RobustDetector, FindsTheSixthShotWhereItStarts) {
  // A hum swells over 200 ms to 2 dB under the shots, holds, and ends with
  // the sixth, which rises less than 5 dB above it.
  const auto hum = [](const AddSample& add) {
    for (std::uint32_t i = 3000; i < 4880; ++i) {
      add(i,
          40 * std::min(1.0, std::pow(10.0, (i - 4600.0) / 1600 * 1.5)) * std::sin(M_PI / 4 * i));
    }
  };
  // A blip as loud as a shot 15 ms before the sixth, out of a soft hum that
  // ends with it, as a lossy coder's pre-echo comes.
  const auto pre_echo = [](const AddSample& add) {
    for (std::uint32_t i = 3000; i < 4704; ++i) {
      add(i, (i >= 4680 ? 45 : 12 * std::min(1.0, (i - 3000.0) / 1000)) * std::sin(M_PI / 4 * i));
    }
  };
  for (const Extra& extra : {Extra(hum), Extra(pre_echo)}) {
    const std::vector<std::uint32_t> found = TenShotsWith(extra);
    ASSERT_EQ(found.size(), 10U);
    EXPECT_NEAR(found[5], 4800U, 8U);
  }
}

// Ten seconds of rumble (white noise through a one-pole low-pass), no shot.
TEST(RobustDetector, FindsHardlyAnyShotInRumble) {
  std::mt19937 random(5);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::vector<std::uint8_t> samples(160000);
  for (double level = 0.0; std::uint8_t & sample : samples) {
    level = 0.9 * level + gauss(random);
    sample = static_cast<std::uint8_t>(std::clamp(128 + std::lround(10 * level), 0L, 255L));
  }
  EXPECT_LT(RobustShotPositions(samples.data(), 160000, 16000).size(), 10U);
}

}  // namespace
