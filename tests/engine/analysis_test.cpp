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

constexpr std::uint32_t kWorkedRate = 22050;
constexpr std::uint32_t kBurstLength = 60;

// Analyses with the engine and checks the literal reading agrees.
test::AnalysisFigures Analyse(const Samples& samples, std::uint32_t sample_rate) {
  test::AnalysisFigures figures = test::AnalyseWithEngine(samples, sample_rate);
  EXPECT_EQ(test::FigureDifference(test::AnalyseLiterally(samples, sample_rate), figures), "");
  return figures;
}

std::vector<std::uint32_t> Positions(const test::AnalysisFigures& figures) {
  std::vector<std::uint32_t> positions;
  for (const ShotRecord& shot : figures.shots) {
    positions.push_back(shot.position);
  }
  return positions;
}

// Engine with a clip held, for the band tests and the quality pass.
struct HeldClip {
  explicit HeldClip(Samples samples, std::uint32_t sample_rate = kWorkedRate) {
    test::HoldClip(engine, std::move(samples), sample_rate);
  }
  SilentAudioSystem audio;
  test::RecordingNotifier notifier;
  SoundEngine engine{&audio, &notifier};
};

TEST(BandTests, CompareInSignedArithmeticWithBothEndsIncluded) {
  EXPECT_TRUE(InRange(0, 128, 255));
  EXPECT_TRUE(InRange(255, 128, 255));
  EXPECT_TRUE(InRange(0, 4, 4));
  EXPECT_TRUE(InRange(8, 4, 4));
  EXPECT_FALSE(InRange(9, 4, 4));
  EXPECT_FALSE(InRange(255, 0, 4));  // no wrap below 0
  EXPECT_FALSE(InRange(0, 255, 4));  // nor above 255
  EXPECT_TRUE(InRange(251, 255, 4));
  EXPECT_FALSE(InRange(250, 255, 4));
  EXPECT_TRUE(InRange(7, 7, 0));
  EXPECT_FALSE(InRange(6, 7, 0));
}

TEST(BandTests, AWindowOfLengthWCoversWMinusOneSamples) {
  HeldClip clip({128, 128, 128, 0, 128, 0});
  const SoundEngine& engine = clip.engine;
  EXPECT_TRUE(AllInRange(engine, 0, 4, 128, 10));
  EXPECT_FALSE(AllInRange(engine, 0, 5, 128, 10));
  EXPECT_EQ(CountOutOfRange(engine, 0, 4, 128, 10), 0U);
  EXPECT_EQ(CountOutOfRange(engine, 0, 5, 128, 10), 1U);
  EXPECT_EQ(CountOutOfRange(engine, 3, 4, 128, 10), 2U);
  // W ≤ 1 tests nothing.
  for (const std::uint32_t w : {0U, 1U}) {
    EXPECT_TRUE(AllInRange(engine, 3, w, 128, 10));
    EXPECT_EQ(CountOutOfRange(engine, 3, w, 128, 10), 0U);
  }
}

TEST(BandTests, WindowsStopAtTheEndOfTheHeldSamples) {
  HeldClip clip({128, 0, 0});
  clip.engine.sample_count = 1000;  // more than is held
  EXPECT_EQ(CountOutOfRange(clip.engine, 0, 500, 128, 10), 2U);
  EXPECT_EQ(CountOutOfRange(clip.engine, 5, 500, 128, 10), 0U);
  EXPECT_EQ(CountOutOfRange(clip.engine, 0xFFFFFFF0U, 0xFFFFFFFFU, 128, 10), 0U);
  EXPECT_FALSE(AllInRange(clip.engine, 0, 0xFFFFFFFFU, 128, 10));
  EXPECT_TRUE(AllInRange(clip.engine, 3, 500, 128, 10));
}

TEST(RateBetween, IsTheSampleRateOverTheDistanceRoundedOnceToFloat) {
  EXPECT_EQ(RateBetween(22050, 1000, 1735), 30.0F);
  EXPECT_EQ(RateBetween(22050, 1000, 2470), 15.0F);
  EXPECT_EQ(RateBetween(22050, 1000, 1736), static_cast<float>(22050.0 / 736.0));
  EXPECT_NEAR(RateBetween(22050, 1000, 1736), 29.959240, 1e-6);
}

// ---- Clip quality -------------------------------------------------------

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
    if (k % 2 == 1) {
      samples[i] = 100;
    } else if (near_full_scale > 0) {
      samples[i] = 255;
      --near_full_scale;
    } else {
      samples[i] = top;
    }
  }
  return samples;
}

// Quality from a raised starting value, so that no total is hidden by the
// clamp at 0.
constexpr std::int16_t kRaisedQuality = 400;

