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

// Each poll appends what arrived; STOP finishes "tmp" and loads it back
// without the reader's "Loading file" line.
TEST_F(RecordingTest, CopiesEachPollsBytesAndLoadsTmpAtStop) {
  EXPECT_FALSE(StopRecording(engine)) << "STOP while idle";
  ASSERT_TRUE(StartRecording(engine));
  EXPECT_FALSE(StartRecording(engine)) << "REC while recording";
  EXPECT_EQ(audio.sample_rate, 22050U);
  EXPECT_EQ(PollCapture(engine), CapturePoll::NothingNew);
  const Bytes first = Pattern(1000);
  const Bytes second = Pattern(441, 200);
  CaptureAndPoll(first);
  CaptureAndPoll(second);
  EXPECT_FALSE(audio.locked) << "every lock is handed back";
  audio.Capture(Pattern(50));  // after the last poll: not copied
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_EQ(audio.stop_calls, 1);
  EXPECT_EQ(audio.alive, 0);
  const Bytes both = test::Join({first, second});
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, both));
  EXPECT_EQ(engine.samples, both);
  EXPECT_EQ(test::RoutineLogLines()[0], "format_len: 16 ");
  EXPECT_TRUE(test::CriticalLogLines().empty());
}

// Ranges passing the ring's end, and more than a whole ring between polls
// (only the distance modulo the ring is copied, the rest was overwritten).
TEST_F(RecordingTest, RangesPassingTheRingEndCopyInOrder) {
  ASSERT_TRUE(StartRecording(engine));
  const Bytes most = Pattern(kRingBytes - 100);
  const Bytes across = Pattern(300, 77);
  CaptureAndPoll(most);
  CaptureAndPoll(across);
  EXPECT_EQ(engine.capture.read_cursor, 200U);
  CaptureAndPoll(Bytes(kRingBytes - 200, 5));
  EXPECT_EQ(engine.capture.read_cursor, 0U);
  CaptureAndPoll(Bytes(kRingBytes + 10, 128));
  EXPECT_EQ(audio.locks.back(), (std::pair{0U, 10U}));
  ASSERT_TRUE(StopRecording(engine));
  const Bytes tmp = test::ReadBytes("tmp");
  ASSERT_EQ(tmp.size(), 44 + 2 * std::size_t{kRingBytes} + 10);
  EXPECT_TRUE(std::equal(across.begin(), across.end(), tmp.begin() + 44 + kRingBytes - 100));
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

// Closing the program finishes "tmp" without loading it; an engine that ends
// mid-recording leaves "tmp" as it was.
TEST(RecordingLifetime, FinishWritesTmpWithoutLoadingAndTeardownDropsIt) {
  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  {
    SoundEngine engine(&audio, nullptr);
    for (const Bytes& bytes : {Pattern(900), Pattern(300)}) {
      ASSERT_TRUE(StartRecording(engine));
      audio.Capture(bytes);
      ASSERT_EQ(PollCapture(engine), CapturePoll::Copied);
      EXPECT_TRUE(bytes.size() == 300 || FinishRecording(engine));
    }
    EXPECT_FALSE(engine.HasData());
  }
  EXPECT_EQ(audio.alive, 0);
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, Pattern(900)));
  EXPECT_EQ(FilesHere(), 1U) << "no part file";
}

}  // namespace
