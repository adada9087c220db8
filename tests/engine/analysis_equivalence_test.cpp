// The engine's passes against the literal reading of the analysis, on clips
// made to reach every corner of the detector: shot trains, peaks where the
// tolerances wrap, odd sample rates, tiny clips.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "engine/live_analysis.h"
#include "engine/sound_engine.h"
#include "support/literal_analysis.h"

namespace {

using Samples = std::vector<std::uint8_t>;
using Rng = std::mt19937;

constexpr std::uint32_t kTableRates[] = {8000, 11025, 22050, 44100, 48000};
// Rates where windows are 0 or 1 long, or the onset window just reaches or
// misses 6 counted samples, and a rate beyond the table.
constexpr std::uint32_t kOddRates[] = {0,   1,   204,  205,  409,  410,  449,  450,
                                       451, 900, 1000, 2699, 2700, 3149, 3150, 96000};

int Uniform(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::uint8_t Clamp(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// Quiet noise with bursts of several shapes at random gaps, some of them
// close to the 30 BPS limit.
Samples ShotTrain(Rng& rng, std::uint32_t n, std::uint32_t rate) {
  const int centre = 128 + Uniform(rng, -3, 3);
  const int noise = Uniform(rng, 0, 6);
  Samples samples(n);
  for (auto& s : samples) {
    s = Clamp(centre + Uniform(rng, -noise, noise));
  }
  const int rate_limit_gap = static_cast<int>(rate / 30);
  const int longest_gap = std::max(8, static_cast<int>(rate / 10));
  const int longest_burst = std::max(8, static_cast<int>(rate / 400));
  for (int position = Uniform(rng, 0, 300); position < static_cast<int>(n);) {
    // 0-2 alternating, 3-4 spike, 5-6 one-sided, 7 ringing, 8-9 random.
    const int shape = Uniform(rng, 0, 9);
    const bool spike = shape == 3 || shape == 4;
    const int length = spike ? Uniform(rng, 4, 8) : Uniform(rng, 1, longest_burst);
    // Most bursts reach past the onset band; some stay inside it.
    const int amplitude = Uniform(rng, 0, 9) < 8 ? Uniform(rng, 130, 170) : Uniform(rng, 2, 124);
    const double decay = Uniform(rng, 5, 200);
    for (int k = 0; k < length && position + k < static_cast<int>(n); ++k) {
      const int value =
          shape <= 4   ? (k % 2 == 0 ? centre + amplitude : centre - amplitude)
          : shape <= 6 ? centre + amplitude
          : shape == 7
              ? centre + static_cast<int>(amplitude * std::exp(-k / decay) * std::sin(k * 0.9))
              : Uniform(rng, 0, 255);
      samples[static_cast<std::size_t>(position + k)] = Clamp(value);
    }
    const int kind = Uniform(rng, 0, 3);
    const int gap = kind == 0   ? rate_limit_gap + Uniform(rng, -2, 2)
                    : kind == 1 ? Uniform(rng, 1, rate_limit_gap + 1)
                                : Uniform(rng, rate_limit_gap, longest_gap);
    position += length + std::max(1, gap);
  }
  return samples;
}

// Peaks of 130 to 140, where the onset and settle tolerances wrap or shrink
// to nothing; constant runs let a zero settle tolerance pass.
Samples NearWrap(Rng& rng, std::uint32_t n, std::uint32_t) {
  const int peak = Uniform(rng, 130, 140);
  Samples samples(n);
  for (std::uint32_t i = 0; i < n;) {
    const int kind = Uniform(rng, 0, 3);
    const auto run = static_cast<std::uint32_t>(Uniform(rng, 1, 120));
    const int constant = Uniform(rng, 110, peak);
    for (std::uint32_t k = 0; k < run && i < n; ++k, ++i) {
      samples[i] = Clamp(kind == 0   ? constant
                         : kind == 1 ? 128 + Uniform(rng, -2, 2)
                         : kind == 2 ? (k % 2 == 0 ? peak : Uniform(rng, 0, 127))
                                     : Uniform(rng, 0, peak));
    }
  }
  if (n > kFirstAnalysedPosition + 1) {
    samples[static_cast<std::size_t>(Uniform(rng, 51, static_cast<int>(n) - 2))] = Clamp(peak);
  }
  return samples;
}

// A shot train that grows louder along the clip, so its peak keeps rising.
Samples RisingPeak(Rng& rng, std::uint32_t n, std::uint32_t rate) {
  Samples samples = ShotTrain(rng, n, rate);
  for (std::uint32_t i = 0; i < n; ++i) {
    samples[i] =
        Clamp(128 + (samples[i] - 128) * static_cast<int>(i + n / 4) / static_cast<int>(n));
  }
  return samples;
}

using Generator = std::function<Samples(Rng&, std::uint32_t, std::uint32_t)>;

std::vector<std::uint32_t> TableAndOddRates() {
  std::vector<std::uint32_t> rates(std::begin(kTableRates), std::end(kTableRates));
  rates.insert(rates.end(), std::begin(kOddRates), std::end(kOddRates));
  Rng rng(3);
  for (int k = 0; k < 20; ++k) {
    rates.push_back(static_cast<std::uint32_t>(Uniform(rng, 0, 60000)));
  }
  return rates;
}

// Analyses `clips` clips per rate both ways, clip c of `length(rate, c)`
// samples, and stops at the first difference.
template <typename Length>
void CompareOn(const Generator& generate, Rng& rng, int clips, Length length) {
  for (const std::uint32_t rate : TableAndOddRates()) {
    for (int c = 0; c < clips; ++c) {
      const std::uint32_t n = length(rate, c);
      const Samples samples = generate(rng, n, rate);
      const std::string difference = test::FigureDifference(test::AnalyseLiterally(samples, rate),
                                                            test::AnalyseWithEngine(samples, rate));
      if (!difference.empty()) {
        ADD_FAILURE() << rate << " Hz, " << n << " samples: " << difference;
        return;
      }
    }
  }
}

// The length cap keeps the literal scans of fast rates affordable.
TEST(AnalysisEquivalence, GeneratedClipsAtTableOddAndRandomRates) {
  Rng rng(1);
  for (const Generator& generate : {Generator(ShotTrain), Generator(NearWrap)}) {
    CompareOn(generate, rng, 8, [&](std::uint32_t rate, int) {
      return static_cast<std::uint32_t>(
          Uniform(rng, 0, static_cast<int>(std::clamp(rate, 3000U, 30000U))));
    });
  }
}

TEST(AnalysisEquivalence, ClipsOfUpTo60Samples) {
  Rng rng(7);
  for (const Generator& generate : {Generator(ShotTrain), Generator(NearWrap)}) {
    CompareOn(generate, rng, 61,
              [](std::uint32_t, int c) { return static_cast<std::uint32_t>(c); });
  }
}

// Fed in random chunks, one sample to most of the clip, the live analysis
// is after every chunk what a load of the samples so far gives, and in the
// end the literal analysis of the whole clip; the detector runs again over
// everything only when the peak has risen.
TEST(AnalysisEquivalence, LiveAnalysisOfEveryPrefix) {
  Rng rng(11);
  for (const Generator& generate :
       {Generator(ShotTrain), Generator(NearWrap), Generator(RisingPeak)}) {
    for (const std::uint32_t rate : TableAndOddRates()) {
      const auto n = static_cast<std::uint32_t>(
          Uniform(rng, 0, static_cast<int>(std::clamp(rate, 3000U, 20000U))));
      const Samples samples = generate(rng, n, rate);
      // Room for some of the clip or all of it: the samples also grow.
      LiveAnalysis live(rate, Detector::Classic,
                        static_cast<std::uint32_t>(Uniform(rng, 0, static_cast<int>(n))));
      std::set<std::uint8_t> peaks;
      for (std::uint32_t fed = 0; fed < n;) {
        const int left = static_cast<int>(n - fed);
        const auto chunk = static_cast<std::uint32_t>(
            Uniform(rng, 0, 3) == 0 ? Uniform(rng, 1, std::min(left, 8)) : Uniform(rng, 1, left));
        ASSERT_TRUE(FeedLiveAnalysis(live, samples.data() + fed, chunk));
        fed += chunk;
        peaks.insert(live.engine.peak_sample);
        const std::string difference = test::FigureDifference(
            test::AnalyseWithEngine(Samples(samples.begin(), samples.begin() + fed), rate),
            test::TakeFigures(live.engine, true, true));
        ASSERT_EQ(difference, "") << rate << " Hz, " << fed << " of " << n << " samples";
      }
      EXPECT_EQ(live.reruns, peaks.size());
      EXPECT_EQ(test::FigureDifference(test::AnalyseLiterally(samples, rate),
                                       test::TakeFigures(live.engine, true, true)),
                "")
          << rate << " Hz, " << n << " samples";
    }
  }
}

}  // namespace
