#pragma once

struct ShellState;
struct SoundEngine;
struct DisplayWindow;
struct WaveformView;
class DialogSurface;
class FileChooser;
class Notifier;
class TickSource;

// The platform pieces the shell works through.
struct ShellServices {
  FileChooser& chooser;
  Notifier& notifier;
  TickSource& ticks;
};

// Everything the dialog's commands and the main loop act on.
struct ShellContext {
  ShellState& state;
  SoundEngine& engine;
  DisplayWindow& display;
  WaveformView& view;
  ShellServices& services;
  DialogSurface* dialog = nullptr;  // set when the dialog opens
};
