#include "shell/dialog_commands.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "display/display_window.h"
#include "display/waveform_view.h"
#include "engine/clip_files.h"
#include "engine/notifier.h"
#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "log/event_log.h"
#include "shell/chosen_path.h"
#include "shell/control_ids.h"
#include "shell/detector_choice.h"
#include "shell/dialog_surface.h"
#include "shell/file_chooser.h"
#include "shell/readout_panel.h"
#include "shell/recording_indicator.h"
#include "shell/shell_context.h"
#include "shell/shell_state.h"
#include "shell/tick_source.h"

namespace {

constexpr const char* kNoDataLoaded = "No Data Is Loaded";

void LoadCommand(ShellContext& context) {
  if (const std::optional<std::string> path = ChooseFile(context, kLoadChooser)) {
    LoadChosenFile(context, *path);
  }
}

void RecCommand(ShellContext& context) {
  const bool started = StartRecording(context.engine);
  context.state.record_start_tick = context.services.ticks.Now();
  if (started) {
    ShowRunningFigures(context);
  }
  ShowRecordingState(context);
}

void StopCommand(ShellContext& context) {
  StopRecording(context.engine);
  context.state.clip_name = kTempFileName;
  ShowNewClip(context);
}

void SaveCommand(ShellContext& context) {
  if (!context.engine.HasData()) {
    WriteLogEntry(LogTarget::Critical, kNoDataLoaded);
    context.services.notifier.ShowMessage(kNoDataLoaded, "");
    return;
  }
  const std::optional<std::string> path = ChooseFile(context, kSaveChooser);
  if (!path) {
    return;  // the chooser may have left another current directory
  }
  RestoreStartDirectory(context);
  SaveWave(context.engine, *path);
  UpdateReadouts(*context.dialog, context.engine, context.state.rate_unit);
}

void SelectUnits(ShellContext& context, RateUnit unit) {
  context.state.rate_unit = unit;
  SetUnitLabels(*context.dialog, unit);
  UpdateReadouts(*context.dialog, context.engine, unit);
}

}  // namespace

void ShowNewClip(ShellContext& context) {
  UpdateReadouts(*context.dialog, context.engine, context.state.rate_unit);
  ShowClip(context.view, context.engine, context.display);
  const DetectorMark mark = MarkFor(context.engine);
  context.dialog->ShowDetectorMark(mark.text, mark.offers_other);
  ShowRecordingState(context);
  context.dialog->ReviewNewClip();
}

void ShowRunningFigures(ShellContext& context) {
  UpdateReadouts(*context.dialog, context.engine, context.state.rate_unit);
  FollowNewestSound(context.view, context.engine, context.display);
}

void OpeningSequence(ShellContext& context, DialogSurface& dialog) {
  ShellState& state = context.state;
  context.dialog = &dialog;
  SetUnitLabels(dialog, RateUnit::Bps);
  UpdateReadouts(dialog, context.engine, state.rate_unit);
  dialog.PostCheck(kBpsRadio, state.rate_unit == RateUnit::Bps);
  dialog.PostCheck(kMsRadio, state.rate_unit == RateUnit::Ms);
  dialog.PostCheck(kDisplayCheckBox, state.display_shown);
  OpenDisplay(context.display, dialog.CreateDisplay(context.view, context.engine, context.display),
              context.view, context.engine);
  // The posted Display command inverts this back and applies it.
  state.display_shown = !state.display_shown;
  dialog.PostCommand(kDisplayCheckBox);
  dialog.Activate();
}

void RunDialogCommand(ShellContext& context, int control_id) {
  if (context.dialog == nullptr) {
    return;
  }
  switch (control_id) {
    case kLoadButton:
      LoadCommand(context);
      break;
    case kRecButton:
      RecCommand(context);
      break;
    case kStopButton:
      StopCommand(context);
      break;
    case kSaveButton:
      SaveCommand(context);
      break;
    case kBpsRadio:
      SelectUnits(context, RateUnit::Bps);
      break;
    case kMsRadio:
      SelectUnits(context, RateUnit::Ms);
      break;
    case kDisplayCheckBox:
      ToggleDisplay(context);
      break;
    default:
      break;
  }
}

void LoadChosenFile(ShellContext& context, const std::string& path) {
  if (context.dialog == nullptr) {
    return;
  }
  RestoreStartDirectory(context);
  // A load would otherwise drop a running recording with its capture still
  // open and "tmp" unfinished.
  if (context.engine.IsRecording()) {
    StopRecording(context.engine);
  }
  WriteLogEntry(LogTarget::Routine, "Starting Loading File");
  LoadClip(context.engine, path);
  context.state.clip_name = path;
  ShowNewClip(context);
}

void ToggleDisplay(ShellContext& context) {
  ShellState& state = context.state;
  DialogSurface& dialog = *context.dialog;
  state.display_shown = !state.display_shown;
  const WindowRect current = dialog.GetWindowRect();
  if (state.base_width == 0 && state.base_height == 0) {
    state.base_width = current.right - current.left;
    state.base_height = current.bottom - current.top;
  }
  const WindowRect base{current.left, current.top, current.left + state.base_width,
                        current.top + state.base_height};
  if (!state.display_shown) {
    dialog.MoveWindow(base);
    ShowDisplay(context.display, false);
    return;
  }
  MoveDisplay(
      context.display, context.view, context.engine,
      PixelRect{0, state.base_height, state.base_width - kDisplayWidthInset, kDisplayAreaHeight});
  dialog.MoveWindow(
      WindowRect{base.left, base.top, base.right, base.top + HeightWithDisplay(state.base_height)});
  ShowDisplay(context.display, true);
  dialog.Activate();
}

void CloseDialog(ShellContext& context) {
  context.state.quit_requested = true;
  if (context.dialog != nullptr) {
    context.dialog->Hide();
  }
}
