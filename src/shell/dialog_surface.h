#pragma once

#include <memory>
#include <string_view>

#include "shell/shell_state.h"

class DisplaySurface;
struct DisplayWindow;
struct SoundEngine;
struct WaveformView;

// The main dialog as its commands use it. Its rectangle is its client area
// on the screen: a window manager's frame around it is no part of it, so
// its size is the same with and without one.
class DialogSurface {
 public:
  virtual ~DialogSurface() = default;
  virtual void SetItemText(int control_id, std::string_view text) = 0;
  // Takes effect later, from the event queue.
  virtual void PostCheck(int control_id, bool checked) = 0;
  virtual void PostCommand(int control_id) = 0;
  virtual WindowRect GetWindowRect() const = 0;
  virtual void MoveWindow(const WindowRect& client) = 0;
  virtual void Invalidate() = 0;
  virtual void Activate() = 0;
  virtual void Hide() = 0;
  // The mark over the waveform (empty: none); when it offers the other
  // detector's result, a click on it asks for that.
  virtual void ShowDetectorMark(std::string_view text, bool offers_other) = 0;
  // The shot review, where open, shows the clip the engine now holds.
  virtual void ReviewNewClip() = 0;
  // A new display window inside the dialog, hidden, that paints and scrolls
  // `view`.
  virtual std::unique_ptr<DisplaySurface> CreateDisplay(WaveformView& view,
                                                        const SoundEngine& engine,
                                                        DisplayWindow& display) = 0;
};
