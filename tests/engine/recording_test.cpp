#include "engine/recording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "engine/sound_engine.h"
#include "support/fake_audio_system.h"
#include "support/test_support.h"

namespace {

using test::Bytes;
using test::Pattern;
using Lines = std::vector<std::string>;

std::size_t FilesHere() {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("."), {}));
}

class RecordingTest : public ::testing::Test {
 protected:
  void CaptureAndPoll(const Bytes& bytes) {
    audio.Capture(bytes);
    ASSERT_EQ(PollCapture(engine), CapturePoll::Copied);
  }

  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
};

// Each poll appends what arrived, in order round the ring; more than a whole
// ring between two polls copies only the distance modulo the ring (the rest
// was overwritten). STOP finishes "tmp" and loads it back without the
// reader's "Loading file" line.
TEST_F(RecordingTest, CopiesEachPollInOrderRoundTheRingAndLoadsTmpAtStop) {
  ASSERT_TRUE(StartRecording(engine));
  EXPECT_EQ(PollCapture(engine), CapturePoll::NothingNew);
  const Bytes most = Pattern(kRingBytes - 100);
  const Bytes across = Pattern(300, 77);
  CaptureAndPoll(most);
  CaptureAndPoll(across);
  EXPECT_EQ(engine.capture.read_cursor, 200U);
  CaptureAndPoll(Bytes(kRingBytes - 200, 5));
  EXPECT_EQ(engine.capture.read_cursor, 0U);
  CaptureAndPoll(Bytes(kRingBytes + 10, 128));
  EXPECT_EQ(audio.locks.back(), (std::pair{0U, 10U}));
  EXPECT_FALSE(audio.locked) << "every lock is handed back";
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_FALSE(StopRecording(engine)) << "STOP while idle";
  EXPECT_EQ(audio.alive, 0);
  const Bytes tmp = test::ReadBytes("tmp");
  ASSERT_EQ(tmp.size(), 44 + 2 * std::size_t{kRingBytes} + 10);
  const Bytes header = test::MakeWave8(22050, Bytes(tmp.size() - 44));
  EXPECT_TRUE(std::equal(tmp.begin(), tmp.begin() + 44, header.begin()));
  EXPECT_TRUE(std::equal(across.begin(), across.end(), tmp.begin() + 44 + kRingBytes - 100));
  EXPECT_TRUE(std::equal(tmp.begin() + 44, tmp.end(), engine.samples->begin()));
  EXPECT_EQ(test::RoutineLogLines()[0], "format_len: 16 ");
  EXPECT_TRUE(test::CriticalLogLines().empty());
}

TEST_F(RecordingTest, FailedPollsCopyNothing) {
  ASSERT_TRUE(StartRecording(engine));
  CaptureAndPoll(Pattern(700));
  audio.Capture(Pattern(300));
  audio.scripted_read_position = kRingBytes;  // outside the ring: refused before any lock
  EXPECT_EQ(PollCapture(engine), CapturePoll::Failed);
  audio.scripted_read_position.reset();
  audio.lock_fails = true;
  EXPECT_EQ(PollCapture(engine), CapturePoll::Failed);
  EXPECT_EQ(audio.locks.size(), 1U);
  EXPECT_EQ(engine.capture.read_cursor, 700U);
  DiscardRecordingResources(engine);
  EXPECT_EQ(FilesHere(), 0U) << "the unfinished part file is gone";
}

// A failed start is told and leaves the engine idle; a recording that can't
// be put in place (a directory named "tmp") gives no clip and no part file.
TEST_F(RecordingTest, FailuresAreToldAndLeaveNothingRunning) {
  struct Case {
    std::function<void()> setup;
    std::string shown;
    Lines log;
  };
  const std::string no_data = "Failed To Analize Due To No Data Allocation";
  const Case cases[] = {
      {[&] { audio.capture_available = false; },
       "Failed to create sound capture",
       {"Failed to create sound capture", "Failed to Create Capture Sound Buffer"}},
      {[&] { audio.buffer_available = false; },
       "Failed to Create Capture Sound Buffer",
       {"Failed to Create Capture Sound Buffer"}},
      {[] { std::filesystem::create_directory("tmp"); }, no_data, {"Failed to write temp.wav"}},
      // Nothing can be made in a directory that is gone, not even its log.
      {[] {
         std::filesystem::create_directory("gone");
         std::filesystem::current_path("gone");
         std::filesystem::remove("../gone");
       },
       "Failed to open temp.wav",
       {}},
  };
  audio.output_available = false;  // told once, at start-up
  static_cast<void>(SoundEngine(&audio, nullptr));
  EXPECT_EQ(test::CriticalLogLines(), Lines{"Failed to Create Sound OBject"});
  for (const Case& c : cases) {
    test::ScopedWorkDir case_dir;
    audio.capture_available = audio.buffer_available = true;
    notifier.shown.clear();
    c.setup();
    if (StartRecording(engine)) {
      CaptureAndPoll(Pattern(900));
      EXPECT_TRUE(StopRecording(engine));
    }
    EXPECT_EQ(notifier.shown.at(0).text, c.shown);
    EXPECT_FALSE(engine.IsRecording() || engine.HasData());
    EXPECT_EQ(audio.alive, 0);
    std::filesystem::current_path(case_dir.path());
    EXPECT_EQ(test::CriticalLogLines(), c.log);
    EXPECT_EQ(FilesHere(), (c.shown == no_data ? 1U : 0U) + !c.log.empty()) << "no part file";
  }
}

}  // namespace
