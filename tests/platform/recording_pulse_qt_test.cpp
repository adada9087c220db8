// Recording through Qt Multimedia from a real sound server whose microphone is
// a FIFO (started by scripts/test-services.sh), into the main dialog, served
// the way the main loop does.

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QLabel>
#include <QMediaDevices>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "display/display_widget_qt.h"
#include "engine/recording.h"
#include "platform/qt_audio_system.h"
#include "shell/control_ids.h"
#include "shell/main_dialog_qt.h"
#include "shell/shell_loop.h"
#include "support/literal_analysis.h"
#include "support/shell_fixture.h"

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

// Shots counted and drawn in the window as they arrive; at STOP "tmp" holds
// exactly the bytes fed, in order, and its load gives the last running figures.
TEST(RecordingWithSoundServer, ShowsShotsLiveAndRecordsExactlyTheBytesFed) {
  if (std::getenv("PULSE_SERVER") == nullptr) {
    GTEST_SKIP() << "PULSE_SERVER is not set: run under scripts/test.sh";
  }
  ASSERT_TRUE(QTest::qWaitFor([] { return !QMediaDevices::defaultAudioInput().isNull(); }, 5000));
  test::Shell s;
  QtAudioSystem audio;
  s.engine.audio_system = &audio;
  const std::unique_ptr<MainDialog> dialog = CreateMainDialog(s.context);
  std::vector<std::uint32_t> shots;
  for (std::uint32_t at = 2000; at < 3 * kCaptureSampleRate - 3000; at += 1100) {
    shots.push_back(at);
  }
  const Bytes train = test::MakeShotTrain(3 * kCaptureSampleRate, shots);
  QTest::mouseClick(dialog->Control(kRecButton), Qt::LeftButton);
  std::thread feed = FeedMicrophone(train);
  const auto turn = [&] {
    ServiceRecording(s.context);
    return ShotInView(s.view, ShownAnalysis(s.engine), s.display) &&
           qobject_cast<QLabel*>(dialog->Control(kNumberOfShotsField))->text().toInt() > 0;
  };
  EXPECT_TRUE(QTest::qWaitFor(turn, 10000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return turn() && s.engine.sample_count == train.size(); }));
  feed.join();
  const auto running = test::Describe(test::TakeFigures(ShownAnalysis(s.engine), true, true));
  QTest::mouseClick(dialog->Control(kStopButton), Qt::LeftButton);
  EXPECT_EQ(test::Describe(test::TakeFigures(s.engine, true, true)), running);
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(kCaptureSampleRate, train));
  EXPECT_EQ(s.engine.samples, train);
  EXPECT_TRUE(test::CriticalLogLines().empty()) << "the server has an output and a microphone";
}

}  // namespace
