#include "engine/shot_table.h"

#include "engine/shot_intervals.h"
#include "engine/sound_engine.h"

std::vector<ShotRow> ShotTableRows(const SoundEngine& engine) {
  std::vector<ShotRow> rows(engine.GetShotCount());
  const std::uint32_t rate = engine.GetSampleRate();
  for (std::uint32_t i = 0; i < rows.size(); ++i) {
    const ShotInterval interval = IntervalAfterShot(engine, i);
    ShotRow& row = rows[i];
    row.number = i + 1;
    row.position = engine.GetShot(i).position;
    row.time_s = rate == 0 ? 0.0 : static_cast<double>(row.position) / rate;
    row.has_next = interval.has_next;
    row.split_ms = interval.interval_ms;
    row.rate_bps = interval.rate_bps;
    row.counts = interval.accepted;
  }
  return rows;
}