std::int16_t RaisedQuality(Samples samples, std::uint32_t clip_length) {
  HeldClip clip(std::move(samples));
  clip.engine.clip_length = clip_length;
  clip.engine.clip_quality = kRaisedQuality;
  EXPECT_TRUE(MeasureClipQuality(clip.engine));
  return clip.engine.clip_quality;
}

struct PenaltyRow {
  std::uint32_t value;
  std::int16_t total;
};

TEST(ClipQuality, NearFullScalePenaltiesAddUpAtEachLimit) {
  const PenaltyRow rows[] = {{0, 147}, {4, 147}, {5, 94},  {9, 94},  {10, 67}, {14, 67}, {15, 44},
                             {19, 44}, {20, 33}, {24, 33}, {25, 24}, {29, 24}, {30, 16}, {59, 16},
                             {60, 9},  {99, 9},  {100, 3}, {199, 3}, {200, 0}, {2000, 0}};
  for (const PenaltyRow& row : rows) {
    EXPECT_EQ(RaisedQuality(QualityClip(5000, row.value), 5), kRaisedQuality - row.total)
        << row.value << " samples near full scale";
  }
}

TEST(ClipQuality, SteadyPenaltiesAddUpAtEachLimit) {
  const PenaltyRow rows[] = {{0, 116},   {249, 116}, {250, 68},  {499, 68},  {500, 42}, {999, 42},
                             {1000, 23}, {1999, 23}, {2000, 15}, {2999, 15}, {3000, 9}, {3999, 9},
                             {4000, 4},  {4999, 4},  {5000, 0},  {9000, 0}};
  for (const PenaltyRow& row : rows) {
    EXPECT_EQ(RaisedQuality(QualityClip(row.value, 200), 5), kRaisedQuality - row.total)
        << row.value << " steady neighbours";
  }
}

TEST(ClipQuality, LengthPenaltiesAddUpAtEachLimit) {
  const PenaltyRow rows[] = {{0, 121}, {1, 78}, {2, 44}, {3, 21}, {4, 10}, {5, 0}, {600, 0}};
  for (const PenaltyRow& row : rows) {
    EXPECT_EQ(RaisedQuality(QualityClip(5000, 200), row.value), kRaisedQuality - row.total)
        << row.value << " s";
  }
}

TEST(ClipQuality, TablesAddUpAndTheScoreStopsAtZero) {
  HeldClip combined(QualityClip(4000, 100));
  combined.engine.clip_length = 4;
  ASSERT_TRUE(MeasureClipQuality(combined.engine));
  EXPECT_EQ(combined.engine.clip_quality, 100 - 3 - 4 - 10);

  HeldClip worst(QualityClip(0, 0));
  worst.engine.clip_length = 0;
  ASSERT_TRUE(MeasureClipQuality(worst.engine));
  EXPECT_EQ(worst.engine.clip_quality, 0);
}

TEST(ClipQuality, APeakBelow200ScoresZero) {
  // 199 at the top costs the whole near-full-scale table; the raised start
  // shows that the peak rule itself zeroes the score.
  EXPECT_EQ(RaisedQuality(QualityClip(5000, 0, 199), 5), 0);
  EXPECT_EQ(RaisedQuality(QualityClip(5000, 0, 200), 5), kRaisedQuality - 147);

  HeldClip clip(QualityClip(5000, 0, 199));
  ASSERT_TRUE(MeasureClipQuality(clip.engine));
  EXPECT_EQ(clip.engine.peak_sample, 199);
}

TEST(ClipQuality, TheFirstAnalysedPositionIsComparedWithZero) {
  // Sample 51 is steady only when it is at most 4; it is never compared
  // with sample 50. Position 52 stops being steady, so the steady count sits
  // at 5000 or 4999.
  const std::pair<std::uint8_t, std::int16_t> cases[] = {{4, kRaisedQuality},
                                                         {5, kRaisedQuality - 4}};
  for (const auto& [first, quality] : cases) {
    Samples samples = QualityClip(5000, 200);
    samples[50] = first;
    samples[51] = first;
    EXPECT_EQ(RaisedQuality(samples, 5), quality) << int{first};
  }
}

TEST(ClipQuality, AFiveSecondCleanClipScores100ThroughBothPasses) {
  std::vector<std::uint32_t> bursts;
  for (std::uint32_t start = 11025; start + 2000 < 5 * kWorkedRate; start += 1470) {
    bursts.push_back(start);
  }
  const test::AnalysisFigures figures =
      Analyse(test::MakeShotTrain(5 * kWorkedRate, bursts, kBurstLength), kWorkedRate);
  EXPECT_EQ(figures.clip_quality, 100);
  EXPECT_EQ(figures.number_of_shots, static_cast<std::int32_t>(bursts.size()));
  EXPECT_EQ(figures.highest_rof, 15.0F);
}

// ---- Shot detection -----------------------------------------------------

