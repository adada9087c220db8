#include "engine/recording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <numeric>

#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "support/fake_audio_system.h"
#include "support/literal_analysis.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using Lock = std::pair<std::uint32_t, std::uint32_t>;

// A counting pattern that tells any misplaced or reordered byte.
Bytes Pattern(std::size_t count, std::uint8_t first = 0) {
  Bytes bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) {
    joined.insert(joined.end(), part.begin(), part.end());
  }
  return joined;
}

// "tmp" is the finished 8-bit mono 22050 Hz WAVE file of `data`.
void ExpectFinishedTmp(const Bytes& data) {
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, data));
}

// A previous clip the failing starts must leave alone.
void HoldPreviousClip(SoundEngine& engine) {
  engine.samples = Pattern(300, 7);
  engine.sample_count = 300;
  engine.sample_rate = 11025;
}

void ExpectPreviousClip(const SoundEngine& engine) {
  EXPECT_EQ(engine.samples, Pattern(300, 7));
  EXPECT_EQ(engine.sample_count, 300U);
  EXPECT_EQ(engine.sample_rate, 11025U);
}

class RecordingTest : public ::testing::Test {
 protected:
  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
};

TEST_F(RecordingTest, CopiesEachPollsBytesAndFinishesAndLoadsTmpAtStop) {
  HoldPreviousClip(engine);
  EXPECT_FALSE(StopRecording(engine)) << "STOP while idle changes nothing";
  ExpectPreviousClip(engine);
  EXPECT_FALSE(std::filesystem::exists("tmp"));

  ASSERT_TRUE(StartRecording(engine));
  EXPECT_TRUE(engine.IsRecording());
  EXPECT_EQ(engine.sample_rate, 22050U);
  EXPECT_EQ(engine.sample_count, 0U);
  EXPECT_EQ(audio.script.requested_ring_bytes, 5292000U);
  EXPECT_EQ(audio.script.format.samples_per_sec, 22050U);
  EXPECT_EQ(audio.script.format.channels, 1);
  EXPECT_EQ(audio.script.format.bits_per_sample, 8);

  EXPECT_EQ(PollCapture(engine), 1) << "nothing captured yet";
  const Bytes first = Pattern(1000);
  audio.Capture(first);
  EXPECT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(engine.sample_count, 1000U);
  EXPECT_EQ(PollCapture(engine), 1);
  EXPECT_FALSE(StartRecording(engine)) << "REC while recording";
  EXPECT_TRUE(engine.IsRecording());
  EXPECT_EQ(audio.script.buffers_created, 1);
  const Bytes second = Pattern(441, 200);
  audio.Capture(second);
  EXPECT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(engine.sample_count, 1441U);
  EXPECT_FALSE(audio.script.locked) << "every lock is handed back";

  audio.Capture(Pattern(50));  // after the last poll: not copied
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_EQ(audio.script.stop_calls, 1);
  EXPECT_EQ(audio.script.buffers_alive, 0);
  EXPECT_EQ(audio.script.devices_alive, 0);
  ExpectFinishedTmp(Concat({first, second}));
  // Loaded back as the current clip, without a "Loading file - wave" entry.
  EXPECT_EQ(engine.samples, Concat({first, second}));
  EXPECT_EQ(engine.sample_count, 1441U);
  const Lines routine = test::RoutineLogLines();
  EXPECT_EQ(std::count(routine.begin(), routine.end(), "Loading file - wave"), 0);

  EXPECT_FALSE(StopRecording(engine));
  ExpectFinishedTmp(Concat({first, second}));
  EXPECT_TRUE(test::CriticalLogLines().empty());
}

TEST_F(RecordingTest, RangePassingTheRingEndGivesTwoRegionsInOrder) {
  ASSERT_TRUE(StartRecording(engine));
  const std::uint32_t ring = engine.capture.ring_bytes;
  ASSERT_EQ(ring, kRingBytes);
  const Bytes most = Pattern(ring - 100);
  const Bytes across = Pattern(300, 77);
  const Bytes to_end = Pattern(ring - 200, 5);
  audio.Capture(most);
  ASSERT_EQ(PollCapture(engine), 0);
  audio.Capture(across);
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(audio.script.locks.back(), (Lock{ring - 100, 300}));
  EXPECT_EQ(engine.capture.read_cursor, 200U) << "ends at the second region's length";
  EXPECT_EQ(engine.sample_count, ring + 200);
  audio.Capture(to_end);
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(engine.capture.read_cursor, 0U) << "a range ending at the ring's end";
  ASSERT_TRUE(StopRecording(engine));
  ExpectFinishedTmp(Concat({most, across, to_end}));
}

