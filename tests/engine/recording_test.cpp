#include "engine/recording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "support/fake_audio_system.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A counting pattern that tells any misplaced or reordered byte.
Bytes Pattern(std::size_t count, std::uint8_t first = 0) {
  Bytes bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

Bytes Concat(const Bytes& a, const Bytes& b) {
  Bytes joined = a;
  joined.insert(joined.end(), b.begin(), b.end());
  return joined;
}

std::uint32_t U32At(const Bytes& file, std::size_t offset) {
  return static_cast<std::uint32_t>(file[offset]) |
         (static_cast<std::uint32_t>(file[offset + 1]) << 8U) |
         (static_cast<std::uint32_t>(file[offset + 2]) << 16U) |
         (static_cast<std::uint32_t>(file[offset + 3]) << 24U);
}

std::uint16_t U16At(const Bytes& file, std::size_t offset) {
  return static_cast<std::uint16_t>(file[offset] | (file[offset + 1] << 8U));
}

std::string TagAt(const Bytes& file, std::size_t offset) {
  return {file.begin() + static_cast<std::ptrdiff_t>(offset),
          file.begin() + static_cast<std::ptrdiff_t>(offset + 4)};
}

// Checks "tmp" is the finished 8-bit mono 22050 Hz WAVE file of `data`.
void ExpectFinishedTmp(const Bytes& data) {
  const Bytes file = test::ReadBytes("tmp");
  ASSERT_EQ(file.size(), 44 + data.size());
  EXPECT_EQ(TagAt(file, 0), "RIFF");
  EXPECT_EQ(U32At(file, 4), 36 + data.size());
  EXPECT_EQ(TagAt(file, 8), "WAVE");
  EXPECT_EQ(TagAt(file, 12), "fmt ");
  EXPECT_EQ(U32At(file, 16), 16U);
  EXPECT_EQ(U16At(file, 20), 1);
  EXPECT_EQ(U16At(file, 22), 1);
  EXPECT_EQ(U32At(file, 24), 22050U);
  EXPECT_EQ(U32At(file, 28), 22050U);
  EXPECT_EQ(U16At(file, 32), 1);
  EXPECT_EQ(U16At(file, 34), 8);
  EXPECT_EQ(TagAt(file, 36), "data");
  EXPECT_EQ(U32At(file, 40), data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), file.begin() + 44)) << "captured bytes differ";
}

// A previous clip the failing starts must leave alone.
void HoldPreviousClip(SoundEngine& engine) {
  engine.samples = Pattern(300, 7);
  engine.sample_count = 300;
  engine.sample_rate = 11025;
  engine.number_of_shots = 3;
}

void ExpectPreviousClip(const SoundEngine& engine) {
  ASSERT_TRUE(engine.samples.has_value());
  EXPECT_EQ(*engine.samples, Pattern(300, 7));
  EXPECT_EQ(engine.sample_count, 300U);
  EXPECT_EQ(engine.sample_rate, 11025U);
  EXPECT_EQ(engine.number_of_shots, 3);
}

// Onsets every `spacing` samples, a second of lead-in and tail.
Bytes ShotTrain(std::uint32_t shots, std::uint32_t spacing) {
  std::vector<std::uint32_t> starts;
  for (std::uint32_t k = 0; k < shots; ++k) {
    starts.push_back(22050 + k * spacing);
  }
  return test::MakeShotTrain(22050 * 2 + shots * spacing, starts);
}

class RecordingTest : public ::testing::Test {
 protected:
  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
};

