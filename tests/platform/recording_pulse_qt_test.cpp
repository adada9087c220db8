// Recording through Qt Multimedia from a real sound server whose microphone is
// a FIFO (started by scripts/test-services.sh). A paced writer feeds a shot
// train in real time while the engine polls the way the main loop does.

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>

#include "engine/clip_files.h"
#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "platform/qt_audio_system.h"
#include "shell/control_ids.h"
#include "shell/qt_shell_harness.h"
#include "shell/readout_texts.h"
#include "shell/shell_loop.h"
#include "support/sound_server.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

struct Figures {
  std::int32_t shots = 0;
  float average = 0.0F;
  float highest = 0.0F;
  float lowest = 0.0F;
};

Figures FiguresOf(const SoundEngine& engine) {
  return {engine.GetNumberOfShots(), engine.GetAverageRof(), engine.GetHighestRof(),
          engine.GetLowestRof()};
}

Figures FiguresOfFile(const Bytes& samples) {
  test::WriteBytes("reference.wav", test::MakeWave8(kCaptureSampleRate, samples));
  SilentAudioSystem silent;
  SoundEngine engine(&silent, nullptr);
  LoadClip(engine, "reference.wav");
  return FiguresOf(engine);
}

// Quiet lead-in, `shots` onsets at `bps`, quiet tail.
Bytes ShotTrain(std::uint32_t shots, std::uint32_t bps) {
  const std::uint32_t lead = kCaptureSampleRate / 4;
  const std::uint32_t spacing = kCaptureSampleRate / bps;
  std::vector<std::uint32_t> starts;
  for (std::uint32_t k = 0; k < shots; ++k) {
    starts.push_back(lead + k * spacing);
  }
  return test::MakeShotTrain(lead + shots * spacing + kCaptureSampleRate / 2, starts);
}

// One poll of the main loop's recording step, with what it saw.
struct Turn {
  double at_ms = 0;
  std::uint32_t sample_count = 0;
};

// Prints how the capture kept pace with the writer: latency, rate and the
// longest stretch of polls that brought nothing.
void ReportCaptureFigures(const std::vector<Turn>& turns, double writer_start_ms,
                          double writer_end_ms, std::uint32_t fed_bytes) {
  double first_growth_ms = -1;
  double last_growth_ms = -1;
  double longest_gap_ms = 0;
  std::uint32_t previous_count = 0;
  for (const Turn& turn : turns) {
    if (turn.sample_count == previous_count) {
      continue;
    }
    if (first_growth_ms < 0) {
      first_growth_ms = turn.at_ms;
    } else {
      longest_gap_ms = std::max(longest_gap_ms, turn.at_ms - last_growth_ms);
    }
    last_growth_ms = turn.at_ms;
    previous_count = turn.sample_count;
  }
  const double fed_seconds = (writer_end_ms - writer_start_ms) / 1000.0;
  const double capture_seconds = (last_growth_ms - first_growth_ms) / 1000.0;
  std::cout << "capture figures: fed " << fed_bytes << " bytes in " << fed_seconds << " s ("
            << fed_bytes / fed_seconds << " B/s); captured " << previous_count << " bytes in "
            << turns.size() << " polls, first " << first_growth_ms - writer_start_ms
            << " ms after the writer started, last " << last_growth_ms - writer_end_ms
            << " ms after it ended (" << previous_count / capture_seconds
            << " B/s in between); longest gap between polls that brought bytes " << longest_gap_ms
            << " ms\n";
}

class RecordingWithSoundServer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::SoundServerConfigured()) {
      GTEST_SKIP() << "PULSE_SERVER is not set: run under scripts/test.sh, which starts the "
                      "test sound server";
    }
    microphone_lock_ = std::make_unique<test::MicrophoneLock>();
    ASSERT_TRUE(test::ReloadFifoMicrophone());
    // Qt learns of the reloaded source from the server's events.
    ASSERT_TRUE(QTest::qWaitFor([] { return !QMediaDevices::defaultAudioInput().isNull(); }, 5000))
        << "Qt lists no default audio input";
  }
  test::ScopedWorkDir dir;

 private:
  std::unique_ptr<test::MicrophoneLock> microphone_lock_;
};