TEST_F(RecordingTest, ReadPositionBehindTheCursorCountsRoundTheRing) {
  ASSERT_TRUE(StartRecording(engine));
  const std::uint32_t ring = engine.capture.ring_bytes;
  audio.Capture(Pattern(5000));
  ASSERT_EQ(PollCapture(engine), 0);
  // More than a whole ring between two polls: only the distance modulo the
  // ring is copied, the rest was overwritten.
  audio.Capture(Bytes(ring + 10, 128));
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(audio.script.locks.back(), (Lock{5000, 10}));
  EXPECT_EQ(engine.sample_count, 5010U);
  // A position just behind the cursor copies all but one byte.
  audio.script.read_position_scripted = true;
  audio.script.scripted_read_position = 5009;
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(audio.script.locks.back(), (Lock{5010, ring - 1}));
  EXPECT_EQ(engine.capture.read_cursor, 5009U);
}

TEST_F(RecordingTest, PlatformFailuresInAPollAreReturnedUnchanged) {
  ASSERT_TRUE(StartRecording(engine));
  const Bytes before = Pattern(700);
  audio.Capture(before);
  ASSERT_EQ(PollCapture(engine), 0);

  audio.Capture(Pattern(300));
  audio.script.position_result = -2005401500;
  EXPECT_EQ(PollCapture(engine), -2005401500);
  audio.script.position_result = 0;
  audio.script.lock_result = -17;
  EXPECT_EQ(PollCapture(engine), -17);
  EXPECT_EQ(engine.sample_count, 700U) << "a failed poll copies nothing";
  EXPECT_EQ(engine.capture.read_cursor, 700U);

  // A position outside the ring is refused before anything is locked.
  audio.script.lock_result = 0;
  audio.script.read_position_scripted = true;
  audio.script.scripted_read_position = kRingBytes;
  const auto locks = audio.script.locks.size();
  EXPECT_EQ(PollCapture(engine), kCaptureInvalidArgument);
  EXPECT_LT(kCaptureInvalidArgument, 0);
  EXPECT_EQ(audio.script.locks.size(), locks);

  // The shell then stops: "tmp" holds what the good polls copied.
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_EQ(audio.script.buffers_alive, 0);
  EXPECT_EQ(audio.script.devices_alive, 0);
  ExpectFinishedTmp(before);
}

// A failed start is told, leaves the engine idle with the previous clip, and
// gives STOP nothing to do.
TEST(RecordingStart, FailedStartsAreShownAndLeaveNoRecordingRunning) {
  struct Case {
    const char* name;
    std::function<void(test::FakeCaptureScript&)> setup;
    Lines log;
    std::string shown;
  };
  // clang-format off
  const Case cases[] = {
      {"no capture device", [](test::FakeCaptureScript& s) { s.capture_available = false; },
       {"Failed to create sound capture", "Failed to Create Capture Sound Buffer"},
       "Failed to create sound capture"},
      {"buffer refused", [](test::FakeCaptureScript& s) { s.buffer_available = false; },
       {"Failed to Create Capture Sound Buffer"}, "Failed to Create Capture Sound Buffer"},
      // Nothing can be made in a directory that is gone, even by root; its
      // log goes with it.
      {"start directory gone", [](test::FakeCaptureScript&) {
         std::filesystem::create_directory("gone");
         std::filesystem::current_path("gone");
         std::filesystem::remove("../gone");
       }, {}, "Failed to open temp.wav"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScopedWorkDir dir;
    test::FakeAudioSystem audio;
    test::RecordingNotifier notifier;
    SoundEngine engine(&audio, &notifier);
    c.setup(audio.script);
    HoldPreviousClip(engine);
    EXPECT_FALSE(StartRecording(engine));
    EXPECT_FALSE(engine.IsRecording());
    EXPECT_EQ(audio.script.buffers_alive, 0);
    EXPECT_EQ(audio.script.devices_alive, 0);
    EXPECT_FALSE(StopRecording(engine));
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(test::CriticalLogLines(), c.log);
    ASSERT_EQ(notifier.shown.size(), 1U);
    EXPECT_EQ(notifier.shown[0].text, c.shown);
    ExpectPreviousClip(engine);
  }
}

// A recording that can't be put in place (a full disk, a directory named
// "tmp") is a failed load: no clip, never an older "tmp", nothing left over.
TEST_F(RecordingTest, RecordingThatCantBeWrittenGivesNoClip) {
  std::filesystem::create_directory("tmp");
  HoldPreviousClip(engine);
  ASSERT_TRUE(StartRecording(engine));
  audio.Capture(Pattern(900));
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_TRUE(StopRecording(engine));
  EXPECT_FALSE(engine.HasData());
  EXPECT_EQ(test::CriticalLogLines(), Lines{"Failed to write temp.wav"});
  ASSERT_EQ(notifier.shown.size(), 1U);
  EXPECT_EQ(notifier.shown[0].text, "Failed To Analize Due To No Data Allocation");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2) << "no part file";
}

