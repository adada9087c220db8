// Both analysis passes over a 10-minute 48 kHz clip: the literal window
// scans, the engine's passes and one plain pass over the samples, with the
// two ratios that matter printed at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/analysis.h"
#include "engine/audio_devices.h"
#include "engine/sound_engine.h"
#include "realistic_clip.h"
#include "support/literal_analysis.h"

namespace {

constexpr double kRequiredSpeedup = 50.0;
constexpr double kAllowedPassCost = 5.0;

using bench::kSampleRate;
using Samples = std::vector<std::uint8_t>;

Samples& Clip() {
  static Samples clip = bench::MakeRealisticClip();
  return clip;
}

test::AnalysisFigures literal_figures;
test::AnalysisFigures engine_figures;

// Runs both passes on the shared clip, lent to a freshly reset engine.
template <typename Measure, typename Detect>
test::AnalysisFigures AnalyseClip(SoundEngine& engine, Measure measure, Detect detect) {
  Reset(engine);
  test::HoldClip(engine, std::move(Clip()), kSampleRate);
  const bool measured = measure(engine);
  const bool detected = measured && detect(engine);
  test::AnalysisFigures figures = test::TakeFigures(engine, measured, detected);
  Clip() = std::move(*engine.samples);
  return figures;
}

void BM_LiteralAnalysis(benchmark::State& state) {
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  for (auto _ : state) {
    literal_figures =
        AnalyseClip(engine, test::LiteralMeasureClipQuality, test::LiteralDetectShots);
  }
}
BENCHMARK(BM_LiteralAnalysis)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_EngineAnalysis(benchmark::State& state) {
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  for (auto _ : state) {
    engine_figures = AnalyseClip(engine, MeasureClipQuality, DetectShots);
  }
}
BENCHMARK(BM_EngineAnalysis)->Unit(benchmark::kMillisecond);

void BM_PlainPass(benchmark::State& state) {
  const Samples& clip = Clip();
  for (auto _ : state) {
    std::uint64_t sum = 0;
    for (const std::uint8_t sample : clip) {
      sum += sample;
    }
    volatile std::uint64_t sink = sum;
    static_cast<void>(sink);
  }
}
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's real time per iteration, all in milliseconds.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text: the figures usually end up in a log.
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      milliseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> milliseconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Clip();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const double literal = reporter.milliseconds["BM_LiteralAnalysis"];
  const double fast = reporter.milliseconds["BM_EngineAnalysis"];
  const double plain = reporter.milliseconds["BM_PlainPass"];
  if (literal <= 0.0 || fast <= 0.0 || plain <= 0.0) {
    std::printf("run all three benchmarks to get the ratios\n");
    return 0;
  }
  const std::string difference = test::FigureDifference(literal_figures, engine_figures);
  std::printf("shots: %u, quality: %d, average %.6f BPS\n", engine_figures.shot_list_count,
              engine_figures.clip_quality, static_cast<double>(engine_figures.average_rof));
  std::printf("figures identical to the literal analysis: %s\n",
              difference.empty() ? "yes" : difference.c_str());
  const double speedup = literal / fast;
  const double pass_cost = fast / plain;
  std::printf(
      "speedup over literal: %.1f (at least %.0f), cost relative to one pass: %.2f (at most "
      "%.0f)\n",
      speedup, kRequiredSpeedup, pass_cost, kAllowedPassCost);
  return difference.empty() && speedup >= kRequiredSpeedup && pass_cost <= kAllowedPassCost ? 0 : 1;
}
