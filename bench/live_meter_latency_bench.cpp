// The live meter's latency through the real program loop (RunShell, its
// 20 ms recording turns, the main dialog on the offscreen platform) with the
// test sound server's FIFO microphone: a shot train is written into the FIFO
// at its real pace in 5 ms pieces, and for each shot the time from writing
// the sample that decides it (found beforehand by feeding the train to a
// live analysis in 1 ms steps) to the dialog's shot count showing it is
// taken. The shot's bar is drawn in the same turn as the count is set.
// Also reported: how often the readouts changed while the sound came in, and
// the longest gap between two updates.
//
// Run with the sound server of the tests:
//   source scripts/test-services.sh; StartTestServices
//   build/live_meter_latency_bench [seconds]
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/live_analysis.h"
#include "engine/recording.h"
#include "platform/qt_audio_system.h"
#include "shell/control_ids.h"
#include "shell/main_dialog_qt.h"
#include "shell/run_shell_qt.h"
#include "support/shell_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kShotSpacing = kCaptureSampleRate / 15;  // 15 BPS
constexpr std::uint32_t kFirstShot = kCaptureSampleRate / 5;
constexpr std::size_t kPieceBytes = kCaptureSampleRate / 200;  // 5 ms
constexpr std::uint32_t kAnalysisStep = kCaptureSampleRate / 1000;
constexpr int kObserveMs = 1;

// For each shot count n (from 1), the number of samples after which a live
// analysis first counts n shots.
std::vector<std::size_t> DecidingLengths(const std::vector<std::uint8_t>& train) {
  LiveAnalysis live(kCaptureSampleRate, Detector::Classic);
  std::vector<std::size_t> lengths;
  for (std::size_t done = 0; done < train.size();) {
    const std::size_t count = std::min<std::size_t>(kAnalysisStep, train.size() - done);
    FeedLiveAnalysis(live, train.data() + done, count);
    done += count;
    while (static_cast<std::int32_t>(lengths.size()) < live.engine.number_of_shots) {
      lengths.push_back(done);
    }
  }
  return lengths;
}

// Writes the train into the FIFO in pieces at its real pace; the time each
// piece was written.
class Feeder {
 public:
  explicit Feeder(const std::vector<std::uint8_t>& train) : train_(train) {}
  void Start() {
    thread_ = std::thread([this] {
      std::ofstream fifo(std::getenv("TAMBRIX_TEST_MIC_FIFO"), std::ios::binary);
      const Clock::time_point start = Clock::now();
      for (std::size_t done = 0, piece = 0; done < train_.size(); ++piece) {
        std::this_thread::sleep_until(start + piece * std::chrono::microseconds(5000));
        const std::size_t count = std::min(kPieceBytes, train_.size() - done);
        fifo.write(reinterpret_cast<const char*>(train_.data() + done),
                   static_cast<std::streamsize>(count));
        fifo.flush();
        const std::lock_guard<std::mutex> lock(mutex_);
        written_.push_back(Clock::now());
        done += count;
      }
      finished_ = true;
    });
  }
  void Join() {
    if (thread_.joinable()) {
      thread_.join();
    }
  }
  bool Finished() const { return finished_; }
  // When the sample at `index` was written.
  Clock::time_point WrittenAt(std::size_t index) {
    const std::lock_guard<std::mutex> lock(mutex_);
    return written_.at(index / kPieceBytes);
  }

 private:
  const std::vector<std::uint8_t>& train_;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Clock::time_point> written_;
  std::atomic<bool> finished_{false};
};

