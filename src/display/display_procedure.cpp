#include "display/display_procedure.h"

#include "display/display_window.h"
#include "display/waveform_picture.h"
#include "display/waveform_view.h"

void DisplayWindowProcedure(WaveformView& view, const SoundEngine& engine, DisplayWindow& display,
                            const DisplayMessage& message) {
  switch (message.kind) {
    case DisplayMessageKind::Create:
      PaintWaveform(view, engine, display);
      view.view_offset = kInitialViewOffset;
      UpdateScrollBar(view, engine, display);
      break;
    case DisplayMessageKind::Size:
      view.view_offset = kInitialViewOffset;
      UpdateScrollBar(view, engine, display);
      PaintWaveform(view, engine, display);
      break;
    case DisplayMessageKind::Paint:
      PaintWaveform(view, engine, display);
      break;
    case DisplayMessageKind::HorizontalScroll:
      HandleScroll(view, engine, display, message.code);
      break;
    case DisplayMessageKind::LeftButtonDown:
      break;
  }
}
