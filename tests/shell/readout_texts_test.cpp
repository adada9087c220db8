#include "shell/readout_texts.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(FormatRate, BoundariesAndValuesThatDoNotCompare) {
  struct Case {
    float rate;
    std::uint8_t in_bps;
    const char* text;
  };
  for (const Case& c :
       {Case{1.0F, 0, "1000.000000"}, Case{0.999999F, 0, ""},
        Case{std::numeric_limits<float>::quiet_NaN(), 0, ""},
        Case{std::numeric_limits<float>::infinity(), 0, "0.000000"},
        // widened before dividing: 1000 / 29.95924 in double
        Case{22050.0F / 736.0F, 0, "33.378684"}, Case{22050.0F / 736.0F, 1, "29.959240"}}) {
    EXPECT_EQ(FormatRate(c.rate, c.in_bps), c.text) << c.rate << " " << int{c.in_bps};
  }
}

}  // namespace
