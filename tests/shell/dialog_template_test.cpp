#include "shell/dialog_template.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogUnits, BaseUnitsAndRoundingFollowTheDialogManager) {
  EXPECT_EQ(BaseUnitsFromMetrics(333, 12).x, 6);
  EXPECT_EQ(BaseUnitsFromMetrics(333, 12).y, 12);
  EXPECT_EQ(BaseUnitsFromMetrics(364, 13).x, 7);  // 14 per letter pair rounds up
  EXPECT_EQ(MulDiv(35, 6, 4), 53);                // 52.5 rounds away from zero
  EXPECT_EQ(MulDiv(-35, 6, 4), -53);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);

  // At the usual 6 × 13 the pictures' frames are exactly their bitmaps.
  const BaseUnits usual{6, 13};
  const PixelRect dialog = DialogUnitsToPixels(kDialogSize, usual);
  EXPECT_EQ(dialog.width, 573);
  EXPECT_EQ(dialog.height, 283);
  const PixelRect title = DialogUnitsToPixels(MainDialogControls()[23].rect, usual);
  EXPECT_EQ(title.width, kTitleBitmapSize.width);
  EXPECT_EQ(title.height, kTitleBitmapSize.height);
  const PixelRect readout = DialogUnitsToPixels(MainDialogControls()[22].rect, usual);
  EXPECT_EQ(readout.width, kReadoutBitmapSize.width);
  EXPECT_EQ(readout.height, kReadoutBitmapSize.height);
}

}  // namespace
