#include "engine/readout_texts.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Milliseconds are widened before dividing: 1000 / 29.95924 in double.
TEST(FormatRate, BoundariesAndValuesThatDoNotCompare) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float at_736 = 22050.0F / 736.0F;
  for (const auto& [rate, unit, text] :
       {std::tuple{1.0F, RateUnit::Ms, "1000.000000"},
        {0.999999F, RateUnit::Ms, ""},
        {nan, RateUnit::Ms, ""},
        {std::numeric_limits<float>::infinity(), RateUnit::Ms, "0.000000"},
        {at_736, RateUnit::Ms, "33.378684"},
        {at_736, RateUnit::Bps, "29.959240"}}) {
    EXPECT_EQ(FormatRate(rate, unit), text) << rate;
  }
}

}  // namespace
