#include "engine/analysis.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/audio_devices.h"
#include "engine/sound_engine.h"
#include "support/literal_analysis.h"
#include "support/test_support.h"

namespace {

using Samples = std::vector<std::uint8_t>;
using Positions = std::vector<std::uint32_t>;

constexpr std::uint32_t kWorkedRate = 22050;

// Analyses with the engine and checks the literal reading agrees.
test::AnalysisFigures Analyse(const Samples& samples, std::uint32_t sample_rate) {
  test::AnalysisFigures figures = test::AnalyseWithEngine(samples, sample_rate);
  EXPECT_EQ(test::FigureDifference(test::AnalyseLiterally(samples, sample_rate), figures), "");
  return figures;
}

Positions PositionsOf(const test::AnalysisFigures& figures) {
  Positions positions;
  for (const ShotRecord& shot : figures.shots) {
    positions.push_back(shot.position);
  }
  return positions;
}

struct HeldClip {
  explicit HeldClip(Samples samples, std::uint32_t sample_rate = kWorkedRate) {
    test::HoldClip(engine, std::move(samples), sample_rate);
  }
  SilentAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
};

// The band test of both passes: signed, both ends included, no wrap.
TEST(InRange, IsSignedWithBothEndsIncluded) {
  EXPECT_TRUE(InRange(0, 4, 4));
  EXPECT_TRUE(InRange(8, 4, 4));
  EXPECT_FALSE(InRange(9, 4, 4));
  EXPECT_FALSE(InRange(255, 0, 4));
  EXPECT_FALSE(InRange(0, 255, 4));
  EXPECT_TRUE(InRange(0, 128, 255));
  EXPECT_TRUE(InRange(7, 7, 0));
}

constexpr std::uint32_t kQualityClipSamples = 12000;

// Exactly `steady` steady neighbours and `near_full_scale` samples at 255
// among the analysed positions; the other positions alternate 100 and `top`.
Samples QualityClip(std::uint32_t steady, std::uint32_t near_full_scale, std::uint8_t top = 200) {
  Samples samples(kQualityClipSamples, 128);
  std::uint32_t i = kFirstAnalysedPosition;
  // The first position is compared with 0, so 100 there is not steady.
  for (std::uint32_t k = 0; k <= steady; ++k) {
    samples[i++] = 100;
  }
  for (std::uint32_t k = 0; i < kQualityClipSamples - 1; ++i, ++k) {
    const bool full = k % 2 == 0 && near_full_scale > 0;
    near_full_scale -= full ? 1 : 0;
    samples[i] = k % 2 == 1 ? 100 : full ? 255 : top;
  }
  return samples;
}

// Quality from a raised start, so that no total is hidden by the clamp at 0.
constexpr std::int16_t kRaisedQuality = 400;

std::int16_t RaisedQuality(Samples samples, std::uint32_t clip_length) {
  HeldClip clip(std::move(samples));
  clip.engine.clip_length = clip_length;
  clip.engine.clip_quality = kRaisedQuality;
  EXPECT_TRUE(MeasureClipQuality(clip.engine));
  return clip.engine.clip_quality;
}

// Value, penalty: each limit and the value just below it.
using Penalties = std::vector<std::pair<std::uint32_t, std::int16_t>>;

TEST(ClipQuality, PenaltiesAtEachTableLimitAddUpToAScoreFrom0To100) {
  const Penalties near_full = {{0, 147}, {4, 147}, {5, 94},  {9, 94},  {10, 67}, {14, 67}, {15, 44},
                               {19, 44}, {20, 33}, {24, 33}, {25, 24}, {29, 24}, {30, 16}, {59, 16},
                               {60, 9},  {99, 9},  {100, 3}, {199, 3}, {200, 0}, {2000, 0}};
  const Penalties steady = {{0, 116},   {249, 116}, {250, 68},  {499, 68},  {500, 42}, {999, 42},
                            {1000, 23}, {1999, 23}, {2000, 15}, {2999, 15}, {3000, 9}, {3999, 9},
                            {4000, 4},  {4999, 4},  {5000, 0},  {9000, 0}};
  const Penalties seconds = {{0, 121}, {1, 78}, {2, 44}, {3, 21}, {4, 10}, {5, 0}, {600, 0}};
  for (const auto& [value, penalty] : near_full) {
    EXPECT_EQ(RaisedQuality(QualityClip(5000, value), 5), kRaisedQuality - penalty) << value;
  }
  for (const auto& [value, penalty] : steady) {
    EXPECT_EQ(RaisedQuality(QualityClip(value, 200), 5), kRaisedQuality - penalty) << value;
  }
  for (const auto& [value, penalty] : seconds) {
    EXPECT_EQ(RaisedQuality(QualityClip(5000, 200), value), kRaisedQuality - penalty) << value;
  }

  // The tables add up, the score stops at 0, and needs a peak of 200.
  HeldClip combined(QualityClip(4000, 100));
  combined.engine.clip_length = 4;
  ASSERT_TRUE(MeasureClipQuality(combined.engine));
  EXPECT_EQ(combined.engine.clip_quality, 100 - 3 - 4 - 10);
  HeldClip worst(QualityClip(0, 0));
  worst.engine.clip_length = 0;
  ASSERT_TRUE(MeasureClipQuality(worst.engine));
  EXPECT_EQ(worst.engine.clip_quality, 0);
  EXPECT_EQ(RaisedQuality(QualityClip(5000, 0, 199), 5), 0) << "a peak of 199 zeroes any score";

  // Sample 51 is compared with 0, never with sample 50: steady only when ≤ 4.
  for (const auto& [first, quality] :
       {std::pair<std::uint8_t, std::int16_t>{4, kRaisedQuality}, {5, kRaisedQuality - 4}}) {
    Samples samples = QualityClip(5000, 200);
    samples[50] = samples[51] = first;
    EXPECT_EQ(RaisedQuality(samples, 5), quality) << int{first};
  }
}

TEST(ClipQuality, AFiveSecondCleanClipScores100ThroughBothPasses) {
  Positions bursts;
  for (std::uint32_t start = 11025; start + 2000 < 5 * kWorkedRate; start += 1470) {
    bursts.push_back(start);
  }
  const auto figures = Analyse(test::MakeShotTrain(5 * kWorkedRate, bursts), kWorkedRate);
  EXPECT_EQ(figures.clip_quality, 100);
  EXPECT_EQ(figures.number_of_shots, static_cast<std::int32_t>(bursts.size()));
  EXPECT_EQ(figures.highest_rof, 15.0F);
}

TEST(DetectShots, WorkedExamples) {
  const float at_736 = static_cast<float>(22050.0 / 736.0);
  const float at_2070 = static_cast<float>(22050.0 / 2070.0);
  struct Row {
    const char* name;
    std::uint32_t samples;
    Positions bursts;
    Positions shots;
    float highest, lowest, average;
    std::int32_t number_of_shots;
    std::int16_t quality;
  };
  // clang-format off
  const Row rows[] = {
      // The 600-sample interval (36.75 BPS) is rejected.
      {"five bursts", 132300, {22050, 23520, 25284, 25884, 27354},
       {22008, 23478, 25242, 25842, 27312}, 15.0F, 12.5F, 13.75F, 4, 0},
      {"without the fourth", 132300, {22050, 23520, 25284, 27354}, {22008, 23478, 25242, 27312},
       15.0F, at_2070, (15.0F + at_2070) / 2.0F, 4, 97},
      {"735 samples: 30 BPS is rejected", 40000, {22050, 22785}, {22008, 22743}, 0, 0, 0, 1, 0},
      {"736 samples", 40000, {22050, 22786}, {22008, 22744}, at_736, at_736, at_736, 2, 13},
      {"none", 40000, {}, {}, 0, 0, 0, 0, 0},
      {"one", 40000, {30000}, {29958}, 0, 0, 0, 1, 6},
      {"two", 40000, {30000, 32205}, {29958, 32163}, 10.0F, 10.0F, 10.0F, 2, 13},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto figures = Analyse(test::MakeShotTrain(r.samples, r.bursts), kWorkedRate);
    EXPECT_TRUE(figures.detected);
    EXPECT_EQ(PositionsOf(figures), r.shots);
    for (std::uint32_t k = 0; k < figures.shots.size(); ++k) {
      EXPECT_EQ(figures.shots[k].number, k);
    }
    EXPECT_EQ(figures.shot_list_count, r.shots.size());
    EXPECT_EQ(figures.highest_rof, r.highest);
    EXPECT_EQ(figures.lowest_rof, r.lowest);
    EXPECT_EQ(figures.average_rof, r.average);
    EXPECT_EQ(figures.number_of_shots, r.number_of_shots);
    EXPECT_EQ(figures.clip_quality, r.quality);
  }
  EXPECT_NEAR(at_2070, 10.652174, 1e-6);
  EXPECT_NEAR((15.0F + at_2070) / 2.0F, 12.826087, 1e-6);
  EXPECT_NEAR(at_736, 29.959240, 1e-6);
  EXPECT_EQ(RateBetween(22050, 1000, 1736), at_736);
  EXPECT_EQ(RateBetween(22050, 1000, 1735), 30.0F);
}

TEST(DetectShots, OnsetLiesOnsetWindowMinusSevenBeforeACleanBurst) {
  for (const std::uint32_t rate : {3150U, 8000U, 11025U, 22050U, 44100U, 48000U, 96000U}) {
    const std::uint32_t lead = rate / kOnsetWindowDivisor - 7;
    const std::uint32_t first = 1000;
    const std::uint32_t second = first + rate / 7;
    const auto figures = Analyse(test::MakeShotTrain(second + 1000, {first, second}, 12), rate);
    EXPECT_EQ(PositionsOf(figures), (Positions{first - lead, second - lead})) << rate;
    EXPECT_EQ(figures.highest_rof, RateBetween(rate, first, second)) << rate;
  }
  // Below 3150 Hz the onset window counts at most 5 samples.
  EXPECT_TRUE(Analyse(test::MakeShotTrain(3149 * 3, {3149, 3149 * 2}), 3149).shots.empty());
}

TEST(DetectShots, TheShotNumberWrapsAfter256) {
  Positions bursts;
  for (std::uint32_t k = 0; k < 260; ++k) {
    bursts.push_back(1000 + k * 300);
  }
  const auto figures = Analyse(test::MakeShotTrain(1000 + 261 * 300, bursts, 10), 8000);
  ASSERT_EQ(figures.shots.size(), 260U);
  EXPECT_EQ(figures.shots[255].number, 255);
  EXPECT_EQ(figures.shots[256].number, 0);
  EXPECT_EQ(figures.shots[259].number, 3);
  EXPECT_EQ(figures.number_of_shots, 260);
}

// After a 60-sample burst at p the shot closes at p + 61, if the settle
// window still fits there.
TEST(DetectShots, AShotStillOpenAtTheEndIsDropped) {
  const std::uint32_t end = 5000 + 61 + kWorkedRate / kSettleWindowDivisor;
  EXPECT_EQ(Analyse(test::MakeShotTrain(end + 1, {2000, 5000}), kWorkedRate).shots.size(), 2U);
  EXPECT_EQ(Analyse(test::MakeShotTrain(end, {2000, 5000}), kWorkedRate).shots.size(), 1U);
}

TEST(Analysis, ClipsOf52SamplesOrFewerHaveNoAnalysedPositions) {
  for (const std::uint32_t n : {0U, 1U, 2U, 51U, 52U, 53U}) {
    const auto figures = Analyse(Samples(n, 255), kWorkedRate);
    EXPECT_TRUE(figures.detected) << n;
    EXPECT_EQ(figures.peak_sample, n == 53 ? 255 : 0) << n;
    EXPECT_EQ(figures.clip_quality, 0) << n;
    EXPECT_TRUE(figures.shots.empty()) << n;
  }
}

TEST(Analysis, NeverReadsPastTheHeldSamples) {
  const Samples samples = test::MakeShotTrain(3000, {1000, 2000});
  HeldClip whole(samples, 8000);
  HeldClip overstated(samples, 8000);
  overstated.engine.sample_count = 3000000;
  for (HeldClip* clip : {&whole, &overstated}) {
    ASSERT_TRUE(MeasureClipQuality(clip->engine));
    ASSERT_TRUE(DetectShots(clip->engine));
  }
  EXPECT_EQ(test::FigureDifference(test::TakeFigures(whole.engine, true, true),
                                   test::TakeFigures(overstated.engine, true, true)),
            "");
  EXPECT_EQ(overstated.engine.shots.size(), 2U);
}

TEST(Analysis, WithoutSamplesEachPassFailsShowingTheNoDataMessageOnce) {
  for (const auto pass : {&MeasureClipQuality, &DetectShots}) {
    SilentAudioSystem audio;
    test::RecordingNotifier notifier;
    SoundEngine engine(&audio, &notifier);
    engine.sample_count = 1000;  // a header without data
    engine.sample_rate = kWorkedRate;
    EXPECT_FALSE(pass(engine));
    ASSERT_EQ(notifier.shown.size(), 1U);
    EXPECT_EQ(notifier.shown[0].text, "Failed To Analize Due To No Data Allocation");
    EXPECT_EQ(notifier.shown[0].caption, "ERROR");
    EXPECT_EQ(engine.clip_quality, 100);
    EXPECT_EQ(engine.peak_sample, 0);
    EXPECT_EQ(engine.number_of_shots, 0);
    EXPECT_TRUE(engine.shots.empty());

    SoundEngine silent(&audio, nullptr);
    EXPECT_FALSE(pass(silent));
  }
}

}  // namespace
