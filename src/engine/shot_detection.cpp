#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "engine/analysis.h"
#include "engine/shot_figures.h"
#include "engine/sound_engine.h"

// The windows only ever move forward, and are looked at only while the
// detector needs them: the onset count takes each sample in and out once, and
// the settle extremes work each block of samples out once. So the detector
// costs O(n) however long its windows are and however often it changes state.

namespace {

// Samples tested by a window of length w.
std::uint32_t WindowSamples(std::uint32_t w) { return w > 1 ? w - 1 : 0; }

// End (exclusive) of the analysed positions i whose window of length w still
// fits before the end of the clip: w < held − i.
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
  Band band;
  std::uint32_t lo = 0;
  std::uint32_t hi = 0;
  std::int32_t count = 0;
};

// Fixed-length blocks let the compiler vectorise the scan of quiet stretches.
constexpr std::uint32_t kScanBlock = 32;

bool AnyOutside(const std::uint8_t* first, Band band) {
  std::uint8_t outside = 0;
  for (std::uint32_t k = 0; k < kScanBlock; ++k) {
    outside |= static_cast<std::uint8_t>(!InBand(first[k], band));
  }
  return outside != 0;
}

// The first sample from `k` up to `last` that lies outside the band: a
// window without any such sample stays empty until one enters it, so the
// quiet stretch is stepped over in blocks. `last` when there is none.
std::uint32_t NextOutside(const OnsetCounter& c, std::uint32_t k, std::uint32_t last) {
  while (last - k >= kScanBlock && !AnyOutside(c.samples + k, c.band)) {
    k += kScanBlock;
  }
  while (k < last && c.out_of_band[c.samples[k]] == 0) {
    ++k;
  }
  return k;
}

OnsetCounter MakeOnsetCounter(const std::uint8_t* samples, std::uint32_t w,
                              std::uint8_t tolerance) {
  OnsetCounter counter;
  counter.samples = samples;
  counter.length = WindowSamples(w);
  counter.band = BandAround(kOnsetBandCentre, tolerance);
  for (std::uint32_t v = 0; v < counter.out_of_band.size(); ++v) {
    counter.out_of_band[v] = InBand(static_cast<std::uint8_t>(v), counter.band) ? 0 : 1;
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
      // Skip to the first position whose window holds a sample outside.
      const std::uint32_t k = NextOutside(c, hi, last_hi);
      if (k >= last_hi) {
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

// Extremes of the settle window by blocks as long as the window: a window
// covers the tail of one block and the head of the next, so its minimum and
// maximum are those of a block suffix and of the next block's prefix. Each
// half of a block is worked out once, when a window first needs it.
struct RunningExtremes {
  std::vector<std::uint8_t> low;
  std::vector<std::uint8_t> high;
};

struct BlockExtremes {
  std::uint32_t block = 0;
  bool has_prefix = false;
  bool has_suffix = false;
  RunningExtremes prefix;
  RunningExtremes suffix;
};

struct SettleRange {
  const std::uint8_t* samples = nullptr;
  std::uint32_t held = 0;
  std::uint32_t length = 0;
  std::array<BlockExtremes, 2> blocks;  // by parity: a window's two blocks
};

SettleRange MakeSettleRange(const std::uint8_t* samples, std::uint32_t w, std::uint32_t held) {
  SettleRange range;
  range.samples = samples;
  range.held = held;
  range.length = WindowSamples(w);
  return range;
}

// The extremes of samples[0..k] (forward) or samples[k..count) (backward),
// for each k.
void FillRunningExtremes(const std::uint8_t* samples, std::uint32_t count, bool forward,
                         RunningExtremes& out) {
  // Locals, since stores through the byte arrays could alias the vectors.
  std::uint8_t* lows = out.low.data();
  std::uint8_t* highs = out.high.data();
  std::uint8_t low = samples[forward ? 0 : count - 1];
  std::uint8_t high = low;
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::uint32_t k = forward ? n : count - 1 - n;
    low = std::min(low, samples[k]);
    high = std::max(high, samples[k]);
    lows[k] = low;
    highs[k] = high;
  }
}

// Only called for windows inside the clip, so a block is never longer than
// the clip. The last block may be cut short by the end of the clip; only its
// prefix is ever used then.
BlockExtremes& BlockAt(SettleRange& r, std::uint32_t block) {
  BlockExtremes& b = r.blocks[block % 2];
  if (b.block != block || (!b.has_prefix && !b.has_suffix)) {
    b.block = block;
    b.has_prefix = false;
    b.has_suffix = false;
  }
  return b;
}

const RunningExtremes& Half(SettleRange& r, std::uint32_t block, bool prefix) {
  BlockExtremes& b = BlockAt(r, block);
  bool& ready = prefix ? b.has_prefix : b.has_suffix;
  RunningExtremes& half = prefix ? b.prefix : b.suffix;
  if (!ready) {
    ready = true;
    // Sized on first use, when a window fits in the clip: a rate read from a
    // file can't make it larger than the clip.
    half.low.resize(r.length);
    half.high.resize(r.length);
    const std::uint8_t* first = r.samples + std::size_t{block} * r.length;
    FillRunningExtremes(first, std::min(r.length, r.held - block * r.length), prefix, half);
  }
  return half;
}

// First position in [i, end) whose window lies wholly in the band around the
// sample before it; `end` when there is none.
std::uint32_t FindSettle(SettleRange& r, std::uint32_t i, std::uint32_t end,
                         std::uint8_t tolerance) {
  if (r.length == 0) {
    return std::min(i, end);
  }
  std::uint32_t block = i / r.length;
  std::uint32_t offset = i % r.length;
  while (i < end) {
    // A window from offset 0 is the whole block; any other ends in the next
    // block's prefix, at offset − 1.
    const RunningExtremes& head = Half(r, block, false);
    const RunningExtremes* tail = nullptr;
    for (; offset < r.length && i < end; ++offset, ++i) {
      std::uint8_t low = head.low[offset];
      std::uint8_t high = head.high[offset];
      if (offset != 0) {
        tail = tail != nullptr ? tail : &Half(r, block + 1, true);
        low = std::min(low, tail->low[offset - 1]);
        high = std::max(high, tail->high[offset - 1]);
      }
      const std::uint8_t previous = r.samples[i - 1];
      if (InRange(low, previous, tolerance) && InRange(high, previous, tolerance)) {
        return i;
      }
    }
    offset = 0;
    ++block;
  }
  return i;
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
  FinishShotFigures(engine);
  return true;
}
