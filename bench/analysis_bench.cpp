// Both analysis passes over a 10-minute 48 kHz clip: the literal window
// scans, the engine's passes and one plain pass over the samples, with the
// two ratios that matter printed at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/analysis.h"
#include "engine/audio_devices.h"
#include "engine/sound_engine.h"
#include "support/literal_analysis.h"

namespace {

constexpr std::uint32_t kSampleRate = 48000;
constexpr std::uint32_t kSampleCount = kSampleRate * 60 * 10;
constexpr double kHissLevel = 2.0;
constexpr std::uint32_t kStringSeconds = 3;
constexpr std::uint32_t kPauseSamples = kSampleRate * 3 / 2;
constexpr std::uint32_t kShotSamples = kSampleRate / 100;  // 10 ms of ringing
constexpr double kRequiredSpeedup = 50.0;
constexpr double kAllowedPassCost = 5.0;

using Samples = std::vector<std::uint8_t>;

// Hiss around mid-scale, and strings of shots at 10 to 16 balls per second
// with some jitter, each a decaying ring that clips at first.
Samples MakeRealisticClip() {
  std::mt19937 rng(20240607);
  std::normal_distribution<double> hiss(0.0, kHissLevel);
  std::vector<double> wave(kSampleCount);
  for (double& value : wave) {
    value = hiss(rng);
  }
  std::uniform_int_distribution<std::uint32_t> balls_per_second(10, 16);
  std::uniform_real_distribution<double> jitter(0.95, 1.05);
  std::uniform_real_distribution<double> amplitude(160.0, 320.0);
  std::uniform_real_distribution<double> pitch(1500.0, 3500.0);
  std::uniform_real_distribution<double> decay(40.0, 120.0);
  for (std::uint32_t position = kSampleRate / 2; position + kShotSamples < kSampleCount;) {
    const std::uint32_t string_end = position + kStringSeconds * kSampleRate;
    const double interval = kSampleRate / static_cast<double>(balls_per_second(rng));
    for (; position < string_end && position + kShotSamples < kSampleCount;
         position += static_cast<std::uint32_t>(interval * jitter(rng))) {
      const double a = amplitude(rng);
      const double step = 2.0 * std::numbers::pi * pitch(rng) / kSampleRate;
      const double tau = decay(rng);
      for (std::uint32_t k = 0; k < kShotSamples; ++k) {
        const double t = k;
        wave[position + k] += a * std::exp(-t / tau) * std::sin(step * t);
      }
    }
    position += kPauseSamples;
  }
  Samples samples(kSampleCount);
  std::transform(wave.begin(), wave.end(), samples.begin(), [](double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(128.0 + value), 0L, 255L));
  });
  return samples;
}

Samples& Clip() {
  static Samples clip = MakeRealisticClip();
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
