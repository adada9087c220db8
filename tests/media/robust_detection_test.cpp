#include <gtest/gtest.h>

#include <cstdlib>
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
    std::vector<double> truth;
    std::vector<double> found;
    for (const std::uint32_t start : clip.truth) {
      truth.push_back(1.0 * start / r.rate);
    }
    for (const ShotRecord& shot : engine.shots) {
      found.push_back(1.0 * shot.position / engine.sample_rate);
    }
    const test::Score score = test::Match(truth, found);
    const std::string name = test::kConditions[static_cast<int>(r.condition)].name;
    EXPECT_GE(score.Recall(), 0.995) << name << " " << r.encoder;
    EXPECT_GE(score.Precision(), 0.995) << name << " " << r.encoder;
    all.Add(score);
  }
  // Within 1 ms of the truth: a share of all shots.
  EXPECT_GE(all.Timing(), 0.99);
}

}  // namespace
