#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "display/display_surface.h"

// The main dialog's template: caption, size and controls in dialog units,
// which the dialog font's base units turn into pixels.

enum class ControlKind : std::uint8_t {
  PushButton,
  GroupBox,
  Label,
  ReadOnlyEdit,
  RadioButton,
  CheckBox,
  Picture,
};

struct DialogUnitRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct ControlTemplate {
  int id;  // kNoControlId for labels, group boxes and pictures
  ControlKind kind;
  std::string_view text;
  DialogUnitRect rect;
  int bitmap_id;  // pictures only, else 0
};

// Average character width and character height of the dialog font.
struct BaseUnits {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct BitmapSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

inline constexpr int kReadoutBitmap = 104;
inline constexpr int kTitleBitmap = 106;
inline constexpr BitmapSize kReadoutBitmapSize{183, 81};
inline constexpr BitmapSize kTitleBitmapSize{183, 148};
inline constexpr std::string_view kDialogCaption = "PC Tallyquin (TM)";
inline constexpr DialogUnitRect kDialogSize{0, 0, 382, 174};
inline constexpr std::size_t kDialogControlCount = 30;
// The text whose width gives the average character width.
inline constexpr std::string_view kBaseUnitAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The 30 controls in template order, which is also the tab order.
const std::array<ControlTemplate, kDialogControlCount>& MainDialogControls();

// Base units from the font: half the rounded-up average width of the
// alphabet's 52 letters, and the font's height.
BaseUnits BaseUnitsFromMetrics(std::int32_t alphabet_width, std::int32_t font_height);

// Dialog units to pixels: x across in quarters, y down in eighths of the
// base units.
PixelRect DialogUnitsToPixels(const DialogUnitRect& rect, BaseUnits base);

// A picture control takes its bitmap's size.
BitmapSize BitmapSizeOf(int bitmap_id);
