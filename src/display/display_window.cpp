#include "display/display_window.h"

#include "engine/notifier.h"
#include "log/event_log.h"

namespace {

constexpr std::int32_t kCreateX = 0;
constexpr std::int32_t kCreateY = 250;
constexpr std::int32_t kCreateWidth = 500;
constexpr std::int32_t kCreateHeight = 60;

bool Fail(Notifier& notifier, const char* message) {
  WriteLogEntry(LogTarget::Critical, message);
  notifier.ShowMessage(message, "");
  return false;
}

void Dispatch(const DisplayWindow& display, DisplayMessageKind kind) {
  if (display.window_procedure) {
    display.window_procedure(DisplayMessage{kind, ScrollCode::EndScroll});
  }
}

}  // namespace

DisplayWindow ProgramDisplayWindow() {
  DisplayWindow display;
  display.full_screen = false;
  display.x = kCreateX;
  display.y = kCreateY;
  display.width = kCreateWidth;
  display.height = kCreateHeight;
  display.class_name = kDisplayClassName;
  display.title = kDisplayTitle;
  display.ex_style = kDisplayExStyle;
  display.style = kDisplayStyle;
  display.background = kDisplayBackground;
  return display;
}

PixelRect AdjustWindowRect(const PixelRect& client, std::uint32_t style) {
  PixelRect outer = client;
  if ((style & kStyleBorder) != 0) {
    outer.x -= 1;
    outer.y -= 1;
    outer.width += 2;
    outer.height += 2;
  }
  return outer;
}

bool Create(DisplayWindow& display, DisplayPlatform& platform, Notifier& notifier,
            DisplayProcedure window_procedure) {
  if (!window_procedure) {
    return Fail(notifier, "no window procedure");
  }
  display.window_procedure = std::move(window_procedure);
  display.platform = &platform;
  if (!platform.RegisterWindowClass(display.class_name, display.background)) {
    return Fail(notifier, "error registering class");
  }
  const PixelRect adjusted =
      AdjustWindowRect(PixelRect{0, 0, display.width, display.height}, display.style);
  display.window =
      platform.CreateDisplayWindow(display.class_name, display.title,
                                   PixelRect{display.x, display.y, adjusted.width, adjusted.height},
                                   display.parent, display.window_procedure);
  if (!display.window) {
    // The class stays registered, as it was.
    return Fail(notifier, "Failed To Create Window hWnd");
  }
  Dispatch(display, DisplayMessageKind::Create);
  Dispatch(display, DisplayMessageKind::Size);
  display.window->Show(true);
  return true;
}

void Move(DisplayWindow& display, bool repaint) {
  if (!display.window) {
    return;
  }
  if (display.window->Move(PixelRect{display.x, display.y, display.width, display.height},
                           repaint)) {
    Dispatch(display, DisplayMessageKind::Size);
  }
}

void Show(DisplayWindow& display, bool shown) {
  if (display.window) {
    display.window->Show(shown);
  }
}

bool Destroy(DisplayWindow& display) {
  display.window.reset();
  if (display.platform != nullptr) {
    display.platform->UnregisterWindowClass(display.class_name);
    display.platform = nullptr;
  }
  return true;
}
