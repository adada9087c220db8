#include "shell/readout_panel.h"

#include "engine/recording.h"
#include "shell/control_ids.h"
#include "shell/dialog_surface.h"

void UpdateReadouts(DialogSurface& dialog, const SoundEngine& engine, RateUnit unit) {
  for (const ReadoutText& readout : ReadoutTexts(ShownAnalysis(engine), unit)) {
    dialog.SetItemText(ReadoutField(readout.readout), readout.text);
  }
  dialog.Invalidate();
}

void SetUnitLabels(DialogSurface& dialog, RateUnit unit) {
  for (const int field : kUnitFields) {
    dialog.SetItemText(field, UnitText(unit));
  }
}