double Ms(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

void Report(const char* what, std::vector<double> values) {
  if (values.empty()) {
    std::printf("%s: none\n", what);
    return;
  }
  std::sort(values.begin(), values.end());
  std::printf("%s: %zu, median %.1f ms, 90%% %.1f ms, max %.1f ms\n", what, values.size(),
              values[values.size() / 2], values[values.size() * 9 / 10], values.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("PULSE_SERVER") == nullptr || std::getenv("TAMBRIX_TEST_MIC_FIFO") == nullptr) {
    std::fprintf(stderr,
                 "needs the test sound server: source scripts/test-services.sh; "
                 "StartTestServices\n");
    return 1;
  }
  const double seconds = argc > 1 ? std::atof(argv[1]) : 18.0;
  if (!(seconds > 1.0 && seconds < 20.0)) {
    std::fprintf(stderr, "seconds: more than 1 and less than the 20-second limit\n");
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  const auto sample_count = static_cast<std::uint32_t>(seconds * kCaptureSampleRate);
  std::vector<std::uint32_t> bursts;
  for (std::uint32_t at = kFirstShot; at + kShotSpacing < sample_count; at += kShotSpacing) {
    bursts.push_back(at);
  }
  const std::vector<std::uint8_t> train = test::MakeShotTrain(sample_count, bursts);
  const Clock::time_point analysed_from = Clock::now();
  const std::vector<std::size_t> deciding = DecidingLengths(train);
  std::printf("train: %.1f s, %zu bursts, %zu shots counted (found in %.0f ms)\n", seconds,
              bursts.size(), deciding.size(), Ms(Clock::now() - analysed_from));

  test::Shell shell;
  QtAudioSystem audio;
  shell.engine.audio_system = &audio;
  Feeder feeder(train);
  std::vector<Clock::time_point> shown_at;  // when the count first showed n + 1
  std::vector<Clock::time_point> updates;   // when the samples held changed
  MainDialog* dialog = nullptr;
  std::uint32_t samples_seen = 0;
  Clock::time_point finished_at{};
  QTimer observer;
  observer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&observer, &QTimer::timeout, [&] {
    if (dialog == nullptr) {
      dialog = qobject_cast<MainDialog*>(QApplication::activeWindow());
      if (dialog != nullptr) {
        qobject_cast<QAbstractButton*>(dialog->Control(kRecButton))->click();
        feeder.Start();
      }
      return;
    }
    const Clock::time_point now = Clock::now();
    const int shots = qobject_cast<QLabel*>(dialog->Control(kNumberOfShotsField))->text().toInt();
    while (static_cast<int>(shown_at.size()) < shots) {
      shown_at.push_back(now);
    }
    const std::uint32_t held = ShownAnalysis(shell.engine).GetSampleCount();
    if (shell.engine.IsRecording() && held != samples_seen) {
      samples_seen = held;
      updates.push_back(now);
    }
    if (feeder.Finished() && finished_at == Clock::time_point{}) {
      finished_at = now;
    }
    // A second for the last shots to arrive, then STOP and close.
    if (finished_at != Clock::time_point{} && now - finished_at > std::chrono::seconds(1)) {
      observer.stop();
      qobject_cast<QAbstractButton*>(dialog->Control(kStopButton))->click();
      dialog->close();
    }
  });
  observer.start(kObserveMs);
  RunShell(shell.engine, shell.display, shell.services);
  feeder.Join();

  std::vector<double> latencies;
  for (std::size_t n = 0; n < std::min(deciding.size(), shown_at.size()); ++n) {
    latencies.push_back(Ms(shown_at[n] - feeder.WrittenAt(deciding[n] - 1)));
  }
  std::printf("shots shown live: %zu of %zu\n", shown_at.size(), deciding.size());
  Report("latency, deciding sample written to shot count shown", latencies);
  std::vector<double> late(latencies.begin() + static_cast<std::ptrdiff_t>(latencies.size() / 2),
                           latencies.end());
  Report("  the later half of the recording", late);
  std::vector<double> gaps;
  for (std::size_t k = 1; k < updates.size(); ++k) {
    gaps.push_back(Ms(updates[k] - updates[k - 1]));
  }
  const double span = updates.size() > 1 ? Ms(updates.back() - updates.front()) / 1000.0 : 0.0;
  std::printf("readout updates while recording: %zu, %.1f a second\n", updates.size(),
              span > 0.0 ? static_cast<double>(updates.size() - 1) / span : 0.0);
  Report("gap between updates", gaps);
  std::printf("after STOP: %d shots, live at the end: %zu\n", shell.engine.GetNumberOfShots(),
              shown_at.size());
  return 0;
}