TEST_F(RecordingWithSoundServer, RecordedShotTrainMeasuresLikeTheSameFile) {
  const Bytes train = ShotTrain(45, 15);
  const Figures expected = FiguresOfFile(train);
  ASSERT_GT(expected.shots, 40);

  QtAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine(&audio, &notifier);
  EXPECT_TRUE(test::CriticalLogLines().empty()) << "the server has an output";

  ASSERT_TRUE(StartRecording(engine));
  const auto start = Clock::now();
  const auto since_start_ms = [&] {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  test::PacedFifoWriter writer(test::MicrophoneFifo(), train);
  const double writer_start_ms = since_start_ms();

  // The main loop's recording step, every ~20 ms, until everything fed has
  // arrived or clearly never will.
  std::vector<Turn> turns;
  const double give_up_ms =
      1000.0 * static_cast<double>(train.size()) / kCaptureSampleRate + 3000.0;
  while (engine.sample_count < train.size() && since_start_ms() < give_up_ms) {
    QTest::qWait(20);
    ASSERT_GE(PollCapture(engine), 0);
    turns.push_back({since_start_ms(), engine.sample_count});
  }
  writer.Join();
  ASSERT_TRUE(writer.Succeeded()) << writer.Error();
  ReportCaptureFigures(turns, writer_start_ms, writer.EndMs(start),
                       static_cast<std::uint32_t>(train.size()));

  ASSERT_TRUE(StopRecording(engine));
  const Bytes file = test::ReadBytes("tmp");
  ASSERT_GE(file.size(), 44U);
  EXPECT_EQ(test::MakeWave8(kCaptureSampleRate, Bytes(file.begin() + 44, file.end())), file)
      << "\"tmp\" is the finished 8-bit mono 22050 Hz WAVE file of its data";
  EXPECT_EQ(Bytes(file.begin() + 44, file.end()), train) << "exactly the bytes fed, in order";

  const Figures recorded = FiguresOf(engine);
  EXPECT_NEAR(recorded.shots, expected.shots, 1);
  EXPECT_NEAR(recorded.highest, expected.highest, expected.highest * 0.01F);
  EXPECT_NEAR(recorded.lowest, expected.lowest, expected.lowest * 0.01F);
  EXPECT_NEAR(recorded.average, 15.0F, 0.15F);
  EXPECT_TRUE(notifier.shown.empty());
}

TEST_F(RecordingWithSoundServer, QtRingWrapsRoundAndHandsOutBothRegions) {
  constexpr std::uint32_t kSmallRing = 1000;
  QtAudioSystem audio;
  auto device = audio.CreateCaptureDevice();
  ASSERT_NE(device, nullptr);
  auto buffer = device->CreateCaptureBuffer(CaptureFormat{}, kSmallRing);
  ASSERT_NE(buffer, nullptr);
  std::uint32_t position = 0;
  EXPECT_LT(buffer->GetReadPosition(position), 0) << "not started yet";
  CaptureRegion first;
  CaptureRegion second;
  EXPECT_EQ(buffer->Lock(kSmallRing, 1, first, second), kCaptureInvalidArgument);
  EXPECT_EQ(buffer->Lock(0, kSmallRing + 1, first, second), kCaptureInvalidArgument);
  ASSERT_EQ(buffer->StartLooping(), 0);

  // Each 20 ms brings about 441 bytes, well inside the ring, so reading as
  // the engine does must give back every byte fed, across several wraps.
  Bytes fed(4321);
  for (std::size_t i = 0; i < fed.size(); ++i) {
    fed[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  }
  test::PacedFifoWriter writer(test::MicrophoneFifo(), fed);
  Bytes got;
  std::uint32_t cursor = 0;
  int two_region_locks = 0;
  const auto start = Clock::now();
  while (got.size() < fed.size() && Clock::now() - start < std::chrono::seconds(5)) {
    QTest::qWait(20);
    ASSERT_EQ(buffer->GetReadPosition(position), 0);
    ASSERT_LT(position, kSmallRing);
    const std::uint32_t count = (position + kSmallRing - cursor) % kSmallRing;
    if (count == 0) {
      continue;
    }
    ASSERT_EQ(buffer->Lock(cursor, count, first, second), 0);
    got.insert(got.end(), first.data, first.data + first.length);
    if (second.data != nullptr) {
      ++two_region_locks;
      got.insert(got.end(), second.data, second.data + second.length);
    }
    EXPECT_EQ(first.length + second.length, count);
    buffer->Unlock(first, second);
    cursor = position;
  }
  writer.Join();
  EXPECT_EQ(got, fed);
  EXPECT_GE(two_region_locks, 1);
  EXPECT_EQ(buffer->Stop(), 0);
}

// REC and STOP through the real dialog, with the main loop's recording step
// run every ~20 ms: the readouts then show the recorded clip.
TEST_F(RecordingWithSoundServer, RecAndStopInTheDialogShowTheRecordedFigures) {
  const Bytes train = ShotTrain(30, 15);
  const Figures expected = FiguresOfFile(train);
  QtAudioSystem audio;
  test::QtShellHarness shell(&audio);
  auto* rec = shell.Control<QPushButton>(kRecButton);
  auto* stop = shell.Control<QPushButton>(kStopButton);
  ASSERT_NE(rec, nullptr);
  ASSERT_NE(stop, nullptr);

  QTest::mouseClick(rec, Qt::LeftButton);
  ASSERT_TRUE(shell.engine.IsRecording());
  {
    test::PacedFifoWriter writer(test::MicrophoneFifo(), train);
    const auto start = Clock::now();
    while (shell.engine.GetSampleCount() < train.size() &&
           Clock::now() - start < std::chrono::seconds(8)) {
      QTest::qWait(20);
      ServiceRecording(shell.context);
    }
    writer.Join();
    ASSERT_TRUE(writer.Succeeded()) << writer.Error();
  }
  ASSERT_EQ(shell.engine.GetSampleCount(), train.size());
  QTest::mouseClick(stop, Qt::LeftButton);
  test::QtShellHarness::Settle();

  ASSERT_FALSE(shell.engine.IsRecording());
  const Figures recorded = FiguresOf(shell.engine);
  EXPECT_NEAR(recorded.shots, expected.shots, 1);
  EXPECT_NEAR(recorded.highest, expected.highest, expected.highest * 0.01F);
  EXPECT_NEAR(recorded.lowest, expected.lowest, expected.lowest * 0.01F);
  for (const FieldText& field : ReadoutFieldTexts(shell.engine, 1)) {
    const auto* edit = shell.Control<QLineEdit>(field.field_id);
    ASSERT_NE(edit, nullptr) << "field " << field.field_id;
    EXPECT_EQ(edit->text().toStdString(), field.text) << "field " << field.field_id;
  }
  EXPECT_TRUE(shell.notifier.shown.empty());
}

}  // namespace
