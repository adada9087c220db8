#pragma once

// The real main dialog and display widget over the shell's fake choosers,
// message boxes and ticks, for Qt tests (offscreen).

#include <QApplication>
#include <QCoreApplication>
#include <memory>

#include "display/display_widget_qt.h"
#include "shell/main_dialog_qt.h"
#include "shell/shell_fakes.h"

namespace test {

struct QtShellHarness {
  explicit QtShellHarness(AudioSystem* audio = nullptr)
      : engine(audio != nullptr ? audio : &silent_audio, &notifier),
        context{state, engine, display, view, services} {
    state.start_directory = dir.path().string();
    dialog = CreateMainDialog(context);
    dialog->show();
    Settle();
  }
  ~QtShellHarness() {
    Destroy(display);
    dialog.reset();
  }
  QtShellHarness(const QtShellHarness&) = delete;
  QtShellHarness& operator=(const QtShellHarness&) = delete;

  // Lets posted work (check states, the Display command, repaints) run.
  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
    }
  }
  DisplayWidget* Display() const {
    return dialog->findChild<DisplayWidget*>(QStringLiteral("TAMBRIXDisplayClass"));
  }
  template <typename Widget>
  Widget* Control(int id) const {
    return qobject_cast<Widget*>(dialog->Control(id));
  }

  ScopedWorkDir dir;
  SilentAudioSystem silent_audio;
  RecordingNotifier notifier;
  FakeChooser chooser;
  FakeTicks ticks;
  DisplayPlatformQt platform;
  ShellServices services{chooser, notifier, ticks, platform};
  SoundEngine engine;
  ShellState state;
  DisplayWindow display = ProgramDisplayWindow();
  WaveformView view;
  ShellContext context;
  std::unique_ptr<MainDialog> dialog;
};

}  // namespace test
