#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "engine/analysis.h"
#include "engine/sound_engine.h"

// Every window is slid forward lazily: a sample enters a window once and
// leaves it once over the whole clip, so the detector costs O(n) however
// long its windows are and however often it changes state.

namespace {

// Samples tested by a window of length w.
std::uint32_t WindowSamples(std::uint32_t w) { return w > 1 ? w - 1 : 0; }

// End (exclusive) of the positions i whose window of length w fits, i.e.
// w < held − i, within the analysed positions.
std::uint32_t TestEnd(std::uint32_t held, std::uint32_t analysed_end, std::uint32_t w) {
  if (w >= held) {
    return kFirstAnalysedPosition;
  }
  return std::max(kFirstAnalysedPosition, std::min(analysed_end, held - w));
}

// Count of the samples outside the onset band in the window [lo, hi).
struct OnsetCounter {
  const std::uint8_t* samples = nullptr;
  std::uint32_t length = 0;
  std::array<std::uint8_t, 256> out_of_band{};
  std::uint32_t lo = 0;
  std::uint32_t hi = 0;
  std::int32_t count = 0;
};

OnsetCounter MakeOnsetCounter(const std::uint8_t* samples, std::uint32_t w,
                              std::uint8_t tolerance) {
  OnsetCounter counter;
  counter.samples = samples;
  counter.length = WindowSamples(w);
  for (std::uint32_t v = 0; v < counter.out_of_band.size(); ++v) {
    counter.out_of_band[v] =
        InRange(static_cast<std::uint8_t>(v), kOnsetBandCentre, tolerance) ? 0 : 1;
  }
  return counter;
}

// First position in [i, end) whose window holds at least kOnsetMinimum
// samples outside the band; `end` when there is none.
std::uint32_t FindOnset(OnsetCounter& c, std::uint32_t i, std::uint32_t end) {
  if (i >= end || c.length < kOnsetMinimum) {
    return end;
  }
  if (c.hi <= i) {
    c.lo = i;
    c.hi = i;
    c.count = 0;
  }
  // Locals, since stores through the sample bytes could alias the fields.
  const std::uint8_t* samples = c.samples;
  const std::uint8_t* out = c.out_of_band.data();
  std::uint32_t lo = c.lo;
  std::uint32_t hi = c.hi;
  std::int32_t count = c.count;
  while (lo < i) {
    count -= out[samples[lo++]];
  }
  while (hi < i + c.length) {
    count += out[samples[hi++]];
  }
  // The last sample that any window of a position before `end` reaches.
  const std::uint32_t last_hi = end - 1 + c.length;
  const auto minimum = static_cast<std::int32_t>(kOnsetMinimum);
  while (count < minimum) {
    if (count == 0) {
      // A window without any sample outside the band stays empty until one
      // enters it: skip to the first position whose window holds one.
      std::uint32_t k = hi;
      while (k < last_hi && out[samples[k]] == 0) {
        ++k;
      }
      if (k == last_hi) {
        i = end;
        break;
      }
      i = k - c.length + 1;
      lo = i;
      hi = k + 1;
      count = 1;
      continue;
    }
    if (++i == end) {
      break;
    }
    count += out[samples[hi++]] - out[samples[lo++]];
  }
  c.lo = lo;
  c.hi = hi;
  c.count = count;
  return i;
}

// Indices of a window's running extreme, best first, in a ring.
struct ExtremeQueue {
  std::vector<std::uint32_t> slots;
  std::uint32_t mask = 0;
  std::uint32_t head = 0;
  std::uint32_t tail = 0;
};

void Clear(ExtremeQueue& q) { q.head = q.tail = 0; }

std::uint32_t Front(const ExtremeQueue& q) { return q.slots[q.head & q.mask]; }

void DropBefore(ExtremeQueue& q, std::uint32_t index) {
  while (q.head != q.tail && Front(q) < index) {
    ++q.head;
  }
}

// `Worse(a, b)`: a can never again be the extreme once b is in the window.
template <typename Worse>
void Push(ExtremeQueue& q, const std::uint8_t* samples, std::uint32_t index, Worse worse) {
  const std::uint8_t value = samples[index];
  while (q.head != q.tail && worse(samples[q.slots[(q.tail - 1) & q.mask]], value)) {
    --q.tail;
  }
  q.slots[q.tail++ & q.mask] = index;
}

// Minimum and maximum of the settle window [lo, hi).
struct SettleRange {
  const std::uint8_t* samples = nullptr;
  std::uint32_t length = 0;
  std::uint32_t hi = 0;
  ExtremeQueue lows;
  ExtremeQueue highs;
};

SettleRange MakeSettleRange(const std::uint8_t* samples, std::uint32_t w, std::uint32_t held) {
  SettleRange range;
  range.samples = samples;
  range.length = WindowSamples(w);
  // A window holds at most `length` indices, and only windows inside the clip
  // are ever tested.
  const std::uint32_t capacity = std::bit_ceil(std::max(1U, std::min(range.length, held)));
  for (ExtremeQueue* q : {&range.lows, &range.highs}) {
    q->slots.resize(capacity);
    q->mask = capacity - 1;
  }
  return range;
}

void SlideTo(SettleRange& r, std::uint32_t i) {
  if (r.hi <= i) {
    Clear(r.lows);
    Clear(r.highs);
    r.hi = i;
  }
  DropBefore(r.lows, i);
  DropBefore(r.highs, i);
  for (; r.hi < i + r.length; ++r.hi) {
    Push(r.lows, r.samples, r.hi, [](std::uint8_t a, std::uint8_t b) { return a >= b; });
    Push(r.highs, r.samples, r.hi, [](std::uint8_t a, std::uint8_t b) { return a <= b; });
  }
}

// First position in [i, end) whose window lies wholly in the band around the
// sample before it; `end` when there is none.
std::uint32_t FindSettle(SettleRange& r, std::uint32_t i, std::uint32_t end,
                         std::uint8_t tolerance) {
  if (r.length == 0) {
    return std::min(i, end);
  }
  for (; i < end; ++i) {
    SlideTo(r, i);
    const std::uint8_t previous = r.samples[i - 1];
    if (InRange(r.samples[Front(r.lows)], previous, tolerance) &&
        InRange(r.samples[Front(r.highs)], previous, tolerance)) {
      return i;
    }
  }
  return end;
}

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

}  // namespace

