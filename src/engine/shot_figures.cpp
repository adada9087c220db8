#include "engine/shot_figures.h"

#include "engine/analysis.h"
#include "engine/sound_engine.h"

void RecordShot(SoundEngine& engine, std::uint32_t& last_onset, std::uint32_t onset) {
  if (last_onset != 0) {
    const float rate = RateBetween(engine.sample_rate, last_onset, onset);
    if (rate < kRateLimit) {
      if (engine.highest_rof < rate) {
        engine.highest_rof = rate;
      }
      if (engine.lowest_rof > rate) {
        engine.lowest_rof = rate;
      }
      if (engine.highest_rof == 0.0F) {
        engine.highest_rof = rate;
      }
      if (engine.lowest_rof == 0.0F) {
        engine.lowest_rof = rate;
      }
    } else {
      engine.clip_quality = 0;
      --engine.number_of_shots;
    }
  }
  last_onset = onset;
  engine.shots.push_back({onset, static_cast<std::uint8_t>(engine.shot_list_count)});
  ++engine.shot_list_count;
  ++engine.number_of_shots;
}

void FinishShotFigures(SoundEngine& engine) {
  engine.average_rof = (engine.highest_rof + engine.lowest_rof) / 2.0F;
}
