// Recording through Qt Multimedia from a real sound server whose microphone is
// a FIFO (started by scripts/test-services.sh). A paced writer feeds it in
// real time while the test polls the way the main loop does.

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
#include "platform/qt_audio_system.h"
#include "shell/control_ids.h"
#include "shell/qt_shell_harness.h"
#include "engine/readout_texts.h"
#include "shell/control_ids.h"
#include "shell/shell_loop.h"
#include "support/sound_server.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
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

// REC and STOP in the real dialog, with the main loop's recording step every
// ~20 ms: "tmp" holds exactly what was fed, measured like the same file.
TEST_F(RecordingWithSoundServer, RecordedShotTrainMeasuresLikeTheSameFile) {
  const Bytes train = ShotTrain(45, 15);
  test::WriteBytes("reference.wav", test::MakeWave8(kCaptureSampleRate, train));
  SilentAudioSystem silent;
  SoundEngine reference(&silent, nullptr);
  LoadClip(reference, "reference.wav");
  ASSERT_GT(reference.GetNumberOfShots(), 40);

  QtAudioSystem audio;
  test::QtShellHarness shell(&audio);
  EXPECT_TRUE(test::CriticalLogLines().empty()) << "the server has an output";
  QTest::mouseClick(shell.Control<QPushButton>(kRecButton), Qt::LeftButton);
  ASSERT_TRUE(shell.engine.IsRecording());
  const auto start = Clock::now();
  {
    test::PacedFifoWriter writer(test::MicrophoneFifo(), train);
    const double writer_start_ms = MsSince(start);
    // When the capture first and last grew, and the longest wait between.
    double first_ms = -1;
    double last_ms = -1;
    double longest_gap_ms = 0;
    const double give_up_ms =
        1000.0 * static_cast<double>(train.size()) / kCaptureSampleRate + 3000.0;
    while (shell.engine.GetSampleCount() < train.size() && MsSince(start) < give_up_ms) {
      const std::uint32_t before = shell.engine.GetSampleCount();
      QTest::qWait(20);
      ServiceRecording(shell.context);
      if (shell.engine.GetSampleCount() != before) {
        const double now_ms = MsSince(start);
        longest_gap_ms = last_ms < 0 ? 0 : std::max(longest_gap_ms, now_ms - last_ms);
        first_ms = first_ms < 0 ? now_ms : first_ms;
        last_ms = now_ms;
      }
    }
    writer.Join();
    ASSERT_TRUE(writer.Succeeded()) << writer.Error();
    std::cout << "capture figures: first bytes " << first_ms - writer_start_ms
              << " ms after the writer started, last " << last_ms - writer.EndMs(start)
              << " ms after it ended, "
              << shell.engine.GetSampleCount() * 1000.0 / (last_ms - first_ms)
              << " B/s in between, longest gap " << longest_gap_ms << " ms\n";
  }
  ASSERT_EQ(shell.engine.GetSampleCount(), train.size());
  EXPECT_EQ(shell.state.quit_requested, 0);
  QTest::mouseClick(shell.Control<QPushButton>(kStopButton), Qt::LeftButton);
  test::QtShellHarness::Settle();

  ASSERT_FALSE(shell.engine.IsRecording());
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(kCaptureSampleRate, train))
      << "\"tmp\" is the 8-bit mono 22050 Hz WAVE file of exactly the bytes fed, in order";
  EXPECT_NEAR(shell.engine.GetNumberOfShots(), reference.GetNumberOfShots(), 1);
  EXPECT_NEAR(shell.engine.GetHighestRof(), reference.GetHighestRof(),
              reference.GetHighestRof() * 0.01F);
  EXPECT_NEAR(shell.engine.GetLowestRof(), reference.GetLowestRof(),
              reference.GetLowestRof() * 0.01F);
  EXPECT_NEAR(shell.engine.GetAverageRof(), 15.0F, 0.15F);
  for (const ReadoutText& readout : ReadoutTexts(shell.engine, RateUnit::Bps)) {
    EXPECT_EQ(shell.Control<QLineEdit>(ReadoutField(readout.readout))->text().toStdString(),
              readout.text)
        << "field " << ReadoutField(readout.readout);
  }
  EXPECT_TRUE(shell.notifier.shown.empty());
}

}  // namespace
