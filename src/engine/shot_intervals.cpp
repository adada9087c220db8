#include "engine/shot_intervals.h"

#include "engine/analysis.h"
#include "engine/sound_engine.h"

ShotInterval IntervalAfterShot(const SoundEngine& engine, std::uint32_t index) {
  ShotInterval interval;
  if (index + 1 >= engine.GetShotCount()) {
    return interval;
  }
  interval.has_next = true;
  interval.rate_bps = RateBetween(engine.GetSampleRate(), engine.GetShot(index).position,
                                  engine.GetShot(index + 1).position);
  interval.interval_ms = 1000.0F / interval.rate_bps;
  interval.accepted = interval.rate_bps < kRateLimit;
  return interval;
}
