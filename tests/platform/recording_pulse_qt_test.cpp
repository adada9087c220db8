// Recording through Qt Multimedia from a real sound server whose microphone is
// a FIFO (started by scripts/test-services.sh), polled the way the main loop
// does, and what happens when the server is missing or dies. Qt's sound
// backend connects once per process, so the failure cases run in child
// processes of their own (the DISABLED_ tests, started by their parents).

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

constexpr const char* kServerPidVariable = "TAMBRIX_TEST_SERVER_PID";

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
  const test::MicrophoneLock lock;
  ASSERT_TRUE(test::ReloadFifoMicrophone());
  // Qt learns of the reloaded source from the server's events.
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

TEST(SoundServerFailures, ServerDyingMidRecording) {
  if (SkipWithoutServer()) {
    GTEST_SKIP();
  }
  const test::PrivateSoundServer server(std::string(TAMBRIX_SOURCE_DIR) +
                                        "/scripts/test-services.sh");
  ASSERT_TRUE(server.Started());
  ExpectChildPassed("SoundServerFailures.DISABLED_ServerDyingMidRecordingChild",
                    {"PULSE_SERVER=" + server.Server(), "TAMBRIX_TEST_MIC_FIFO=" + server.Fifo(),
                     std::string(kServerPidVariable) + "=" + std::to_string(server.Pid())});
}

// The poll reports the lost server, and goes on reporting it; "tmp" keeps
// what was captured before.
TEST(SoundServerFailures, DISABLED_ServerDyingMidRecordingChild) {
  test::ScopedWorkDir dir;
  QtAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  ASSERT_TRUE(StartRecording(engine));
  const Bytes fed(kCaptureSampleRate / 2, 128);
  FeedAndPoll(engine, fed);
  ASSERT_EQ(::kill(std::atoi(std::getenv(kServerPidVariable)), SIGKILL), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return PollCapture(engine) == CapturePoll::Failed; }, 5000));
  EXPECT_EQ(PollCapture(engine), CapturePoll::Failed);
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(kCaptureSampleRate, fed));
}

}  // namespace
