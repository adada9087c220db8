// The shot review of a 10-minute 48 kHz clip: opening the window (table,
// both plots, first paint), taking a new clip into an open one, and sorting
// the table by split. Two clips: the benchmarks' realistic one, and a train
// of 7,075 shots.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/analysis.h"
#include "engine/sound_engine.h"
#include "realistic_clip.h"
#include "shell/shot_review_qt.h"
#include "shell/shot_table_model_qt.h"
#include "support/literal_analysis.h"
#include "support/shell_fixture.h"
#include "support/test_support.h"

namespace {

constexpr std::uint32_t kTrainShots = 7075;
constexpr std::uint32_t kTrainSpacing = bench::kSampleCount / (kTrainShots + 1);

test::Shell& ShellWith(int clip) {
  static test::Shell realistic;
  static test::Shell train;
  test::Shell& shell = clip == 0 ? realistic : train;
  if (!shell.engine.samples.has_value()) {
    std::vector<std::uint8_t> samples;
    if (clip == 0) {
      samples = bench::MakeRealisticClip();
    } else {
      std::vector<std::uint32_t> starts(kTrainShots);
      for (std::uint32_t k = 0; k < kTrainShots; ++k) {
        starts[k] = (k + 1) * kTrainSpacing;
      }
      samples = test::MakeShotTrain(bench::kSampleCount, starts);
    }
    test::HoldClip(shell.engine, std::move(samples), bench::kSampleRate);
    MeasureClipQuality(shell.engine);
    DetectShots(shell.engine);
    std::printf("clip %d: %u samples, %u shots\n", clip, shell.engine.GetSampleCount(),
                shell.engine.GetShotCount());
  }
  return shell;
}

// Until the window has painted what it shows.
void Settle() { QApplication::processEvents(); }

void BM_OpenReview(benchmark::State& state) {
  test::Shell& shell = ShellWith(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto window = std::make_unique<ShotReviewWindow>(nullptr, shell.context, ReviewHooks{});
    window->ShowClip("clip.wav");
    window->show();
    Settle();
    state.PauseTiming();
    window.reset();
    Settle();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenReview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_NewClipInOpenReview(benchmark::State& state) {
  test::Shell& shell = ShellWith(static_cast<int>(state.range(0)));
  ShotReviewWindow window(nullptr, shell.context, ReviewHooks{});
  window.show();
  for (auto _ : state) {
    window.ShowClip("clip.wav");
    Settle();
  }
}
BENCHMARK(BM_NewClipInOpenReview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SortBySplit(benchmark::State& state) {
  test::Shell& shell = ShellWith(static_cast<int>(state.range(0)));
  ShotReviewWindow window(nullptr, shell.context, ReviewHooks{});
  window.ShowClip("clip.wav");
  window.show();
  Settle();
  bool ascending = true;
  for (auto _ : state) {
    window.Table()->sortByColumn(static_cast<int>(ShotColumn::Split),
                                 ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    ascending = !ascending;
    Settle();
  }
}
BENCHMARK(BM_SortBySplit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  ShellWith(0);
  ShellWith(1);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
