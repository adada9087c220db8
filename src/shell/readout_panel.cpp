#include "shell/readout_panel.h"

#include "shell/dialog_surface.h"
#include "shell/readout_texts.h"

void UpdateReadouts(DialogSurface& dialog, const SoundEngine& engine, std::uint8_t in_bps) {
  for (const FieldText& field : ReadoutFieldTexts(engine, in_bps)) {
    dialog.SetItemText(field.field_id, field.text);
  }
  dialog.Invalidate();
}

void SetUnitLabels(DialogSurface& dialog, std::string_view unit) {
  for (const FieldText& field : UnitLabelFieldTexts(unit)) {
    dialog.SetItemText(field.field_id, field.text);
  }
}
