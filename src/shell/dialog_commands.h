#pragma once

#include <cstdint>
#include <string>

struct ShellContext;
class DialogSurface;

// Geometry of the Display toggle: the display area's height, how much
// narrower it is than the dialog, and the room the dialog adds beneath it.
inline constexpr std::int32_t kDisplayAreaHeight = 180;
inline constexpr std::int32_t kDisplayWidthInset = 5;
inline constexpr std::int32_t kDisplayBottomRoom = 33;

// The dialog's client height with the display area open under `base_height`.
constexpr std::int32_t HeightWithDisplay(std::int32_t base_height) {
  return base_height + kDisplayAreaHeight + kDisplayBottomRoom;
}

// Runs while the dialog is created: readouts, posted check states, the
// display window, and a posted Display command that sizes the dialog.
void OpeningSequence(ShellContext& context, DialogSurface& dialog);

// The command of a control; other identifiers (the edit fields) do nothing.
void RunDialogCommand(ShellContext& context, int control_id);

// Load of a path chosen in the Load chooser or dropped on the dialog.
void LoadChosenFile(ShellContext& context, const std::string& path);

void ToggleDisplay(ShellContext& context);

// Readouts, waveform, detector mark and REC button for the clip the engine
// now holds.
void ShowNewClip(ShellContext& context);

// While recording: readouts and waveform of what was captured so far.
void ShowRunningFigures(ShellContext& context);

// The caption's close box: ends the main loop and hides the dialog.
void CloseDialog(ShellContext& context);
