#include "engine/clip_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

using test::MakeWave16;
using test::MakeWave8;
using test::ReadBytes;
using test::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

bool LoggedWaveLine() {
  const auto lines = test::RoutineLogLines();
  return std::find(lines.begin(), lines.end(), "Loading file - wave") != lines.end();
}

class ClipFilesTest : public ::testing::Test {
 protected:
  test::ScopedWorkDir dir;
  SilentAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
  const Bytes clip = test::MakeShotTrain(22050, {2000, 4000, 6000, 8000});
};

// A lower-case ".wav" anywhere in the path wins over ".avi" and is logged;
// other names without ".avi" are read as WAVE files too. The ".avi" branch is
// tested with the AVI import.
TEST_F(ClipFilesTest, LoadClipReadsWaveFilesAndLogsLowerCaseWavOnly) {
  const std::pair<std::string, bool> paths[] = {
      {"a.wav", true},     {"b.avi.wav", true}, {"b.wave", true}, {"x.avi/a.wav", true},
      {"y.wav.d/c", true}, {"A.WAV", false},    {"C.AVI", false}, {"tmp", false}};
  for (const auto& [path, logged] : paths) {
    test::ScopedWorkDir case_dir;
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
      std::filesystem::create_directories(folder);
    }
    WriteBytes(path, MakeWave8(22050, clip));
    EXPECT_TRUE(LoadClip(engine, path)) << path;
    EXPECT_EQ(LoggedWaveLine(), logged) << path;
    ASSERT_TRUE(engine.HasData()) << path;
    EXPECT_EQ(*engine.samples, clip) << path;
    EXPECT_EQ(engine.sample_rate, 22050U);
  }
}

TEST_F(ClipFilesTest, LoadReplacesTheWholeClipAndAFailedLoadLeavesItEmpty) {
  WriteBytes("b.wav", MakeWave16(8000, {1, 2, 3}));
  LoadClip(engine, "b.wav");
  engine.recording = 1;
  WriteBytes("a.wav", MakeWave8(22050, clip));
  ASSERT_TRUE(LoadClip(engine, "a.wav"));
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_EQ(engine.sample_rate, 22050U);
  EXPECT_EQ(engine.sample_count, 22050U);
  ASSERT_EQ(engine.GetNumberOfShots(), 4);
  notifier.shown.clear();

  EXPECT_FALSE(LoadClip(engine, "gone.wav"));
  EXPECT_FALSE(engine.samples.has_value());
  EXPECT_EQ(engine.sample_rate, 0U);
  EXPECT_EQ(engine.clip_length, 0U);
  EXPECT_EQ(engine.GetShotCount(), 0U);
  EXPECT_EQ(engine.GetNumberOfShots(), 0);
  EXPECT_EQ(engine.GetAverageRof(), 0.0F);
  EXPECT_EQ(engine.GetClipQuality(), kInitialClipQuality);
  ASSERT_EQ(notifier.shown.size(), 1U);
  EXPECT_EQ(notifier.shown[0].text, kNoDataMessage);
  EXPECT_EQ(notifier.shown[0].caption, kNoDataCaption);
  EXPECT_EQ(test::CriticalLogLines().back(), "Failed To Find .wav File");
}

// Saved as 8-bit mono: what is held, nothing else.
TEST_F(ClipFilesTest, SaveWaveWritesTheHeldSamples) {
  const auto saved = [](const SoundEngine& e) {
    EXPECT_TRUE(SaveWave(e, "out.wav"));
    return ReadBytes("out.wav");
  };
  EXPECT_EQ(saved(engine), MakeWave8(0, {})) << "empty clip: the header alone";
  WriteBytes("in.wav", MakeWave8(11025, clip));
  LoadClip(engine, "in.wav");
  EXPECT_EQ(saved(engine), MakeWave8(11025, clip));
  WriteBytes("in.wav", MakeWave16(48000, {-32767, 0, 32767, 1000}, 2));
  LoadClip(engine, "in.wav");
  EXPECT_EQ(saved(engine), MakeWave8(48000, {0, 255}));
  engine.sample_count = 10;
  EXPECT_EQ(saved(engine), MakeWave8(48000, {0, 255})) << "only the samples held";
}

TEST_F(ClipFilesTest, SaveFailsIntoAMissingFolderAndIsRefusedWhileRecording) {
  WriteBytes("a.wav", MakeWave8(22050, clip));
  LoadClip(engine, "a.wav");
  EXPECT_FALSE(SaveWave(engine, "no/such/folder/out.wav"));
  EXPECT_FALSE(std::filesystem::exists("no"));

  WriteBytes("kept.wav", {1, 2, 3});
  engine.recording = 1;
  engine.sample_count += 100000;  // captured bytes, not held in memory
  EXPECT_FALSE(SaveWave(engine, "kept.wav"));
  EXPECT_FALSE(SaveWave(engine, "new.wav"));
  EXPECT_EQ(ReadBytes("kept.wav"), (Bytes{1, 2, 3}));
  EXPECT_FALSE(std::filesystem::exists("new.wav"));
}

}  // namespace