TEST_F(RecordingTest, CopiesEachPollsBytesAfterTheGapAndFinishesTmpAtStop) {
  ASSERT_TRUE(StartRecording(engine));
  EXPECT_TRUE(engine.IsRecording());
  EXPECT_EQ(engine.sample_rate, 22050U);
  EXPECT_EQ(engine.sample_count, 0U);
  EXPECT_EQ(audio.script.start_calls, 1);
  EXPECT_EQ(audio.script.requested_ring_bytes, 5292000U);
  EXPECT_EQ(audio.script.format.samples_per_sec, 22050U);
  EXPECT_EQ(audio.script.format.channels, 1);
  EXPECT_EQ(audio.script.format.bits_per_sample, 8);

  EXPECT_EQ(PollCapture(engine), 1) << "nothing captured yet";
  const Bytes first = Pattern(1000);
  audio.Capture(first);
  EXPECT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(engine.sample_count, 1000U);
  EXPECT_EQ(engine.capture.read_cursor, 1000U);
  EXPECT_EQ(PollCapture(engine), 1);
  const Bytes second = Pattern(441, 200);
  audio.Capture(second);
  EXPECT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(engine.sample_count, 1441U);
  EXPECT_FALSE(audio.script.locked) << "every lock is handed back";

  // Bytes arriving after the last poll are not copied.
  audio.Capture(Pattern(50));
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_EQ(audio.script.stop_calls, 1);
  EXPECT_EQ(audio.script.buffers_alive, 0);
  EXPECT_EQ(audio.script.devices_alive, 0);
  EXPECT_EQ(engine.capture.temp_file, nullptr);
  ExpectFinishedTmp(Concat(first, second));

  // Loaded back as the current clip, without a "Loading file - wave" entry.
  ASSERT_TRUE(engine.HasData());
  EXPECT_EQ(engine.sample_count, 1441U);
  EXPECT_EQ(*engine.samples, Concat(first, second));
  const auto routine = test::RoutineLogLines();
  EXPECT_EQ(std::count(routine.begin(), routine.end(), "Loading file - wave"), 0);
}

TEST_F(RecordingTest, RangePassingTheRingEndGivesTwoRegionsInOrder) {
  ASSERT_TRUE(StartRecording(engine));
  const std::uint32_t ring = engine.capture.ring_bytes;
  ASSERT_EQ(ring, kRingBytes);

  const Bytes most = Pattern(ring - 100);
  audio.Capture(most);
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(engine.capture.read_cursor, ring - 100);

  const Bytes across = Pattern(300, 77);
  audio.Capture(across);
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(audio.script.locks.back(), (std::pair<std::uint32_t, std::uint32_t>{ring - 100, 300}));
  EXPECT_EQ(engine.capture.read_cursor, 200U) << "ends at the second region's length";
  EXPECT_EQ(engine.sample_count, ring + 200);

  // A range ending exactly at the end of the ring leaves the cursor at 0.
  const Bytes to_end = Pattern(ring - 200, 5);
  audio.Capture(to_end);
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(engine.capture.read_cursor, 0U);

  ASSERT_TRUE(StopRecording(engine));
  ExpectFinishedTmp(Concat(Concat(most, across), to_end));
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
  EXPECT_EQ(audio.script.locks.back(), (std::pair<std::uint32_t, std::uint32_t>{5000, 10}));
  EXPECT_EQ(engine.sample_count, 5010U);

  // A scripted position just behind the cursor copies all but one byte.
  audio.script.read_position_scripted = true;
  audio.script.scripted_read_position = 5009;
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_EQ(audio.script.locks.back(), (std::pair<std::uint32_t, std::uint32_t>{5010, ring - 1}));
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

  // The shell stops the recording after a failed poll: the capture is
  // released and "tmp" finished with what the good polls copied.
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_EQ(audio.script.buffers_alive, 0);
  EXPECT_EQ(audio.script.devices_alive, 0);
  ExpectFinishedTmp(before);
  EXPECT_EQ(engine.sample_count, 700U);
}

TEST_F(RecordingTest, RecWhileRecordingIsRefusedAndTheRecordingGoesOn) {
  ASSERT_TRUE(StartRecording(engine));
  const Bytes first = Pattern(2000);
  audio.Capture(first);
  ASSERT_EQ(PollCapture(engine), 0);

  EXPECT_FALSE(StartRecording(engine));
  EXPECT_TRUE(engine.IsRecording());
  EXPECT_EQ(audio.script.buffers_created, 1);
  EXPECT_EQ(engine.sample_count, 2000U);

  const Bytes second = Pattern(500, 9);
  audio.Capture(second);
  ASSERT_EQ(PollCapture(engine), 0);
  ASSERT_TRUE(StopRecording(engine));
  ExpectFinishedTmp(Concat(first, second));
  EXPECT_TRUE(test::CriticalLogLines().empty());
}