bool DetectShots(SoundEngine& engine) {
  if (!HoldsSamplesOrReport(engine)) {
    return false;
  }
  const std::uint8_t* samples = engine.samples->data();
  const std::uint32_t held = HeldSampleCount(engine);
  const std::uint32_t analysed_end = AnalysedEnd(engine);
  // Both tolerances wrap modulo 256 by design.
  const auto settle_tolerance =
      static_cast<std::uint8_t>(engine.peak_sample - kSettleToleranceOffset);
  const auto onset_tolerance =
      static_cast<std::uint8_t>(engine.peak_sample - kOnsetToleranceOffset);
  const std::uint32_t settle_w = engine.sample_rate / kSettleWindowDivisor;
  const std::uint32_t onset_w = engine.sample_rate / kOnsetWindowDivisor;
  const std::uint32_t settle_end = TestEnd(held, analysed_end, settle_w);
  const std::uint32_t onset_end = TestEnd(held, analysed_end, onset_w);

  OnsetCounter onsets = MakeOnsetCounter(samples, onset_w, onset_tolerance);
  SettleRange settles = MakeSettleRange(samples, settle_w, held);
  std::uint32_t last_onset = 0;
  std::uint32_t i = kFirstAnalysedPosition;
  for (;;) {
    i = FindOnset(onsets, i, onset_end);
    if (i >= onset_end) {
      break;
    }
    const std::uint32_t onset = i;
    // A shot that is still open when the positions run out is dropped.
    i = FindSettle(settles, i + 1, settle_end, settle_tolerance);
    if (i >= settle_end) {
      break;
    }
    RecordShot(engine, last_onset, onset);
    // The onset test runs at the very position where the shot closed.
  }
  engine.average_rof = (engine.highest_rof + engine.lowest_rof) / 2.0F;
  return true;
}
