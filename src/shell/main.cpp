#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

#include "display/display_window.h"
#include "engine/sound_engine.h"
#include "platform/qt_audio_system.h"
#include "shell/application_start_qt.h"
#include "shell/file_chooser_qt.h"
#include "shell/message_box_qt.h"
#include "shell/run_shell_qt.h"
#include "shell/shell_context.h"
#include "shell/tick_source.h"
#include "tambrix_version.h"

int main(int argc, char* argv[]) {
  // Answered before anything starts: no display needed, no log or file written.
  const auto asks_version = [](const char* argument) {
    return std::string_view(argument) == "--version";
  };
  if (std::any_of(argv + 1, argv + argc, asks_version)) {
    std::printf("tambrix %s\n", kTambrixVersion);
    return 0;
  }
  // Without an application the shell's start fails and says so in its log.
  const std::unique_ptr<QApplication> application = StartApplication(argc, argv);
  MessageBoxNotifier notifier;
  FileChooserQt chooser;
  SteadyTickSource ticks;
  QtAudioSystem audio_system;

  SoundEngine engine(&audio_system, &notifier);
  DisplayWindow display_window;
  ShellServices services{chooser, notifier, ticks};
  return RunShell(engine, display_window, services);
}