constexpr std::uint32_t kWorkedSamples = 132300;
constexpr std::uint32_t kShortSamples = 40000;

TEST(DetectShots, WorkedExampleWithARejectedInterval) {
  const test::AnalysisFigures figures = Analyse(
      test::MakeShotTrain(kWorkedSamples, {22050, 23520, 25284, 25884, 27354}), kWorkedRate);
  EXPECT_EQ(figures.peak_sample, 255);
  EXPECT_EQ(Positions(figures), (std::vector<std::uint32_t>{22008, 23478, 25242, 25842, 27312}));
  for (std::uint32_t k = 0; k < figures.shots.size(); ++k) {
    EXPECT_EQ(figures.shots[k].number, k);
  }
  EXPECT_EQ(figures.highest_rof, 15.0F);
  EXPECT_EQ(figures.lowest_rof, 12.5F);
  EXPECT_EQ(figures.average_rof, 13.75F);
  EXPECT_EQ(figures.number_of_shots, 4);
  EXPECT_EQ(figures.shot_list_count, 5U);
  EXPECT_EQ(figures.clip_quality, 0);
}

TEST(DetectShots, WorkedExampleWithoutTheFourthBurst) {
  const test::AnalysisFigures figures =
      Analyse(test::MakeShotTrain(kWorkedSamples, {22050, 23520, 25284, 27354}), kWorkedRate);
  const float lowest = static_cast<float>(22050.0 / 2070.0);
  EXPECT_EQ(Positions(figures), (std::vector<std::uint32_t>{22008, 23478, 25242, 27312}));
  EXPECT_EQ(figures.highest_rof, 15.0F);
  EXPECT_EQ(figures.lowest_rof, lowest);
  EXPECT_NEAR(figures.lowest_rof, 10.652174, 1e-6);
  EXPECT_EQ(figures.average_rof, (15.0F + lowest) / 2.0F);
  EXPECT_NEAR(figures.average_rof, 12.826087, 1e-6);
  EXPECT_EQ(figures.number_of_shots, 4);
  EXPECT_EQ(figures.shot_list_count, 4U);
  EXPECT_EQ(figures.clip_quality, 97);
}

TEST(DetectShots, ThirtyBallsPerSecondIsRejectedAndJustBelowIsAccepted) {
  const test::AnalysisFigures at_limit =
      Analyse(test::MakeShotTrain(kShortSamples, {22050, 22050 + 735}), kWorkedRate);
  EXPECT_EQ(at_limit.shot_list_count, 2U);
  EXPECT_EQ(at_limit.number_of_shots, 1);
  EXPECT_EQ(at_limit.highest_rof, 0.0F);
  EXPECT_EQ(at_limit.lowest_rof, 0.0F);
  EXPECT_EQ(at_limit.average_rof, 0.0F);
  EXPECT_EQ(at_limit.clip_quality, 0);

  const test::AnalysisFigures below =
      Analyse(test::MakeShotTrain(kShortSamples, {22050, 22050 + 736}), kWorkedRate);
  const float rate = static_cast<float>(22050.0 / 736.0);
  EXPECT_EQ(below.number_of_shots, 2);
  EXPECT_EQ(below.highest_rof, rate);
  EXPECT_EQ(below.lowest_rof, rate);
  EXPECT_EQ(below.average_rof, rate);
}

TEST(DetectShots, NoneOneAndTwoShots) {
  const test::AnalysisFigures none = Analyse(test::MakeShotTrain(kShortSamples, {}), kWorkedRate);
  EXPECT_TRUE(none.detected);
  EXPECT_TRUE(none.shots.empty());
  EXPECT_EQ(none.number_of_shots, 0);
  EXPECT_EQ(none.average_rof, 0.0F);
  EXPECT_EQ(none.clip_quality, 0);  // what the quality pass left: peak 130

  const test::AnalysisFigures one =
      Analyse(test::MakeShotTrain(kShortSamples, {30000}), kWorkedRate);
  EXPECT_EQ(Positions(one), std::vector<std::uint32_t>{29958});
  EXPECT_EQ(one.number_of_shots, 1);
  EXPECT_EQ(one.highest_rof, 0.0F);
  EXPECT_EQ(one.lowest_rof, 0.0F);
  EXPECT_EQ(one.average_rof, 0.0F);

  const test::AnalysisFigures two =
      Analyse(test::MakeShotTrain(kShortSamples, {30000, 32205}), kWorkedRate);
  EXPECT_EQ(two.number_of_shots, 2);
  EXPECT_EQ(two.highest_rof, 10.0F);
  EXPECT_EQ(two.lowest_rof, 10.0F);
  EXPECT_EQ(two.average_rof, 10.0F);
}

