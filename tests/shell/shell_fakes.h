#pragma once

// Test doubles of the shell's platform pieces and a harness that wires a
// ShellContext to them. Posted checks and commands wait in queues until a
// test delivers them, as the event loop would.

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "display/display_fakes.h"
#include "display/display_window.h"
#include "display/waveform_view.h"
#include "engine/sound_engine.h"
#include "shell/dialog_commands.h"
#include "shell/dialog_surface.h"
#include "shell/file_chooser.h"
#include "shell/shell_context.h"
#include "shell/shell_state.h"
#include "shell/tick_source.h"
#include "support/test_support.h"

namespace test {

class FakeDialog final : public DialogSurface {
 public:
  void SetItemText(int control_id, std::string_view text) override {
    texts[control_id] = std::string(text);
    text_writes.push_back(control_id);
  }
  void PostCheck(int control_id, bool checked) override {
    posted_checks.emplace_back(control_id, checked);
  }
  void PostCommand(int control_id) override { posted_commands.push_back(control_id); }
  WindowRect GetWindowRect() const override { return rect; }
  void MoveWindow(const WindowRect& outer) override { rect = outer; }
  void Invalidate() override { ++invalidations; }
  void Activate() override {}
  void Hide() override { hidden = true; }

  std::map<int, std::string> texts;
  std::vector<int> text_writes;
  std::vector<std::pair<int, bool>> posted_checks;
  std::deque<int> posted_commands;
  WindowRect rect{100, 50, 700, 380};  // 600 × 330
  int invalidations = 0;
  bool hidden = false;
};

// Answers each chooser with the next scripted answer (nothing = cancel),
// after moving to `wander_to` as a real chooser may.
class FakeChooser final : public FileChooser {
 public:
  std::optional<std::string> Choose(const ChooserRequest& request) override {
    requests.push_back(request);
    if (!wander_to.empty()) {
      std::error_code ignored;
      std::filesystem::current_path(wander_to, ignored);
    }
    if (answers.empty()) {
      return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::optional<std::string>> answers;
  std::vector<ChooserRequest> requests;
  std::filesystem::path wander_to;
};

class FakeTicks final : public TickSource {
 public:
  std::uint32_t Now() override { return now; }
  std::uint32_t now = 0;
};

// The shell over fakes, in a fresh working directory, with the dialog open
// (the opening sequence has run; its posted work waits in the queues).
struct ShellHarness {
  explicit ShellHarness(AudioSystem* audio = nullptr)
      : engine(audio != nullptr ? audio : &silent_audio, &notifier),
        context{state, engine, display, view, services} {
    BeginContext();
  }
  void BeginContext() {
    state.start_directory = dir.path().string();
    OpeningSequence(context, dialog);
  }
  // Delivers what the opening sequence posted, as the event loop would.
  void DeliverPosted() {
    while (!dialog.posted_commands.empty()) {
      const int id = dialog.posted_commands.front();
      dialog.posted_commands.pop_front();
      RunDialogCommand(context, id);
    }
  }
  FakeDisplaySurface& Surface() { return *platform.last_surface; }

  ScopedWorkDir dir;
  SilentAudioSystem silent_audio;
  RecordingNotifier notifier;
  FakeChooser chooser;
  FakeTicks ticks;
  FakeDisplayPlatform platform;
  ShellServices services{chooser, notifier, ticks, platform};
  SoundEngine engine;
  ShellState state;
  DisplayWindow display = ProgramDisplayWindow();
  WaveformView view;
  FakeDialog dialog;
  ShellContext context;
};

}  // namespace test