TEST_F(RecordingTest, StopWhileIdleChangesNothing) {
  HoldPreviousClip(engine);
  EXPECT_FALSE(StopRecording(engine));
  ExpectPreviousClip(engine);
  EXPECT_FALSE(std::filesystem::exists("tmp"));
  EXPECT_TRUE(test::CriticalLogLines().empty());

  // Also after a finished recording.
  ASSERT_TRUE(StartRecording(engine));
  ASSERT_TRUE(StopRecording(engine));
  const Bytes finished = test::ReadBytes("tmp");
  EXPECT_FALSE(StopRecording(engine));
  EXPECT_EQ(test::ReadBytes("tmp"), finished);
}

TEST_F(RecordingTest, NoCaptureDeviceLogsBothFailuresAndStopLoadsNothing) {
  audio.script.capture_available = false;
  HoldPreviousClip(engine);

  EXPECT_FALSE(StartRecording(engine));
  EXPECT_TRUE(engine.IsRecording()) << "stays set until STOP or the limit";
  EXPECT_EQ(test::CriticalLogLines(),
            (std::vector<std::string>{"Failed to create sound capture",
                                      "Failed to Create Capture Sound Buffer"}));
  EXPECT_EQ(PollCapture(engine), 1);
  EXPECT_FALSE(std::filesystem::exists("tmp"));
  ExpectPreviousClip(engine);

  EXPECT_FALSE(StopRecording(engine));
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_EQ(test::CriticalLogLines().back(), "No File Pointer To temp.wav");
  EXPECT_EQ(test::CriticalLogLines().size(), 3U);
  ExpectPreviousClip(engine);
  EXPECT_TRUE(notifier.shown.empty());
}

TEST_F(RecordingTest, RefusedBufferLogsOnceAndTheDeviceIsReleasedAtStop) {
  audio.script.buffer_available = false;
  EXPECT_FALSE(StartRecording(engine));
  EXPECT_EQ(test::CriticalLogLines(),
            std::vector<std::string>{"Failed to Create Capture Sound Buffer"});
  EXPECT_EQ(audio.script.devices_alive, 1);
  EXPECT_EQ(engine.capture.ring_bytes, kRingBytes);

  EXPECT_FALSE(StopRecording(engine));
  EXPECT_EQ(audio.script.devices_alive, 0);
  EXPECT_EQ(test::CriticalLogLines().back(), "No File Pointer To temp.wav");
}

TEST_F(RecordingTest, UncreatableTmpLeavesCaptureRunningWithNowhereToWrite) {
  std::filesystem::create_directory("tmp");
  HoldPreviousClip(engine);

  EXPECT_FALSE(StartRecording(engine));
  EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>{"Failed to open temp.wav"});
  EXPECT_EQ(audio.script.start_calls, 1);
  EXPECT_EQ(engine.sample_rate, 22050U);
  EXPECT_EQ(engine.sample_count, 0U);

  audio.Capture(Pattern(4000));
  EXPECT_EQ(PollCapture(engine), 1);
  EXPECT_TRUE(audio.script.locks.empty());
  EXPECT_EQ(engine.sample_count, 0U);

  EXPECT_FALSE(StopRecording(engine));
  EXPECT_EQ(test::CriticalLogLines().back(), "No File Pointer To temp.wav");
  EXPECT_EQ(audio.script.buffers_alive, 0);
  EXPECT_EQ(engine.sample_count, 0U);
  EXPECT_EQ(engine.sample_rate, 22050U);
  EXPECT_FALSE(engine.HasData());
}

