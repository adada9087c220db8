// Recording through Qt Multimedia from a real sound server whose microphone is
// a FIFO (started by scripts/test-services.sh), polled the way the main loop
// does.

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "platform/qt_audio_system.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Writes `bytes` into the FIFO microphone at 22050 bytes a second, as a
// microphone delivers them, while the test polls.
std::thread FeedMicrophone(const Bytes& bytes) {
  return std::thread([&bytes] {
    std::ofstream fifo(std::getenv("TAMBRIX_TEST_MIC_FIFO"), std::ios::binary);
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t done = 0, tick = 1; done < bytes.size(); ++tick) {
      std::this_thread::sleep_until(start + tick * std::chrono::milliseconds(20));
      const std::size_t count = std::min<std::size_t>(kCaptureSampleRate / 50, bytes.size() - done);
      fifo.write(reinterpret_cast<const char*>(bytes.data() + done),
                 static_cast<std::streamsize>(count));
      fifo.flush();
      done += count;
    }
  });
}

// "tmp" holds exactly the bytes fed, in order, and they are loaded back.
TEST(RecordingWithSoundServer, RecordsExactlyTheBytesFed) {
  if (std::getenv("PULSE_SERVER") == nullptr) {
    GTEST_SKIP() << "PULSE_SERVER is not set: run under scripts/test.sh";
  }
  ASSERT_TRUE(QTest::qWaitFor([] { return !QMediaDevices::defaultAudioInput().isNull(); }, 5000));
  test::ScopedWorkDir dir;
  const Bytes train = test::Pattern(3 * kCaptureSampleRate);
  QtAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  ASSERT_TRUE(StartRecording(engine));
  std::thread feed = FeedMicrophone(train);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        EXPECT_NE(PollCapture(engine), CapturePoll::Failed);
        return engine.sample_count == train.size();
      },
      10000));
  feed.join();
  ASSERT_TRUE(StopRecording(engine));
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(kCaptureSampleRate, train));
  EXPECT_EQ(engine.samples, train);
  EXPECT_TRUE(test::CriticalLogLines().empty()) << "the server has an output and a microphone";
}

}  // namespace