TEST_F(RecordingTest, StartAfterALoadDiscardedARecordingBeginsClean) {
  ASSERT_TRUE(StartRecording(engine));
  audio.Capture(Pattern(3000));
  ASSERT_EQ(PollCapture(engine), 0);
  test::WriteBytes("clip.wav", test::MakeWave8(22050, Bytes(1000, 128)));
  LoadClip(engine, "clip.wav");
  EXPECT_FALSE(engine.IsRecording());

  ASSERT_TRUE(StartRecording(engine));
  EXPECT_EQ(audio.script.buffers_alive, 1) << "the abandoned buffer is released";
  EXPECT_EQ(audio.script.devices_alive, 1);
  const Bytes fresh = Pattern(600, 40);
  audio.Capture(fresh);
  ASSERT_EQ(PollCapture(engine), 0);
  ASSERT_TRUE(StopRecording(engine));
  ExpectFinishedTmp(fresh);
}

// Uneven chunks, the way the main loop's turns deliver them, measure like
// the same bytes analysed whole.
TEST_F(RecordingTest, CapturedShotTrainMeasuresLikeTheSameBytesFromAFile) {
  std::vector<std::uint32_t> starts;
  for (std::uint32_t k = 0; k < 40; ++k) {
    starts.push_back(22050 + k * 1470);
  }
  const Bytes train = test::MakeShotTrain(22050 * 2 + 40 * 1470, starts);
  ASSERT_TRUE(StartRecording(engine));
  for (std::size_t offset = 0, chunk = 1; offset < train.size(); chunk = chunk * 3 + 17) {
    const std::size_t size = std::min(chunk, train.size() - offset);
    const auto from = train.begin() + static_cast<std::ptrdiff_t>(offset);
    audio.Capture(Bytes(from, from + static_cast<std::ptrdiff_t>(size)));
    offset += size;
    ASSERT_EQ(PollCapture(engine), 0);
    EXPECT_EQ(engine.sample_count, offset);
  }
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_EQ(engine.samples, train);
  EXPECT_EQ(engine.GetClipLength(), 4U);
  EXPECT_NEAR(engine.GetAverageRof(), 15.0F, 0.1F);
  EXPECT_EQ(test::FigureDifference(test::AnalyseWithEngine(train, 22050),
                                   test::TakeFigures(engine, true, true)),
            "");
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
    ASSERT_EQ(PollCapture(engine), 0);
    ASSERT_TRUE(FinishRecording(engine));
    EXPECT_FALSE(engine.HasData());
    ExpectFinishedTmp(copied);
    ASSERT_TRUE(StartRecording(engine));
    audio.Capture(Pattern(300));
    ASSERT_EQ(PollCapture(engine), 0);
  }
  EXPECT_EQ(audio.script.buffers_alive, 0);
  ExpectFinishedTmp(copied);
  EXPECT_TRUE(test::RoutineLogLines().empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << "no part file";
}

}  // namespace