TEST_F(RecordingTest, CreateCaptureBufferNeedsADeviceAndAPlaceForTheBuffer) {
  auto device = audio.CreateCaptureDevice();
  std::unique_ptr<CaptureBuffer> buffer;
  EXPECT_FALSE(CreateCaptureBuffer(engine, nullptr, &buffer));
  EXPECT_EQ(engine.capture.ring_bytes, kRingBytes) << "set before the checks";
  EXPECT_FALSE(CreateCaptureBuffer(engine, device.get(), nullptr));
  EXPECT_EQ(audio.script.buffers_created, 0);

  engine.capture.read_cursor = 123;
  EXPECT_TRUE(CreateCaptureBuffer(engine, device.get(), &buffer));
  EXPECT_NE(buffer, nullptr);
  EXPECT_EQ(engine.capture.read_cursor, 0U);
}

TEST_F(RecordingTest, StartAfterALoadDiscardedARecordingBeginsClean) {
  ASSERT_TRUE(StartRecording(engine));
  audio.Capture(Pattern(3000));
  ASSERT_EQ(PollCapture(engine), 0);

  // A load resets the engine in the middle of the recording.
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

TEST_F(RecordingTest, CapturedShotTrainMeasuresLikeTheSameBytesFromAFile) {
  const Bytes train = ShotTrain(40, 22050 / 15);
  test::WriteBytes("train.wav", test::MakeWave8(22050, train));
  LoadClip(engine, "train.wav");
  const float average = engine.GetAverageRof();
  const float highest = engine.GetHighestRof();
  const float lowest = engine.GetLowestRof();
  const std::int32_t shots = engine.GetNumberOfShots();
  const std::int16_t quality = engine.GetClipQuality();
  const std::uint32_t length = engine.GetClipLength();
  ASSERT_GT(shots, 30);
  ASSERT_NEAR(average, 15.0F, 0.1F);

  ASSERT_TRUE(StartRecording(engine));
  // Uneven chunks, the way the main loop's turns deliver them.
  std::size_t offset = 0;
  std::size_t chunk = 1;
  while (offset < train.size()) {
    const std::size_t size = std::min(chunk, train.size() - offset);
    audio.Capture(Bytes(train.begin() + static_cast<std::ptrdiff_t>(offset),
                        train.begin() + static_cast<std::ptrdiff_t>(offset + size)));
    offset += size;
    ASSERT_EQ(PollCapture(engine), 0);
    EXPECT_EQ(engine.sample_count, offset);
    chunk = chunk * 3 + 17;
  }
  ASSERT_TRUE(StopRecording(engine));

  EXPECT_EQ(engine.GetSampleCount(), train.size());
  EXPECT_EQ(engine.GetAverageRof(), average);
  EXPECT_EQ(engine.GetHighestRof(), highest);
  EXPECT_EQ(engine.GetLowestRof(), lowest);
  EXPECT_EQ(engine.GetNumberOfShots(), shots);
  EXPECT_EQ(engine.GetClipQuality(), quality);
  EXPECT_EQ(engine.GetClipLength(), length);
}

TEST(RecordingLifetime, EngineEndingMidRecordingLeavesTmpUnfinished) {
  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  const Bytes copied = Pattern(900);
  {
    SoundEngine engine(&audio, nullptr);
    ASSERT_TRUE(StartRecording(engine));
    audio.Capture(copied);
    ASSERT_EQ(PollCapture(engine), 0);
  }
  EXPECT_EQ(audio.script.buffers_alive, 0);
  EXPECT_EQ(test::ReadBytes("tmp"), Concat(Bytes(44, 0), copied));
}

TEST(RecordingLifetime, SaveDuringARecordingWritesNothing) {
  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  ASSERT_TRUE(StartRecording(engine));
  audio.Capture(Pattern(900));
  ASSERT_EQ(PollCapture(engine), 0);
  EXPECT_FALSE(SaveWave(engine, "saved.wav"));
  EXPECT_FALSE(std::filesystem::exists("saved.wav"));
}

}  // namespace
