#include "engine/live_analysis.h"

#include <new>

#include "engine/analysis.h"

LiveAnalysis::LiveAnalysis(std::uint32_t sample_rate, Detector detector) {
  engine.sample_rate = sample_rate;
  engine.chosen_detector = detector;
  engine.detector = detector;
  engine.samples.emplace();
}

bool FeedLiveAnalysis(LiveAnalysis& live, const std::uint8_t* samples, std::size_t count) {
  SoundEngine& engine = live.engine;
  if (count > kLiveSampleLimit - engine.sample_count) {
    return false;
  }
  try {
    engine.samples->insert(engine.samples->end(), samples, samples + count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  engine.sample_count = static_cast<std::uint32_t>(engine.samples->size());
  engine.clip_length = engine.sample_rate != 0 ? engine.sample_count / engine.sample_rate : 0;
  // The reference: everything analysed again.
  AnalyseAgain(engine, engine.chosen_detector);
  return true;
}
