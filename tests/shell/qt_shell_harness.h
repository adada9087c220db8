#pragma once

// The shell over a fake microphone, chooser, clock and message boxes, in a
// fresh working directory; QtShellHarness adds the real main dialog.

#include <QCoreApplication>
#include <QLineEdit>
#include <deque>
#include <filesystem>

#include "display/display_window.h"
#include "display/waveform_view.h"
#include "engine/sound_engine.h"
#include "shell/file_chooser.h"
#include "shell/main_dialog_qt.h"
#include "shell/shell_context.h"
#include "shell/shell_state.h"
#include "shell/tick_source.h"
#include "support/fake_audio_system.h"
#include "support/test_support.h"

namespace test {

// The next scripted answer (none left: cancelled), after moving to
// `wander_to` as a real chooser may.
struct FakeChooser final : FileChooser {
  std::optional<std::string> Choose(const ChooserRequest& /*request*/) override {
    if (!wander_to.empty()) {
      std::filesystem::current_path(wander_to);
    }
    if (answers.empty()) {
      return std::nullopt;
    }
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::string> answers;
  std::filesystem::path wander_to;
};

struct FakeTicks final : TickSource {
  std::uint32_t Now() override { return now; }
  std::uint32_t now = 0;
};

struct ShellParts {
  ShellParts() {
    audio.ring.assign(kRingBytes, 128);
    state.start_directory = dir.path().string();
  }
  ScopedWorkDir dir;
  FakeAudioSystem audio;
  RecordingNotifier notifier;
  FakeChooser chooser;
  FakeTicks ticks;
  ShellServices services{chooser, notifier, ticks};
  SoundEngine engine{&audio, &notifier};
  ShellState state;
  DisplayWindow display;
  WaveformView view;
  ShellContext context{state, engine, display, view, services};
};

struct QtShellHarness : ShellParts {
  QtShellHarness() : dialog(CreateMainDialog(context)) {
    dialog->show();
    Settle();
  }
  ~QtShellHarness() { CloseDisplay(display); }
  // Lets posted work (check states, the Display command, repaints) run.
  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
    }
  }
  template <typename Widget>
  Widget* Control(int id) const {
    return qobject_cast<Widget*>(dialog->Control(id));
  }
  std::string Text(int id) const { return Control<QLineEdit>(id)->text().toStdString(); }
  std::unique_ptr<MainDialog> dialog;
};

}  // namespace test
