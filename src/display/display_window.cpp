#include "display/display_window.h"

#include "display/waveform_view.h"

namespace {

// Every new size starts the view over at the clip's start; the zoom stays
// as far as the new width allows.
void ResetView(WaveformView& view, const SoundEngine& engine, DisplayWindow& display) {
  view.view_offset = kInitialViewOffset;
  ShowView(view, engine, display);
}

}  // namespace

void OpenDisplay(DisplayWindow& display, std::unique_ptr<DisplaySurface> window, WaveformView& view,
                 const SoundEngine& engine) {
  display.window = std::move(window);
  display.rect = kDisplayOpeningRect;
  const PixelRect& client = display.rect;
  display.window->Move(PixelRect{client.x, client.y, client.width + 2 * kDisplayBorderWidth,
                                 client.height + 2 * kDisplayBorderWidth});
  ResetView(view, engine, display);
  display.window->Show(true);
}

void MoveDisplay(DisplayWindow& display, WaveformView& view, const SoundEngine& engine,
                 const PixelRect& outer) {
  display.rect = outer;
  if (display.window && display.window->Move(outer)) {
    ResetView(view, engine, display);
  }
}

void ReportViewMoved(const DisplayWindow& display) {
  if (display.view_moved) {
    display.view_moved();
  }
}

void ShowDisplay(DisplayWindow& display, bool shown) {
  if (display.window) {
    display.window->Show(shown);
  }
}

void CloseDisplay(DisplayWindow& display) { display.window.reset(); }
