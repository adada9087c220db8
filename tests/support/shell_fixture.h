#pragma once

// The shell over fakes: a scripted chooser, a settable clock, a fake
// microphone and recorded message boxes, in a fresh working directory.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "display/display_window.h"
#include "display/waveform_view.h"
#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "shell/file_chooser.h"
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
    std::filesystem::current_path(wander_to);
    return next < answers.size() ? std::optional(answers[next++]) : std::nullopt;
  }
  std::vector<std::string> answers;
  std::size_t next = 0;
  std::filesystem::path wander_to = ".";
};

struct FakeTicks final : TickSource {
  std::uint32_t Now() override { return now; }
  std::uint32_t now = 0;
};

struct Shell {
  Shell() {
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

}  // namespace test
