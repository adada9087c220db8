#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "display/display_colours.h"
#include "display/display_surface.h"

class Notifier;

// Window styles the host looks at.
inline constexpr std::uint32_t kStyleBorder = 0x00800000;
inline constexpr std::uint32_t kDisplayExStyle = 0x00040088;
inline constexpr std::uint32_t kDisplayStyle = 0x52900000;

inline constexpr std::string_view kDisplayClassName = "TAMBRIXDisplayClass";
inline constexpr std::string_view kDisplayTitle = "TAMBRIX Display";

// Host record of one window: what is needed to register its class, create
// it, move it and destroy it. The program has one, for the waveform display.
struct DisplayWindow {
  DisplayPlatform* platform = nullptr;  // owns the class; null after Destroy
  DisplayProcedure window_procedure;
  std::unique_ptr<DisplaySurface> window;  // null before creation, on failure, after Destroy
  bool full_screen = false;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;  // client size for Create, outer size for Move
  std::int32_t height = 0;
  std::string_view class_name;
  std::string_view menu_name;
  std::string_view title;
  std::string_view icon_name;
  ParentWindow* parent = nullptr;
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
  Rgb background = kDisplayBackground;
};

// The record of the waveform display as the program constructs it.
DisplayWindow ProgramDisplayWindow();

// Registers the class and creates the window under `parent`; the procedure
// receives Create and the first Size during the call. False, with a message
// box, when a step fails.
bool Create(DisplayWindow& display, DisplayPlatform& platform, Notifier& notifier,
            DisplayProcedure window_procedure);

// Moves the window to x, y, width × height (outer size, parent's client
// coordinates); a changed size reaches the procedure as Size.
void Move(DisplayWindow& display, bool repaint);

void Show(DisplayWindow& display, bool shown);

// Destroys the window and unregisters the class. A second call changes
// nothing.
bool Destroy(DisplayWindow& display);

// The outer size of a window of the given client size and style.
PixelRect AdjustWindowRect(const PixelRect& client, std::uint32_t style);
