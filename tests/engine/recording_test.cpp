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
  // A previous clip that failures must leave alone.
  void HoldPreviousClip() {
    engine.samples = Pattern(300, 7);
    engine.sample_count = 300;
  }
  void ExpectPreviousClip() const {
    EXPECT_EQ(engine.samples, Pattern(300, 7));
    EXPECT_EQ(engine.sample_count, 300U);
  }
  void CaptureAndPoll(const Bytes& bytes) {
    audio.Capture(bytes);
    ASSERT_EQ(PollCapture(engine), CapturePoll::Copied);
  }

  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
};

TEST_F(RecordingTest, CopiesEachPollsBytesAndFinishesAndLoadsTmpAtStop) {
  HoldPreviousClip();
  EXPECT_FALSE(StopRecording(engine)) << "STOP while idle changes nothing";
  ExpectPreviousClip();
  ASSERT_TRUE(StartRecording(engine));
  EXPECT_EQ(audio.script.sample_rate, 22050U);
  EXPECT_EQ(audio.script.ring.size(), 5292000U);
  EXPECT_EQ(PollCapture(engine), CapturePoll::NothingNew);
  const Bytes first = Pattern(1000);
  const Bytes second = Pattern(441, 200);
  CaptureAndPoll(first);
  EXPECT_EQ(PollCapture(engine), CapturePoll::NothingNew);
  EXPECT_FALSE(StartRecording(engine)) << "REC while recording";
  CaptureAndPoll(second);
  EXPECT_EQ(engine.sample_count, 1441U);
  EXPECT_FALSE(audio.script.locked) << "every lock is handed back";

  audio.Capture(Pattern(50));  // after the last poll: not copied
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_EQ(audio.script.stop_calls, 1);
  EXPECT_EQ(audio.script.buffers_alive + audio.script.devices_alive, 0);
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
  const Bytes to_end = Pattern(kRingBytes - 200, 5);
  CaptureAndPoll(most);
  CaptureAndPoll(across);
  EXPECT_EQ(audio.script.locks.back(), (Lock{kRingBytes - 100, 300}));
  EXPECT_EQ(engine.capture.read_cursor, 200U) << "ends at the second region's length";
  CaptureAndPoll(to_end);
  EXPECT_EQ(engine.capture.read_cursor, 0U) << "a range ending at the ring's end";
  // More than a whole ring between two polls: only the distance modulo the
  // ring is copied, the rest was overwritten.
  CaptureAndPoll(Bytes(kRingBytes + 10, 128));
  EXPECT_EQ(audio.script.locks.back(), (Lock{0, 10}));
  ASSERT_TRUE(StopRecording(engine));
  ASSERT_EQ(test::ReadBytes("tmp").size(), 44 + 2 * std::size_t{kRingBytes} + 10);
}

TEST_F(RecordingTest, FailedPollsCopyNothingAndStopKeepsWhatGoodPollsCopied) {
  ASSERT_TRUE(StartRecording(engine));
  const Bytes before = Pattern(700);
  CaptureAndPoll(before);
  audio.Capture(Pattern(300));
  const std::function<void(test::FakeCaptureScript&)> failures[] = {
      [](test::FakeCaptureScript& s) { s.position_fails = true; },
      [](test::FakeCaptureScript& s) { s.lock_fails = true; },
      // Refused before anything is locked.
      [](test::FakeCaptureScript& s) { s.scripted_read_position = kRingBytes; },
  };
  for (const auto& fail : failures) {
    audio.script.position_fails = audio.script.lock_fails = false;
    audio.script.scripted_read_position.reset();
    const auto locks = audio.script.locks.size();
    fail(audio.script);
    EXPECT_EQ(PollCapture(engine), CapturePoll::Failed);
    EXPECT_EQ(engine.sample_count, 700U);
    EXPECT_EQ(engine.capture.read_cursor, 700U);
    EXPECT_EQ(audio.script.locks.size(), locks);
  }
  ASSERT_TRUE(StopRecording(engine));
  ExpectFinishedTmp(before);
}

// A failed start is told, leaves the engine idle with the previous clip, and
// gives STOP nothing to do.
TEST_F(RecordingTest, FailedStartsAreShownAndLeaveNoRecordingRunning) {
  struct Case {
    std::function<void(test::FakeCaptureScript&)> setup;
    Lines log;
    std::string shown;
  };
  const Case cases[] = {
      {[](test::FakeCaptureScript& s) { s.capture_available = false; },
       {"Failed to create sound capture", "Failed to Create Capture Sound Buffer"},
       "Failed to create sound capture"},
      {[](test::FakeCaptureScript& s) { s.buffer_available = false; },
       {"Failed to Create Capture Sound Buffer"},
       "Failed to Create Capture Sound Buffer"},
      // Nothing can be made in a directory that is gone, even by root; its
      // log goes with it.
      {[](test::FakeCaptureScript&) {
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
    audio.script = {};
    notifier.shown.clear();
    c.setup(audio.script);
    HoldPreviousClip();
    EXPECT_FALSE(StartRecording(engine));
    EXPECT_FALSE(engine.IsRecording());
    EXPECT_EQ(audio.script.buffers_alive + audio.script.devices_alive, 0);
    EXPECT_FALSE(StopRecording(engine));
    std::filesystem::current_path(case_dir.path());
    EXPECT_EQ(test::CriticalLogLines(), c.log);
    ASSERT_EQ(notifier.shown.size(), 1U);
    EXPECT_EQ(notifier.shown[0].text, c.shown);
    ExpectPreviousClip();
  }
}

// A recording that can't be put in place (a full disk, a directory named
// "tmp") is a failed load: no clip, never an older "tmp", nothing left over.
TEST_F(RecordingTest, RecordingThatCantBeWrittenGivesNoClip) {
  std::filesystem::create_directory("tmp");
  HoldPreviousClip();
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
    ASSERT_TRUE(StartRecording(engine));
    audio.Capture(copied);
    ASSERT_EQ(PollCapture(engine), CapturePoll::Copied);
    ASSERT_TRUE(FinishRecording(engine));
    EXPECT_FALSE(engine.HasData());
    ExpectFinishedTmp(copied);
    ASSERT_TRUE(StartRecording(engine));
    audio.Capture(Pattern(300));
    ASSERT_EQ(PollCapture(engine), CapturePoll::Copied);
  }
  EXPECT_EQ(audio.script.buffers_alive, 0);
  ExpectFinishedTmp(copied);
  EXPECT_TRUE(test::RoutineLogLines().empty());
  EXPECT_EQ(FilesHere(), 1U) << "no part file";
}

}  // namespace
