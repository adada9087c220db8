#include "engine/live_analysis.h"

#include <algorithm>
#include <new>

#include "engine/analysis.h"
#include "engine/shot_figures.h"

namespace {

// Room is added an eighth at a time, so the samples take about a byte each,
// as a loaded clip's do, and each byte is copied a few times at most.
constexpr std::size_t kGrowthDivisor = 8;
constexpr std::size_t kMinimumGrowth = std::size_t{1} << 16;

void Append(std::vector<std::uint8_t>& held, const std::uint8_t* samples, std::size_t count) {
  if (held.capacity() - held.size() < count) {
    held.reserve(held.size() + std::max(count, held.size() / kGrowthDivisor + kMinimumGrowth));
  }
  held.insert(held.end(), samples, samples + count);
}

void ContinueClassic(LiveAnalysis& live) {
  SoundEngine& engine = live.engine;
  CountQuality(live.counts, engine.samples->data(), AnalysedEnd(engine));
  if (!live.classic || live.counts.peak != live.bands_peak) {
    ClearAnalysis(engine);
    live.bands_peak = live.counts.peak;
    engine.peak_sample = live.bands_peak;
    live.classic = StartClassicDetection(engine);
    ++live.reruns;
  }
  ApplyQuality(engine, live.counts, kInitialClipQuality);
  ContinueClassicDetection(*live.classic, engine);
  // As recording a shot too fast to count does.
  if (engine.number_of_shots != static_cast<std::int32_t>(engine.shot_list_count)) {
    engine.clip_quality = 0;
  }
  FinishShotFigures(engine);
}

}  // namespace

LiveAnalysis::LiveAnalysis(std::uint32_t sample_rate, Detector detector,
                           std::uint32_t expected_samples) {
  engine.sample_rate = sample_rate;
  engine.chosen_detector = detector;
  engine.detector = detector;
  engine.samples.emplace();
  // Room for the input expected, as address space: pages take memory only
  // once samples are written to them, so the samples never move and take a
  // byte each. Where the system won't give that much, or more comes, they
  // grow as they come.
  try {
    engine.samples->reserve(std::min(expected_samples, kLiveSampleLimit));
  } catch (const std::bad_alloc&) {
    engine.samples->shrink_to_fit();
  }
}

bool FeedLiveAnalysis(LiveAnalysis& live, const std::uint8_t* samples, std::size_t count) {
  SoundEngine& engine = live.engine;
  if (count > kLiveSampleLimit - engine.sample_count) {
    return false;
  }
  const std::size_t before = engine.samples->size();
  try {
    Append(*engine.samples, samples, count);
    engine.sample_count = static_cast<std::uint32_t>(engine.samples->size());
    engine.clip_length = engine.sample_rate != 0 ? engine.sample_count / engine.sample_rate : 0;
    if (engine.chosen_detector == Detector::Classic) {
      ContinueClassic(live);
    } else {
      AnalyseAgain(engine, engine.chosen_detector);
    }
    return true;
  } catch (const std::bad_alloc&) {
    // A shot list as long as the clip: the chunk is refused, and the next
    // one analyses every sample from the start.
    engine.samples->resize(before);
    engine.sample_count = static_cast<std::uint32_t>(before);
    engine.clip_length = engine.sample_rate != 0 ? engine.sample_count / engine.sample_rate : 0;
    ClearAnalysis(engine);
    live.counts = {};
    live.classic.reset();
    return false;
  }
}
