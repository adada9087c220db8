#pragma once

// Fakes of the shell's platform pieces, and the shell wired to them with the
// dialog open. Posted commands wait until a test delivers them.

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>
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
#include "support/fake_audio_system.h"
#include "support/test_support.h"

namespace test {

// A WAVE clip of `seconds` at 22050 Hz with a burst every 1470 samples
// (15 BPS) from sample 3000.
inline std::vector<std::uint8_t> FifteenBpsClip(std::uint32_t seconds) {
  std::vector<std::uint32_t> bursts;
  for (std::uint32_t start = 3000; start + 1470 < seconds * 22050; start += 1470) {
    bursts.push_back(start);
  }
  return MakeWave8(22050, MakeShotTrain(seconds * 22050, bursts));
}

class FakeDialog final : public DialogSurface {
 public:
  void SetItemText(int control_id, std::string_view text) override {
    texts[control_id] = std::string(text);
    ++text_writes;
  }
  void PostCheck(int, bool) override {}
  void PostCommand(int control_id) override { posted_commands.push_back(control_id); }
  WindowRect GetWindowRect() const override { return rect; }
  void MoveWindow(const WindowRect& outer) override { rect = outer; }
  void Invalidate() override {}
  void Activate() override {}
  void Hide() override {}

  std::map<int, std::string> texts;
  int text_writes = 0;
  std::deque<int> posted_commands;
  WindowRect rect{100, 50, 700, 380};  // 600 × 330
};

// Gives the next scripted answer (none left = cancel), after moving to
// `wander_to` as a real chooser may.
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

// The shell's state and services over fakes (the display platform aside),
// in a fresh working directory.
template <typename Platform>
struct ShellParts {
  explicit ShellParts(AudioSystem* other_audio = nullptr)
      : engine(other_audio != nullptr ? other_audio : &audio, &notifier) {
    state.start_directory = dir.path().string();
  }

  ScopedWorkDir dir;
  FakeAudioSystem audio;  // the microphone, unless another system is given
  RecordingNotifier notifier;
  FakeChooser chooser;
  FakeTicks ticks;
  Platform platform;
  ShellServices services{chooser, notifier, ticks, platform};
  SoundEngine engine;
  ShellState state;
  DisplayWindow display = ProgramDisplayWindow();
  WaveformView view;
  ShellContext context{state, engine, display, view, services};
};

// After the opening sequence; its posted Display command waits to be delivered.
struct ShellHarness : ShellParts<FakeDisplayPlatform> {
  explicit ShellHarness(AudioSystem* other_audio = nullptr) : ShellParts(other_audio) {
    OpeningSequence(context, dialog);
  }
  void DeliverPosted() {
    while (!dialog.posted_commands.empty()) {
      const int id = dialog.posted_commands.front();
      dialog.posted_commands.pop_front();
      RunDialogCommand(context, id);
    }
  }
  FakeDisplaySurface& Surface() { return *platform.last_surface; }

  FakeDialog dialog;
};

}  // namespace test
