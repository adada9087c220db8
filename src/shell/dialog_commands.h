#pragma once

#include <cstdint>
#include <string>

#include "display/display_surface.h"

struct ShellContext;
class DialogSurface;

// Geometry of the Display toggle: the display area's height, how much
// narrower it is than the dialog, and the room the dialog adds beneath it.
inline constexpr std::int32_t kDisplayAreaHeight = 180;
inline constexpr std::int32_t kDisplayWidthInset = 5;
inline constexpr std::int32_t kDisplayBottomRoom = 33;

enum class DialogMessageKind : std::uint8_t { InitDialog, Command, Close };

struct DialogMessage {
  DialogMessageKind kind = DialogMessageKind::Command;
  int control_id = 0;  // Command only
};

// The dialog's handler: the opening sequence when it is made, the command of
// a control, and the caption's close box.
void DialogProcedure(ShellContext& context, DialogSurface& dialog, const DialogMessage& message);

// The handler the display window is created with.
DisplayProcedure MakeDisplayProcedure(ShellContext& context);

// Runs while the dialog is created: readouts, posted check states, the
// display window, and a posted Display command that sizes the dialog.
void OpeningSequence(ShellContext& context, DialogSurface& dialog);

// The command of a control; unknown identifiers (Enter, Esc, the edit fields)
// do nothing.
void RunDialogCommand(ShellContext& context, int control_id);

// Load of a path chosen in the Load chooser or dropped on the dialog.
void LoadChosenFile(ShellContext& context, const std::string& path);

void ToggleDisplay(ShellContext& context);

// The caption's close box: ends the main loop and hides the dialog.
void CloseDialog(ShellContext& context);
