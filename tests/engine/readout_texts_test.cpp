#include "engine/readout_texts.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(FormatRate, BoundariesAndValuesThatDoNotCompare) {
  struct Case {
    float rate;
    RateUnit unit;
    const char* text;
  };
  for (const Case& c : {Case{1.0F, RateUnit::Ms, "1000.000000"}, Case{0.999999F, RateUnit::Ms, ""},
                        Case{std::numeric_limits<float>::quiet_NaN(), RateUnit::Ms, ""},
                        Case{std::numeric_limits<float>::infinity(), RateUnit::Ms, "0.000000"},
                        // widened before dividing: 1000 / 29.95924 in double
                        Case{22050.0F / 736.0F, RateUnit::Ms, "33.378684"},
                        Case{22050.0F / 736.0F, RateUnit::Bps, "29.959240"}}) {
    EXPECT_EQ(FormatRate(c.rate, c.unit), c.text) << c.rate;
  }
}

}  // namespace
