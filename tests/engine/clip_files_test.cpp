#include "engine/clip_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/sound_engine.h"
#include "support/literal_analysis.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::MakeWave8;
using test::ReadBytes;
using test::WriteBytes;

class ClipFilesTest : public ::testing::Test {
 protected:
  test::ScopedWorkDir dir;
  SilentAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
  const Bytes clip = test::MakeShotTrain(22050, {2000, 4000, 6000, 8000});
};

// A failed load leaves the engine as new, the recording ended, told once.
TEST_F(ClipFilesTest, FailedLoadLeavesTheEngineAsNew) {
  WriteBytes("a.wav", MakeWave8(22050, clip));
  ASSERT_TRUE(LoadClip(engine, "a.wav"));
  engine.recording = true;
  EXPECT_FALSE(LoadClip(engine, "gone.wav"));
  EXPECT_EQ(test::FigureDifference(test::TakeFigures(SoundEngine(&audio, nullptr), true, true),
                                   test::TakeFigures(engine, true, true)),
            "");
  EXPECT_FALSE(engine.IsRecording() || engine.samples.has_value());
  EXPECT_EQ(notifier.shown.size(), 1U);
}

// A save writes the samples held; one that fails is told and logged, and
// leaves nothing under the name:
// the disk filling up part-way (a file size limit, in a child), and a save
// during a recording, which would write bytes not in memory.
TEST_F(ClipFilesTest, FailedSaveIsToldAndLeavesNoFileBehind) {
  WriteBytes("a.wav", MakeWave8(22050, clip));
  LoadClip(engine, "a.wav");
  EXPECT_TRUE(SaveWave(engine, "copy.wav"));
  EXPECT_EQ(ReadBytes("copy.wav"), ReadBytes("a.wav"));
  WriteBytes("kept.wav", {1, 2, 3});
  engine.recording = true;
  EXPECT_FALSE(SaveWave(engine, "kept.wav"));
  EXPECT_EQ(ReadBytes("kept.wav"), (Bytes{1, 2, 3}));
  engine.recording = false;
  if (::fork() == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(SaveWave(engine, "full.wav") ? 1 : 0);
  }
  int status = -1;
  ::wait(&status);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>(2, "Failed To Save .wav File"));
  EXPECT_EQ(notifier.shown.size(), 1U);
  EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 5) << "a, copy, kept, logs";
}

// Logs and "tmp" are never written through a link and never wait on a FIFO
// that carries their name; "tmp" is replaced, its target left alone.
TEST_F(ClipFilesTest, LinksAndFifosInTheWayAreNeitherFollowedNorWaitedOn) {
  WriteBytes("victim", {1, 2, 3});
  ASSERT_EQ(::mkfifo("TAMBRIX.log", 0600), 0);
  fs::create_symlink("victim", "TAMBRIX_crit.log");
  WriteBytes("a.avi", avi_test::AudioOnlyAvi(test::PcmFormat(1, 22050, 8), clip));
  for (const bool fifo : {true, false}) {
    fs::remove("tmp");
    if (fifo) {
      ASSERT_EQ(::mkfifo("tmp", 0600), 0);
    } else {
      fs::create_symlink("victim", "tmp");
    }
    EXPECT_TRUE(LoadClip(engine, "a.avi"));
    EXPECT_EQ(engine.samples, clip);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("tmp")));
    EXPECT_NE(fs::status("tmp").permissions(), fs::perms::owner_read | fs::perms::owner_write);
  }
  EXPECT_EQ(ReadBytes("victim"), (Bytes{1, 2, 3}));
  EXPECT_TRUE(fs::is_fifo("TAMBRIX.log"));
  EXPECT_TRUE(fs::is_symlink("TAMBRIX_crit.log"));
}

}  // namespace
