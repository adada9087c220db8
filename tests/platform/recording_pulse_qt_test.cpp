// Recording through Qt Multimedia from a real sound server whose microphone is
// a FIFO (started by scripts/test-services.sh), polled the way the main loop
// does, and without a server. Qt's sound backend connects once per process,
// so that case runs in a child process of its own.

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "platform/qt_audio_system.h"
#include "support/literal_analysis.h"
#include "support/sound_server.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

bool SkipWithoutServer() {
  if (!test::SoundServerConfigured()) {
    std::cerr << "PULSE_SERVER is not set: run under scripts/test.sh\n";
    return true;
  }
  return false;
}

// Feeds `bytes` in real time and polls until all of them arrived.
void FeedAndPoll(SoundEngine& engine, const Bytes& bytes) {
  test::PacedFifoWriter writer(test::MicrophoneFifo(), bytes);
  const int wait_ms = static_cast<int>(1000 * bytes.size() / kCaptureSampleRate) + 3000;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        EXPECT_NE(PollCapture(engine), CapturePoll::Failed);
        return engine.sample_count == bytes.size();
      },
      wait_ms));
  writer.Join();
  ASSERT_TRUE(writer.Succeeded()) << writer.Error();
}

void ExpectChildPassed(const std::string& test_name, const Lines& environment) {
  std::string output;
  EXPECT_EQ(test::RunTestInChildProcess(test_name, environment, output), 0) << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

// "tmp" holds exactly the bytes fed, in order, and measures like them.
TEST(RecordingWithSoundServer, RecordedShotTrainMeasuresLikeTheSameBytes) {
  if (SkipWithoutServer()) {
    GTEST_SKIP();
  }
  ASSERT_TRUE(QTest::qWaitFor([] { return !QMediaDevices::defaultAudioInput().isNull(); }, 5000));
  test::ScopedWorkDir dir;
  std::vector<std::uint32_t> starts;
  for (std::uint32_t k = 0; k < 45; ++k) {
    starts.push_back(5512 + k * 1470);
  }
  const Bytes train = test::MakeShotTrain(5512 + 46 * 1470 + 11025, starts);
  QtAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  ASSERT_TRUE(StartRecording(engine));
  FeedAndPoll(engine, train);
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(kCaptureSampleRate, train));
  EXPECT_EQ(test::FigureDifference(test::AnalyseWithEngine(train, kCaptureSampleRate),
                                   test::TakeFigures(engine, true, true)),
            "");
  EXPECT_TRUE(test::CriticalLogLines().empty()) << "the server has an output and a microphone";
}

TEST(SoundServerFailures, NoServerAtAll) {
  ExpectChildPassed("SoundServerFailures.DISABLED_NoServerAtAllChild",
                    {"PULSE_SERVER=unix:/nonexistent"});
}

TEST(SoundServerFailures, DISABLED_NoServerAtAllChild) {
  test::ScopedWorkDir dir;
  QtAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  EXPECT_FALSE(StartRecording(engine));
  EXPECT_EQ(test::CriticalLogLines(),
            (Lines{"Failed to Create Sound OBject", "Failed to create sound capture",
                   "Failed to Create Capture Sound Buffer"}));
  EXPECT_FALSE(std::filesystem::exists("tmp"));
}

}  // namespace
