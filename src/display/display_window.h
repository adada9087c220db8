#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "display/display_surface.h"

struct SoundEngine;
struct WaveformView;

inline constexpr std::string_view kDisplayTitle = "TAMBRIX Display";
inline constexpr std::int32_t kDisplayBorderWidth = 1;
// Where the window opens: a client area of 500 × 60 at (0, 250).
inline constexpr PixelRect kDisplayOpeningRect{0, 250, 500, 60};

// The waveform display, a child window of the main dialog; the program has
// one.
struct DisplayWindow {
  std::unique_ptr<DisplaySurface> window;  // null before OpenDisplay and after CloseDisplay
  // Where the window was last put. Its width is the scroll bar's page: the
  // client width when opened, the outer width after a move.
  PixelRect rect = kDisplayOpeningRect;
  // Called after every change of the view (scroll, jump, zoom, new clip,
  // new size), for whatever follows the shot in view.
  std::function<void()> view_moved;
};

void ReportViewMoved(const DisplayWindow& display);

// Takes the newly made window, places it at the opening rectangle grown by
// its border, returns the view to the clip's start and shows the window.
void OpenDisplay(DisplayWindow& display, std::unique_ptr<DisplaySurface> window, WaveformView& view,
                 const SoundEngine& engine);

// Moves the window (outer size, parent's client coordinates); a new size
// returns the view to the clip's start.
void MoveDisplay(DisplayWindow& display, WaveformView& view, const SoundEngine& engine,
                 const PixelRect& outer);

void ShowDisplay(DisplayWindow& display, bool shown);

// Destroys the window; a second call changes nothing.
void CloseDisplay(DisplayWindow& display);
