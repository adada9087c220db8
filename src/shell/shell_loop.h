#pragma once

struct ShellContext;

// Start-up before the dialog: the first log line and the start directory.
void BeginShell(ShellContext& context);

// The end of a start-up whose dialog could not be made; returns the exit code.
int FailShellStart();

// The same for a start that failed before BeginShell could run, as when the
// toolkit gives up while starting.
int FailStartBeforeShell();

// One turn's recording work: poll the capture, and stop the recording once
// the tick source is more than the limit past the last REC. A failed poll
// finishes "tmp", tells the user and ends the program. The REC button
// follows.
void ServiceRecording(ShellContext& context);

// A quit request from outside the dialog (a signal, the session ending).
void ReceiveQuitMessage(ShellContext& context);

// After the loop: finishes a running recording, destroys the display window
// and writes the closing lines; returns the exit code.
int ShutdownShell(ShellContext& context);
