#include "shell/dialog_template.h"

#include <gtest/gtest.h>

#include <set>

#include "shell/control_ids.h"

namespace {

TEST(DialogTemplate, HoldsThirtyControlsWithUniqueIdentifiersInTabOrder) {
  const auto& controls = MainDialogControls();
  std::vector<int> ids;
  std::set<int> unique;
  for (const ControlTemplate& control : controls) {
    if (control.id != kNoControlId) {
      ids.push_back(control.id);
      unique.insert(control.id);
    }
  }
  EXPECT_EQ(ids, (std::vector<int>{1002, 1003, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015,
                                   1016, 1004, 1017, 1005, 1018}));
  EXPECT_EQ(unique.size(), ids.size());
  EXPECT_EQ(controls[0].text, "Load");
  EXPECT_EQ(controls[2].kind, ControlKind::GroupBox);
  EXPECT_EQ(controls[2].text, "Readout");
  EXPECT_EQ(controls[22].bitmap_id, 104);
  EXPECT_EQ(controls[23].bitmap_id, 106);
  EXPECT_EQ(controls[28].text, "VERSION: v1.0.0");
  EXPECT_EQ(controls[29].kind, ControlKind::CheckBox);
  EXPECT_EQ(controls[29].text, "Display");
}

TEST(DialogUnits, BaseUnitsAndRoundingFollowTheDialogManager) {
  EXPECT_EQ(BaseUnitsFromMetrics(333, 12).x, 6);
  EXPECT_EQ(BaseUnitsFromMetrics(333, 12).y, 12);
  EXPECT_EQ(BaseUnitsFromMetrics(364, 13).x, 7);  // 14 per letter pair rounds up
  EXPECT_EQ(MulDiv(35, 6, 4), 53);                // 52.5 rounds away from zero
  EXPECT_EQ(MulDiv(-35, 6, 4), -53);
  EXPECT_EQ(MulDiv(91, 13, 8), 148);
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
  EXPECT_EQ(BitmapSizeOf(104).height, 81);
  EXPECT_EQ(BitmapSizeOf(999).width, 0);
}

}  // namespace
