// The waveform view over the 10-minute 48 kHz clip: building its min/max
// summary, and one paint (the picture built and drawn into an image of the
// display's size with the labels' font) at the closest zoom, at zooms
// between and of the whole clip, around the shot in the clip's middle and at
// its end.
#include <benchmark/benchmark.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "display/display_colours.h"
#include "display/waveform_painter_qt.h"
#include "display/waveform_picture.h"
#include "display/waveform_view.h"
#include "engine/analysis.h"
#include "engine/audio_devices.h"
#include "engine/sound_engine.h"
#include "realistic_clip.h"
#include "support/literal_analysis.h"

namespace {

// The display's drawing area as the dialog opens it.
constexpr int kViewWidth = 500;
constexpr int kViewHeight = 143;
// Zoom arguments above this one mean the whole clip.
constexpr std::int64_t kWholeClip = 1 << 20;

SoundEngine& AnalysedClip() {
  static SilentAudioSystem audio;
  static SoundEngine engine(&audio, nullptr);
  if (!engine.samples.has_value()) {
    test::HoldClip(engine, bench::MakeRealisticClip(), bench::kSampleRate);
    MeasureClipQuality(engine);
    DetectShots(engine);
    std::printf("clip: %u samples, %u shots\n", engine.GetSampleCount(), engine.GetShotCount());
  }
  return engine;
}

void BM_BuildSummary(benchmark::State& state) {
  const SoundEngine& engine = AnalysedClip();
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildWaveformSummary(HeldSamples(engine)));
  }
}
BENCHMARK(BM_BuildSummary)->Unit(benchmark::kMillisecond);

// As the display measures a label: its font made anew each time.
std::int32_t MeasureLabel(const std::string& label) {
  return QFontMetrics(LabelFont(QGuiApplication::font()))
      .horizontalAdvance(QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size())));
}

void BM_Paint(benchmark::State& state) {
  const SoundEngine& engine = AnalysedClip();
  WaveformView view;
  view.summary = BuildWaveformSummary(HeldSamples(engine));
  view.zoom = state.range(0) >= kWholeClip ? FarthestZoom(engine.GetSampleCount(), kViewWidth)
                                           : static_cast<double>(state.range(0));
  // The second argument puts the view at the clip's end instead, where the
  // labels' layout starts furthest from the clip's start.
  const std::uint32_t middle = state.range(1) != 0
                                   ? engine.GetSampleCount()
                                   : engine.GetShot(engine.GetShotCount() / 2).position;
  view.view_offset = ClampViewOffset(kViewWidth / 2 + AlignedOffset(middle, view.zoom),
                                     LowerBound(engine.GetSampleCount(), kViewWidth, view.zoom));
  QImage image(kViewWidth, kViewHeight, QImage::Format_RGB32);
  std::size_t markers = 0;
  for (auto _ : state) {
    const WaveformPicture picture =
        BuildWaveformPicture(engine, view, {0, kViewWidth - 1}, MeasureLabel);
    DrawWaveformPicture(image, picture, kDisplayBackground, QGuiApplication::font());
    markers = picture.markers.size();
  }
  state.counters["markers"] = static_cast<double>(markers);
}
BENCHMARK(BM_Paint)
    ->Unit(benchmark::kMillisecond)
    ->ArgsProduct({{1, 16, 256, 2048, 4096, 8192, kWholeClip}, {0, 1}});

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application; no screen is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  AnalysedClip();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
