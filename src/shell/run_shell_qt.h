#pragma once

struct SoundEngine;
struct DisplayWindow;
struct ShellServices;

// The program from the first log line to the last: makes the main dialog,
// runs the event loop (which services a recording every turn while one
// runs) until the dialog is closed or a quit request arrives, then shuts
// down. Returns the exit code: 1 when the dialog can't be made.
int RunShell(SoundEngine& engine, DisplayWindow& display, ShellServices& services);

// Names and icon of the application; call once the application exists.
void ConfigureApplication();
