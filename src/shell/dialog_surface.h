#pragma once

#include <cstdint>
#include <string_view>

#include "display/display_surface.h"
#include "shell/shell_state.h"

// The main dialog as its commands use it. Moves are in outer (frame)
// coordinates on the screen.
class DialogSurface : public ParentWindow {
 public:
  virtual void SetItemText(int control_id, std::string_view text) = 0;
  // Takes effect later, from the event queue.
  virtual void PostCheck(int control_id, bool checked) = 0;
  virtual void PostCommand(int control_id) = 0;
  virtual WindowRect GetWindowRect() const = 0;
  virtual void MoveWindow(const WindowRect& outer) = 0;
  virtual void Invalidate() = 0;
  virtual void Activate() = 0;
  virtual void Hide() = 0;
};
