#include "engine/analysis.h"

#include <gtest/gtest.h>

#include <cstdint>
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

// Exactly `steady` steady neighbours and `full` samples at 255 among the
// analysed positions of 12000 samples; the others alternate 100 and `top`.
// The first position is compared with 0, so 100 there is not steady.
Samples QualityClip(std::uint32_t steady, std::uint32_t full, std::uint8_t top = 200) {
  Samples samples(12000, 128);
  std::uint32_t i = kFirstAnalysedPosition;
  for (std::uint32_t k = 0; k <= steady; ++k) {
    samples[i++] = 100;
  }
  for (std::uint32_t k = 0; i + 1 < samples.size(); ++i, ++k) {
    const bool at_full = k % 2 == 0 && full > 0;
    full -= at_full ? 1 : 0;
    samples[i] = k % 2 == 1 ? 100 : at_full ? 255 : top;
  }
  return samples;
}

// The penalty from a raised start, so that no total is hidden by the clamp.
int Penalty(const Samples& samples, std::uint32_t clip_length) {
  constexpr std::int16_t kRaised = 400;
  SoundEngine engine(nullptr, nullptr);
  test::HoldClip(engine, samples, kWorkedRate);
  engine.clip_length = clip_length;
  engine.clip_quality = kRaised;
  EXPECT_TRUE(MeasureClipQuality(engine));
  return engine.clip_quality == 0 ? -1 : kRaised - engine.clip_quality;
}

// Each table limit and the value just below it; the tables add up, a peak
// below 200 zeroes any score, and sample 51 is compared with 0, not sample 50.
TEST(ClipQuality, PenaltiesAtEachTableLimit) {
  struct Row {
    std::uint32_t steady, full, seconds;
    int penalty;
  };
  // clang-format off
  const Row rows[] = {
      {5000, 0, 5, 147}, {5000, 4, 5, 147}, {5000, 5, 5, 94}, {5000, 9, 5, 94}, {5000, 10, 5, 67},
      {5000, 14, 5, 67}, {5000, 15, 5, 44}, {5000, 19, 5, 44}, {5000, 20, 5, 33}, {5000, 24, 5, 33},
      {5000, 25, 5, 24}, {5000, 29, 5, 24}, {5000, 30, 5, 16}, {5000, 59, 5, 16}, {5000, 60, 5, 9},
      {5000, 99, 5, 9}, {5000, 100, 5, 3}, {5000, 199, 5, 3}, {5000, 200, 5, 0},
      {0, 200, 5, 116}, {249, 200, 5, 116}, {250, 200, 5, 68}, {499, 200, 5, 68},
      {500, 200, 5, 42}, {999, 200, 5, 42}, {1000, 200, 5, 23}, {1999, 200, 5, 23},
      {2000, 200, 5, 15}, {2999, 200, 5, 15}, {3000, 200, 5, 9}, {3999, 200, 5, 9},
      {4000, 200, 5, 4}, {4999, 200, 5, 4}, {5000, 200, 5, 0},
      {5000, 200, 0, 121}, {5000, 200, 1, 78}, {5000, 200, 2, 44}, {5000, 200, 3, 21},
      {5000, 200, 4, 10}, {5000, 200, 600, 0}, {4000, 100, 4, 3 + 4 + 10},
  };
  // clang-format on
  for (const Row& r : rows) {
    EXPECT_EQ(Penalty(QualityClip(r.steady, r.full), r.seconds), r.penalty)
        << r.steady << " " << r.full << " " << r.seconds;
  }
  EXPECT_EQ(Penalty(QualityClip(5000, 0, 199), 5), -1);
  for (const auto& [first, penalty] : {std::pair{4, 0}, std::pair{5, 4}}) {
    Samples samples = QualityClip(5000, 200);
    samples[50] = samples[51] = static_cast<std::uint8_t>(first);
    EXPECT_EQ(Penalty(samples, 5), penalty) << first;
  }
}

TEST(DetectShots, WorkedExamples) {
  const float at_736 = static_cast<float>(22050.0 / 736.0);
  const float at_2070 = static_cast<float>(22050.0 / 2070.0);
  struct Row {
    const char* name;
    std::uint32_t samples;
    Positions bursts, shots;
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
      {"one", 40000, {30000}, {29958}, 0, 0, 0, 1, 6},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto figures = Analyse(test::MakeShotTrain(r.samples, r.bursts), kWorkedRate);
    EXPECT_EQ(PositionsOf(figures), r.shots);
    EXPECT_EQ(figures.highest_rof, r.highest);
    EXPECT_EQ(figures.lowest_rof, r.lowest);
    EXPECT_EQ(figures.average_rof, r.average);
    EXPECT_EQ(figures.number_of_shots, r.number_of_shots);
    EXPECT_EQ(figures.clip_quality, r.quality);
  }
}

}  // namespace
