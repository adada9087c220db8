// Recording when the sound server is missing or dies. Qt's sound backend
// connects once per process, so each case runs in a child process of its own
// (the DISABLED_ tests below), started by the test of the same name.

#include <gtest/gtest.h>

#include <QTest>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "platform/qt_audio_system.h"
#include "support/sound_server.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

constexpr const char* kServerPidVariable = "TAMBRIX_TEST_SERVER_PID";

void ExpectChildPassed(const std::string& test_name, const Lines& environment) {
  std::string output;
  const int code = test::RunTestInChildProcess(test_name, environment, output);
  EXPECT_EQ(code, 0) << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

TEST(SoundServerFailures, NoServerAtAll) {
  ExpectChildPassed("SoundServerFailures.DISABLED_NoServerAtAllChild",
                    {"PULSE_SERVER=unix:/nonexistent"});
}

TEST(SoundServerFailures, DISABLED_NoServerAtAllChild) {
  test::ScopedWorkDir dir;
  QtAudioSystem audio;
  EXPECT_EQ(audio.CreateCaptureDevice(), nullptr);
  SoundEngine engine(&audio, nullptr);
  EXPECT_EQ(test::CriticalLogLines(), Lines{"Failed to Create Sound OBject"});

  EXPECT_FALSE(StartRecording(engine));
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_EQ(test::CriticalLogLines(),
            (Lines{"Failed to Create Sound OBject", "Failed to create sound capture",
                   "Failed to Create Capture Sound Buffer"}));
  EXPECT_FALSE(std::filesystem::exists("tmp"));
}

TEST(SoundServerFailures, ServerDyingMidRecording) {
  if (!test::SoundServerConfigured()) {
    GTEST_SKIP() << "PULSE_SERVER is not set: run under scripts/test.sh, which provides "
                    "pulseaudio";
  }
  const test::PrivateSoundServer server(std::string(TAMBRIX_SOURCE_DIR) +
                                        "/scripts/test-services.sh");
  ASSERT_TRUE(server.Started());
  ExpectChildPassed("SoundServerFailures.DISABLED_ServerDyingMidRecordingChild",
                    {"PULSE_SERVER=" + server.Server(), "TAMBRIX_TEST_MIC_FIFO=" + server.Fifo(),
                     std::string(kServerPidVariable) + "=" + std::to_string(server.Pid())});
}

TEST(SoundServerFailures, DISABLED_ServerDyingMidRecordingChild) {
  const char* pid_text = std::getenv(kServerPidVariable);
  ASSERT_NE(pid_text, nullptr);
  test::ScopedWorkDir dir;
  QtAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  ASSERT_TRUE(StartRecording(engine));

  const Bytes fed(kCaptureSampleRate / 2, 128);
  {
    test::PacedFifoWriter writer(test::MicrophoneFifo(), fed);
    writer.Join();
    ASSERT_TRUE(writer.Succeeded()) << writer.Error();
  }
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        EXPECT_GE(PollCapture(engine), 0);
        return engine.sample_count == fed.size();
      },
      3000));

  ASSERT_EQ(::kill(std::atoi(pid_text), SIGKILL), 0);
  std::int32_t result = 0;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        result = PollCapture(engine);
        return result < 0;
      },
      5000))
      << "the poll never reported the lost server";
  EXPECT_EQ(PollCapture(engine), result) << "and goes on reporting it";

  // What the shell then does: stop, finish "tmp" and load it.
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(kCaptureSampleRate, fed));
  EXPECT_EQ(engine.GetSampleCount(), fed.size());
  EXPECT_EQ(test::CriticalLogLines(), Lines{}) << "the engine logs no poll failure itself";
}

}  // namespace
