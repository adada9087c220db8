#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "engine/analysis.h"
#include "engine/classic_detection.h"
#include "engine/shot_figures.h"
#include "engine/sound_engine.h"

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

OnsetCounter MakeOnsetCounter(std::uint32_t w, std::uint8_t tolerance) {
  OnsetCounter counter;
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

// The extremes of samples[from..k] for each k in [from, count) (forward,
// continuing what samples[0..from) gave) or of samples[k..count) (backward,
// from 0).
void FillRunningExtremes(const std::uint8_t* samples, std::uint32_t from, std::uint32_t count,
                         bool forward, RunningExtremes& out) {
  // Locals, since stores through the byte arrays could alias the vectors.
  std::uint8_t* lows = out.low.data();
  std::uint8_t* highs = out.high.data();
  const std::uint32_t start = forward ? from : count - 1;
  std::uint8_t low = forward && from != 0 ? lows[from - 1] : samples[start];
  std::uint8_t high = forward && from != 0 ? highs[from - 1] : samples[start];
  for (std::uint32_t n = from; n < count; ++n) {
    const std::uint32_t k = forward ? n : count - 1 - n;
    low = std::min(low, samples[k]);
    high = std::max(high, samples[k]);
    lows[k] = low;
    highs[k] = high;
  }
}

// Only called for windows inside the clip, so a block is never longer than
// the clip. A suffix is only needed of a block held whole; a prefix may be
// cut short by the samples held so far.
BlockExtremes& BlockAt(SettleRange& r, std::uint32_t block) {
  BlockExtremes& b = r.blocks[block % 2];
  if (b.block != block) {
    b.block = block;
    b.prefix_count = 0;
    b.has_suffix = false;
  }
  return b;
}

void Size(RunningExtremes& half, std::uint32_t length) {
  // Sized on first use, when a window fits in the clip: a rate read from a
  // file can't make it larger than the clip.
  half.low.resize(length);
  half.high.resize(length);
}

const RunningExtremes& Half(SettleRange& r, std::uint32_t block, bool prefix) {
  BlockExtremes& b = BlockAt(r, block);
  const std::uint8_t* first = r.samples + std::size_t{block} * r.length;
  const std::uint32_t count = std::min(r.length, r.held - block * r.length);
  if (!prefix) {
    if (!b.has_suffix) {
      b.has_suffix = true;
      Size(b.suffix, r.length);
      FillRunningExtremes(first, 0, count, false, b.suffix);
    }
    return b.suffix;
  }
  if (b.prefix_count < count) {
    Size(b.prefix, r.length);
    FillRunningExtremes(first, b.prefix_count, count, true, b.prefix);
    b.prefix_count = count;
  }
  return b.prefix;
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

ClassicDetection StartClassicDetection(const SoundEngine& engine) {
  ClassicDetection detection;
  // Both tolerances wrap modulo 256 by design.
  const auto onset_tolerance =
      static_cast<std::uint8_t>(engine.peak_sample - kOnsetToleranceOffset);
  detection.settle_tolerance =
      static_cast<std::uint8_t>(engine.peak_sample - kSettleToleranceOffset);
  detection.onset_w = engine.sample_rate / kOnsetWindowDivisor;
  detection.settle_w = engine.sample_rate / kSettleWindowDivisor;
  detection.onsets = MakeOnsetCounter(detection.onset_w, onset_tolerance);
  detection.settles.length = WindowSamples(detection.settle_w);
  return detection;
}

void ContinueClassicDetection(ClassicDetection& detection, SoundEngine& engine) {
  const std::uint8_t* samples = engine.samples->data();
  const std::uint32_t held = HeldSampleCount(engine);
  const std::uint32_t analysed_end = AnalysedEnd(engine);
  const std::uint32_t settle_end = TestEnd(held, analysed_end, detection.settle_w);
  const std::uint32_t onset_end = TestEnd(held, analysed_end, detection.onset_w);
  // A growing clip may have moved.
  detection.onsets.samples = samples;
  detection.settles.samples = samples;
  detection.settles.held = held;
  std::uint32_t& i = detection.next;
  for (;;) {
    if (!detection.open_onset) {
      const std::uint32_t onset = FindOnset(detection.onsets, i, onset_end);
      if (onset >= onset_end) {
        i = std::max(i, onset_end);
        return;
      }
      detection.open_onset = onset;
      i = onset + 1;
    }
    // A shot that is still open when the positions run out stays open.
    i = FindSettle(detection.settles, i, settle_end, detection.settle_tolerance);
    if (i >= settle_end) {
      return;
    }
    RecordShot(engine, detection.last_onset, *detection.open_onset);
    detection.open_onset.reset();
    // The onset test runs at the very position where the shot closed.
  }
}

bool DetectShots(SoundEngine& engine) {
  if (!HoldsSamplesOrReport(engine)) {
    return false;
  }
  ClassicDetection detection = StartClassicDetection(engine);
  ContinueClassicDetection(detection, engine);
  FinishShotFigures(engine);
  return true;
}
