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
using Lock = std::pair<std::uint32_t, std::uint32_t>;

// "tmp" is the finished 8-bit mono 22050 Hz WAVE file of `data`.
void ExpectFinishedTmp(const Bytes& data) {
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, data));
}

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
  const Bytes previous_clip = Pattern(300, 7);  // what failures must leave alone
};

TEST_F(RecordingTest, CopiesEachPollsBytesAndFinishesAndLoadsTmpAtStop) {
  engine.samples = previous_clip;
  EXPECT_FALSE(StopRecording(engine)) << "STOP while idle changes nothing";
  EXPECT_EQ(engine.samples, previous_clip);
  ASSERT_TRUE(StartRecording(engine));
  EXPECT_EQ(audio.sample_rate, 22050U);
  EXPECT_EQ(audio.ring.size(), 5292000U);
  EXPECT_EQ(PollCapture(engine), CapturePoll::NothingNew);
  const Bytes first = Pattern(1000);
  const Bytes second = Pattern(441, 200);
  CaptureAndPoll(first);
  EXPECT_EQ(PollCapture(engine), CapturePoll::NothingNew);
  EXPECT_FALSE(StartRecording(engine)) << "REC while recording";
  CaptureAndPoll(second);
  EXPECT_FALSE(audio.locked) << "every lock is handed back";
  audio.Capture(Pattern(50));  // after the last poll: not copied
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_EQ(audio.stop_calls, 1);
  EXPECT_EQ(audio.alive, 0);
  const Bytes both = test::Join({first, second});
  ExpectFinishedTmp(both);
  // Loaded back as the current clip, without the reader's "Loading file" line.
  EXPECT_EQ(engine.samples, both);
  EXPECT_EQ(engine.sample_count, 1441U);
  const Lines routine = test::RoutineLogLines();
  EXPECT_EQ(std::count(routine.begin(), routine.end(), "Loading file - wave"), 0);
  EXPECT_TRUE(test::CriticalLogLines().empty());
}

TEST_F(RecordingTest, RangesPassingTheRingEndCopyInOrder) {
  ASSERT_TRUE(StartRecording(engine));
  const Bytes most = Pattern(kRingBytes - 100);
  const Bytes across = Pattern(300, 77);
  CaptureAndPoll(most);
  CaptureAndPoll(across);
  EXPECT_EQ(audio.locks.back(), (Lock{kRingBytes - 100, 300}));
  EXPECT_EQ(engine.capture.read_cursor, 200U) << "ends at the second region's length";
  CaptureAndPoll(Bytes(kRingBytes - 200, 5));
  EXPECT_EQ(engine.capture.read_cursor, 0U) << "a range ending at the ring's end";
  // More than a whole ring between two polls: only the distance modulo the
  // ring is copied, the rest was overwritten.
  CaptureAndPoll(Bytes(kRingBytes + 10, 128));
  EXPECT_EQ(audio.locks.back(), (Lock{0, 10}));
  ASSERT_TRUE(StopRecording(engine));
  const Bytes tmp = test::ReadBytes("tmp");
  ASSERT_EQ(tmp.size(), 44 + 2 * std::size_t{kRingBytes} + 10);
  EXPECT_TRUE(std::equal(most.begin(), most.end(), tmp.begin() + 44));
  EXPECT_TRUE(std::equal(across.begin(), across.end(), tmp.begin() + 44 + most.size()));
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

// A failed start is told, leaves the engine idle with the previous clip, and
// gives STOP nothing to do.
TEST_F(RecordingTest, FailedStartsAreShownAndLeaveNoRecordingRunning) {
  struct Case {
    std::function<void()> setup;
    Lines log;
    std::string shown;
  };
  const Case cases[] = {
      {[&] { audio.capture_available = false; },
       {"Failed to create sound capture", "Failed to Create Capture Sound Buffer"},
       "Failed to create sound capture"},
      {[&] { audio.buffer_available = false; },
       {"Failed to Create Capture Sound Buffer"},
       "Failed to Create Capture Sound Buffer"},
      // Nothing can be made in a directory that is gone, even by root; its
      // log goes with it.
      {[] {
         std::filesystem::create_directory("gone");
         std::filesystem::current_path("gone");
         std::filesystem::remove("../gone");
       },
       {},
       "Failed to open temp.wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    test::ScopedWorkDir case_dir;
    audio.capture_available = audio.buffer_available = true;
    notifier.shown.clear();
    engine.samples = previous_clip;
    c.setup();
    EXPECT_FALSE(StartRecording(engine));
    EXPECT_FALSE(engine.IsRecording());
    EXPECT_EQ(audio.alive, 0);
    EXPECT_FALSE(StopRecording(engine));
    std::filesystem::current_path(case_dir.path());
    EXPECT_EQ(test::CriticalLogLines(), c.log);
    ASSERT_EQ(notifier.shown.size(), 1U);
    EXPECT_EQ(notifier.shown[0].text, c.shown);
    EXPECT_EQ(engine.samples, previous_clip);
  }
}

// A recording that can't be put in place (a full disk, a directory named
// "tmp") is a failed load: no clip, never an older "tmp", nothing left over.
TEST_F(RecordingTest, RecordingThatCantBeWrittenGivesNoClip) {
  std::filesystem::create_directory("tmp");
  ASSERT_TRUE(StartRecording(engine));
  CaptureAndPoll(Pattern(900));
  EXPECT_TRUE(StopRecording(engine));
  EXPECT_FALSE(engine.HasData());
  EXPECT_EQ(test::CriticalLogLines(), Lines{"Failed to write temp.wav"});
  ASSERT_EQ(notifier.shown.size(), 1U);
  EXPECT_EQ(notifier.shown[0].text, "Failed To Analize Due To No Data Allocation");
  EXPECT_EQ(FilesHere(), 2U) << "no part file";
}

// Closing the program finishes "tmp" without loading it; an engine that ends
// mid-recording leaves "tmp" as it was.
TEST(RecordingLifetime, FinishWritesTmpWithoutLoadingAndTeardownDropsIt) {
  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  const Bytes copied = Pattern(900);
  {
    SoundEngine engine(&audio, nullptr);
    for (const Bytes& bytes : {copied, Pattern(300)}) {
      ASSERT_TRUE(StartRecording(engine));
      audio.Capture(bytes);
      ASSERT_EQ(PollCapture(engine), CapturePoll::Copied);
      if (bytes == copied) {
        ASSERT_TRUE(FinishRecording(engine));
        EXPECT_FALSE(engine.HasData());
      }
    }
  }
  EXPECT_EQ(audio.alive, 0);
  ExpectFinishedTmp(copied);
  EXPECT_TRUE(test::RoutineLogLines().empty());
  EXPECT_EQ(FilesHere(), 1U) << "no part file";
}

}  // namespace
