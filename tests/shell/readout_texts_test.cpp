#include "shell/readout_texts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

std::vector<std::string> Texts(const std::vector<FieldText>& fields) {
  std::vector<std::string> texts;
  for (const FieldText& field : fields) {
    texts.push_back(field.text);
  }
  return texts;
}

std::vector<int> Ids(const std::vector<FieldText>& fields) {
  std::vector<int> ids;
  for (const FieldText& field : fields) {
    ids.push_back(field.field_id);
  }
  return ids;
}

class ReadoutTexts : public ::testing::Test {
 protected:
  test::ScopedWorkDir dir_;
  SilentAudioSystem audio_;
  SoundEngine engine_{&audio_, nullptr};
};

TEST_F(ReadoutTexts, EmptyEngineInBothUnits) {
  EXPECT_EQ(Ids(ReadoutFieldTexts(engine_, 1)),
            (std::vector<int>{1007, 1008, 1011, 1009, 1012, 1017}));
  EXPECT_EQ(Texts(ReadoutFieldTexts(engine_, 1)),
            (std::vector<std::string>{"0.000000", "0.000000", "0.000000", "0", "0", "100"}));
  EXPECT_EQ(Texts(ReadoutFieldTexts(engine_, 0)),
            (std::vector<std::string>{"", "", "", "0", "0", "100"}));
}

TEST_F(ReadoutTexts, MillisecondsAreOneThousandOverTheRate) {
  engine_.average_rof = 2.0F;
  engine_.highest_rof = 3.5F;
  engine_.lowest_rof = 0.5F;
  engine_.number_of_shots = 7;
  engine_.clip_length = 12;
  engine_.clip_quality = 0;
  EXPECT_EQ(Texts(ReadoutFieldTexts(engine_, 0)),
            (std::vector<std::string>{"500.000000", "285.714286", "", "7", "12", "0"}));
  EXPECT_EQ(Texts(ReadoutFieldTexts(engine_, 1)),
            (std::vector<std::string>{"2.000000", "3.500000", "0.500000", "7", "12", "0"}));
}

TEST_F(ReadoutTexts, AnyUnitValueOtherThanOneMeansMilliseconds) {
  engine_.average_rof = 12.5F;
  EXPECT_EQ(ReadoutFieldTexts(engine_, 2)[0].text, "80.000000");
  EXPECT_EQ(ReadoutFieldTexts(engine_, 1)[0].text, "12.500000");
}

TEST(FormatRate, BoundariesAndValuesThatDoNotCompare) {
  EXPECT_EQ(FormatRate(1.0F, 0), "1000.000000");
  EXPECT_EQ(FormatRate(0.999999F, 0), "");
  EXPECT_EQ(FormatRate(std::numeric_limits<float>::quiet_NaN(), 0), "");
  EXPECT_EQ(FormatRate(std::numeric_limits<float>::infinity(), 0), "0.000000");
  // The rate is widened before dividing: 1000 / 29.95924 in double precision.
  EXPECT_EQ(FormatRate(22050.0F / 736.0F, 0), "33.378684");
  EXPECT_EQ(FormatRate(22050.0F / 736.0F, 1), "29.959240");
}

TEST(UnitLabels, SameTextIntoTheThreeUnitFieldsInOrder) {
  const auto fields = UnitLabelFieldTexts(kUnitMs);
  EXPECT_EQ(Ids(fields), (std::vector<int>{1010, 1013, 1014}));
  EXPECT_EQ(Texts(fields), (std::vector<std::string>{"ms", "ms", "ms"}));
}

}  // namespace
