#include "engine/clip_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "engine/sound_engine.h"
#include "engine/wave_reader.h"
#include "support/test_support.h"

namespace {

using test::MakeShotTrain;
using test::MakeWave16;
using test::MakeWave8;
using test::ReadBytes;
using test::RoutineLogLines;
using test::WriteBytes;

constexpr const char* kWaveLine = "Loading file - wave";

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8U) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16U) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24U);
}

bool Logged(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ClipFilesTest : public ::testing::Test {
 protected:
  test::ScopedWorkDir dir;
  SilentAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
  const std::vector<std::uint8_t> clip = MakeShotTrain(22050, {2000, 4000, 6000, 8000});
};

TEST_F(ClipFilesTest, LowerCaseWavAnywhereIsLoggedAndRead) {
  for (const std::string path : {"a.wav", "b.avi.wav", "b.wave", "x.avi/a.wav", "y.wav.d/c"}) {
    test::ScopedWorkDir case_dir;
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
      std::filesystem::create_directories(folder);
    }
    WriteBytes(path, MakeWave8(22050, clip));
    LoadClip(engine, path);
    const auto lines = RoutineLogLines();
    ASSERT_FALSE(lines.empty()) << path;
    EXPECT_EQ(lines.front(), kWaveLine) << path;
    ASSERT_TRUE(engine.HasData()) << path;
    EXPECT_EQ(*engine.samples, clip) << path;
    EXPECT_EQ(engine.sample_rate, 22050U);
  }
}

TEST_F(ClipFilesTest, UpperCaseNamesAreReadWithoutTheWaveLine) {
  for (const std::string path : {"A.WAV", "C.AVI", "tmp"}) {
    test::ScopedWorkDir case_dir;
    WriteBytes(path, MakeWave8(11025, clip));
    LoadClip(engine, path);
    EXPECT_FALSE(Logged(RoutineLogLines(), kWaveLine)) << path;
    ASSERT_TRUE(engine.HasData()) << path;
    EXPECT_EQ(*engine.samples, clip) << path;
  }
}

TEST_F(ClipFilesTest, AviPathsAreReadThroughTheTempFile) {
  // A WAVE file named .avi is never read directly: whatever the import leaves
  // in "tmp" is what gets loaded.
  WriteBytes(kTempFileName, MakeWave8(8000, clip));
  std::filesystem::create_directory("videos");
  WriteBytes("videos/clip.avi", MakeWave8(11025, {1, 2, 3, 4}));
  LoadClip(engine, "videos/clip.avi");
  EXPECT_FALSE(Logged(RoutineLogLines(), kWaveLine));
  EXPECT_NE(engine.sample_rate, 11025U);

  SoundEngine direct(&audio, nullptr);
  ReadWaveFile(direct, kTempFileName);
  EXPECT_EQ(engine.sample_rate, direct.sample_rate);
  EXPECT_EQ(engine.sample_count, direct.sample_count);
  EXPECT_EQ(engine.samples, direct.samples);
}

TEST_F(ClipFilesTest, LoadReplacesTheWholePreviousClip) {
  WriteBytes("a.wav", MakeWave8(22050, clip));
  LoadClip(engine, "a.wav");
  ASSERT_TRUE(engine.HasData());
  engine.recording = 1;
  WriteBytes("b.wav", MakeWave16(8000, {1, 2, 3}));
  LoadClip(engine, "b.wav");
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_EQ(engine.sample_rate, 8000U);
  EXPECT_EQ(engine.sample_count, 3U);
}

TEST_F(ClipFilesTest, FailedLoadLeavesTheEngineEmptyWithOneMessage) {
  WriteBytes("a.wav", MakeWave8(22050, clip));
  LoadClip(engine, "a.wav");
  ASSERT_TRUE(engine.HasData());
  notifier.shown.clear();

  EXPECT_FALSE(LoadClip(engine, "gone.wav"));
  EXPECT_FALSE(engine.samples.has_value());
  EXPECT_FALSE(engine.HasData());
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

TEST_F(ClipFilesTest, SavedClipEqualsItsEightBitSource) {
  const auto source = MakeWave8(11025, clip);
  WriteBytes("in.wav", source);
  LoadClip(engine, "in.wav");
  ASSERT_TRUE(SaveWave(engine, "out.wav"));
  const auto saved = ReadBytes("out.wav");
  EXPECT_EQ(saved, source);
  EXPECT_EQ(U32At(saved, 4), saved.size() - 8);
}

TEST_F(ClipFilesTest, SixteenBitClipIsSavedAsEightBitMono) {
  WriteBytes("in.wav", MakeWave16(48000, {-32767, 0, 32767, 1000}, 2));
  LoadClip(engine, "in.wav");
  ASSERT_TRUE(SaveWave(engine, "out.wav"));
  EXPECT_EQ(ReadBytes("out.wav"), MakeWave8(48000, {0, 255}));
}

TEST_F(ClipFilesTest, EmptyClipSavesTheHeaderAlone) {
  ASSERT_TRUE(SaveWave(engine, "empty.wav"));
  const auto saved = ReadBytes("empty.wav");
  ASSERT_EQ(saved.size(), 44U);
  EXPECT_EQ(U32At(saved, 4), 36U);
  EXPECT_EQ(U32At(saved, 40), 0U);
  EXPECT_EQ(saved, MakeWave8(0, {}));
}

TEST_F(ClipFilesTest, SaveIntoAMissingFolderFailsAndLeavesNoFile) {
  WriteBytes("a.wav", MakeWave8(22050, clip));
  LoadClip(engine, "a.wav");
  EXPECT_FALSE(SaveWave(engine, "no/such/folder/out.wav"));
  EXPECT_FALSE(std::filesystem::exists("no"));
}

TEST_F(ClipFilesTest, SaveIsRefusedDuringARecording) {
  WriteBytes("a.wav", MakeWave8(22050, clip));
  LoadClip(engine, "a.wav");
  WriteBytes("kept.wav", {1, 2, 3});
  engine.recording = 1;
  engine.sample_count += 100000;  // captured bytes, not held in memory
  EXPECT_FALSE(SaveWave(engine, "kept.wav"));
  EXPECT_FALSE(SaveWave(engine, "new.wav"));
  EXPECT_EQ(ReadBytes("kept.wav"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_FALSE(std::filesystem::exists("new.wav"));
}

TEST_F(ClipFilesTest, SaveWritesOnlyTheSamplesHeld) {
  engine.sample_rate = 100;
  engine.samples = std::vector<std::uint8_t>{9, 8, 7};
  engine.sample_count = 10;
  ASSERT_TRUE(SaveWave(engine, "out.wav"));
  EXPECT_EQ(ReadBytes("out.wav"), MakeWave8(100, {9, 8, 7}));
}

}  // namespace
