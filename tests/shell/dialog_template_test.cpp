#include "shell/dialog_template.h"

#include <gtest/gtest.h>

namespace {

// At the usual 6 × 13 base units the dialog is 573 × 283 and the pictures'
// frames are exactly their bitmaps; 14 pixels per letter pair round up.
TEST(DialogUnits, GiveTheDialogItsPixelSizes) {
  EXPECT_EQ(BaseUnitsFromMetrics(364, 13).x, 7);
  const BaseUnits usual{6, 13};
  for (const auto& [rect, width, height] :
       {std::tuple{kDialogSize, 573, 283}, std::tuple{MainDialogControls()[23].rect, 183, 148},
        std::tuple{MainDialogControls()[22].rect, 183, 81}}) {
    const PixelRect pixels = DialogUnitsToPixels(rect, usual);
    EXPECT_EQ(pixels.width, width);
    EXPECT_EQ(pixels.height, height);
  }
  EXPECT_EQ(DialogUnitsToPixels({35, 0, 0, 0}, usual).x, 53);  // 52.5 rounds up
}

}  // namespace
