#include "shell/dialog_template.h"

#include <cstdlib>

#include "shell/control_ids.h"

namespace {

using enum ControlKind;

constexpr std::int32_t kAlphabetHalfLength = 26;
constexpr std::int32_t kHorizontalDivisor = 4;
constexpr std::int32_t kVerticalDivisor = 8;

constexpr std::array<ControlTemplate, kDialogControlCount> kControls{{
    {kLoadButton, PushButton, "Load", {319, 59, 40, 13}, 0},
    {kRecButton, PushButton, "REC", {319, 25, 40, 13}, 0},
    {kNoControlId, GroupBox, "Readout", {149, 14, 149, 137}, 0},
    {kNoControlId, GroupBox, "Timing Options", {309, 115, 57, 35}, 0},
    {kNoControlId, Label, "Average ROF", {157, 28, 44, 8}, 0},
    {kNoControlId, Label, "Highest ROF", {157, 46, 42, 10}, 0},
    {kNoControlId, Label, "Lowest ROF", {157, 62, 41, 10}, 0},
    {kNoControlId, Label, "Number Of Shots", {157, 82, 56, 8}, 0},
    {kNoControlId, Label, "Clip Length", {157, 99, 35, 8}, 0},
    {kNoControlId, GroupBox, "Menu", {309, 14, 57, 95}, 0},
    {kAverageRofField, ReadOnlyEdit, "", {217, 27, 34, 12}, 0},
    {kHighestRofField, ReadOnlyEdit, "", {217, 43, 34, 12}, 0},
    {kNumberOfShotsField, ReadOnlyEdit, "", {217, 79, 34, 12}, 0},
    {kAverageUnitField, ReadOnlyEdit, "", {259, 28, 21, 12}, 0},
    {kLowestRofField, ReadOnlyEdit, "", {217, 60, 33, 12}, 0},
    {kClipLengthField, ReadOnlyEdit, "", {217, 98, 34, 13}, 0},
    {kHighestUnitField, ReadOnlyEdit, "", {259, 44, 21, 12}, 0},
    {kLowestUnitField, ReadOnlyEdit, "", {259, 60, 21, 12}, 0},
    {kBpsRadio, RadioButton, "BPS", {317, 125, 28, 10}, 0},
    {kMsRadio, RadioButton, "MS", {317, 135, 25, 10}, 0},
    {kNoControlId, Label, "During Clip", {257, 80, 35, 8}, 0},
    {kNoControlId, Label, "Seconds", {260, 100, 28, 8}, 0},
    {kNoControlId, Picture, "", {15, 102, 122, 50}, kReadoutBitmap},
    {kNoControlId, Picture, "", {15, 14, 122, 91}, kTitleBitmap},
    {kStopButton, PushButton, "STOP", {319, 41, 40, 13}, 0},
    {kNoControlId, Label, "Clip Quality", {157, 116, 38, 8}, 0},
    {kClipQualityField, ReadOnlyEdit, "", {217, 115, 34, 13}, 0},
    {kSaveButton, PushButton, "Save", {319, 76, 40, 13}, 0},
    {kNoControlId, Label, "VERSION: v1.0.0", {205, 132, 56, 9}, 0},
    {kDisplayCheckBox, CheckBox, "Display", {319, 95, 36, 10}, 0},
}};

// value × base / divisor (positive), rounded half away from zero.
std::int32_t ScaleRounded(std::int32_t value, std::int32_t base, std::int32_t divisor) {
  const std::int64_t product = static_cast<std::int64_t>(value) * base;
  const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
  return static_cast<std::int32_t>(product < 0 ? -magnitude : magnitude);
}

}  // namespace

const std::array<ControlTemplate, kDialogControlCount>& MainDialogControls() { return kControls; }

BaseUnits BaseUnitsFromMetrics(std::int32_t alphabet_width, std::int32_t font_height) {
  return BaseUnits{(alphabet_width / kAlphabetHalfLength + 1) / 2, font_height};
}

PixelRect DialogUnitsToPixels(const DialogUnitRect& rect, BaseUnits base) {
  return PixelRect{ScaleRounded(rect.x, base.x, kHorizontalDivisor),
                   ScaleRounded(rect.y, base.y, kVerticalDivisor),
                   ScaleRounded(rect.width, base.x, kHorizontalDivisor),
                   ScaleRounded(rect.height, base.y, kVerticalDivisor)};
}

BitmapSize BitmapSizeOf(int bitmap_id) {
  if (bitmap_id == kReadoutBitmap) {
    return kReadoutBitmapSize;
  }
  if (bitmap_id == kTitleBitmap) {
    return kTitleBitmapSize;
  }
  return {};
}