TEST(DetectShots, OnsetLiesOnsetWindowMinusSevenBeforeACleanBurst) {
  for (const std::uint32_t rate : {8000U, 11025U, 22050U, 44100U, 48000U, 96000U}) {
    const std::uint32_t onset_w = rate / kOnsetWindowDivisor;
    const std::uint32_t first = 1000;
    const std::uint32_t second = first + rate / 7;
    const test::AnalysisFigures figures =
        Analyse(test::MakeShotTrain(second + 1000, {first, second}, 12), rate);
    EXPECT_EQ(Positions(figures),
              (std::vector<std::uint32_t>{first - (onset_w - 7), second - (onset_w - 7)}))
        << rate << " Hz";
    EXPECT_EQ(figures.highest_rof, RateBetween(rate, first, second)) << rate << " Hz";
  }
}

TEST(DetectShots, RatesBelow3150HzFindNothing) {
  // The onset window then counts at most 5 samples.
  const test::AnalysisFigures below =
      Analyse(test::MakeShotTrain(3149 * 3, {3149, 3149 * 2}), 3149);
  EXPECT_TRUE(below.shots.empty());
  const test::AnalysisFigures at = Analyse(test::MakeShotTrain(3150 * 3, {3150, 3150 * 2}), 3150);
  EXPECT_EQ(Positions(at), (std::vector<std::uint32_t>{3150, 3150 * 2}));
}

TEST(DetectShots, TheShotNumberWrapsAfter256) {
  std::vector<std::uint32_t> bursts;
  for (std::uint32_t k = 0; k < 260; ++k) {
    bursts.push_back(1000 + k * 300);
  }
  const test::AnalysisFigures figures =
      Analyse(test::MakeShotTrain(1000 + 261 * 300, bursts, 10), 8000);
  ASSERT_EQ(figures.shots.size(), 260U);
  EXPECT_EQ(figures.shots[255].number, 255);
  EXPECT_EQ(figures.shots[256].number, 0);
  EXPECT_EQ(figures.shots[259].number, 3);
  EXPECT_EQ(figures.number_of_shots, 260);
}

TEST(DetectShots, AShotStillOpenAtTheEndIsDropped) {
  // After a 60-sample burst at p the shot closes at p + 61, if the settle
  // window still fits there.
  const std::uint32_t settle_w = kWorkedRate / kSettleWindowDivisor;
  const std::uint32_t burst = 5000;
  const std::uint32_t closing = burst + kBurstLength + 1;
  const test::AnalysisFigures fits =
      Analyse(test::MakeShotTrain(closing + settle_w + 1, {2000, burst}), kWorkedRate);
  EXPECT_EQ(fits.shots.size(), 2U);
  const test::AnalysisFigures too_short =
      Analyse(test::MakeShotTrain(closing + settle_w, {2000, burst}), kWorkedRate);
  EXPECT_EQ(too_short.shots.size(), 1U);
}

TEST(DetectShots, ASettleTolerance255ClosesOnThePositionAfterTheOnset) {
  // Peak 137: settle tolerance 255, onset band 122 to 134.
  Samples samples(4000, 128);
  for (std::uint32_t k = 0; k < 40; ++k) {
    samples[1000 + k] = (k % 2 == 0) ? 137 : 110;
  }
  const test::AnalysisFigures figures = Analyse(samples, 8000);
  EXPECT_EQ(figures.peak_sample, 137);
  ASSERT_GE(figures.shots.size(), 3U);
  EXPECT_EQ(figures.shots[1].position, figures.shots[0].position + 1);
  EXPECT_EQ(figures.shots[2].position, figures.shots[1].position + 1);
  EXPECT_EQ(figures.number_of_shots, 1);  // every later interval is far above 30 BPS
}

TEST(DetectShots, ShortClipsHaveNoAnalysedPositions) {
  for (const std::uint32_t n : {0U, 1U, 2U, 51U, 52U}) {
    Samples samples(n, 255);
    const test::AnalysisFigures figures = Analyse(samples, kWorkedRate);
    EXPECT_TRUE(figures.detected) << n;
    EXPECT_EQ(figures.peak_sample, 0) << n;
    EXPECT_EQ(figures.clip_quality, 0) << n;
    EXPECT_TRUE(figures.shots.empty()) << n;
  }
  const test::AnalysisFigures figures = Analyse(Samples(53, 255), kWorkedRate);
  EXPECT_EQ(figures.peak_sample, 255);
}

TEST(DetectShots, NeverReadsPastTheHeldSamples) {
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

TEST(Analysis, WithoutSamplesEachPassShowsTheNoDataMessageOnce) {
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
    EXPECT_EQ(engine.average_rof, 0.0F);
    EXPECT_TRUE(engine.shots.empty());
  }
}

TEST(Analysis, WithoutSamplesOrNotifierThePassesJustFail) {
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  EXPECT_FALSE(MeasureClipQuality(engine));
  EXPECT_FALSE(DetectShots(engine));
}

}  // namespace
