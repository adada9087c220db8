#include "shell/shell_loop.h"

#include <filesystem>
#include <system_error>

#include "display/display_window.h"
#include "engine/clip_files.h"
#include "engine/notifier.h"
#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "log/event_log.h"
#include "shell/dialog_commands.h"
#include "shell/recording_indicator.h"
#include "shell/shell_context.h"
#include "shell/shell_state.h"
#include "shell/tick_source.h"

namespace {

constexpr const char* kStarted = "TAMBRIX Started";
constexpr const char* kCaptureFailed = "Failed To Capture Data";
constexpr const char* kLimitReached = "Can Only Record 30 Second Clips";

}  // namespace

void BeginShell(ShellContext& context) {
  WriteLogEntry(LogTarget::Routine, kStarted);
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  context.state.start_directory = error ? std::string() : current.string();
}

int FailShellStart() {
  WriteLogEntry(LogTarget::Routine, "Failed To Create Dialog");
  return 1;
}

int FailStartBeforeShell() {
  WriteLogEntry(LogTarget::Routine, kStarted);
  return FailShellStart();
}

void ServiceRecording(ShellContext& context) {
  SoundEngine& engine = context.engine;
  if (!engine.IsRecording()) {
    return;
  }
  const CapturePoll poll = PollCapture(engine);
  if (poll == CapturePoll::Failed) {
    // Finish "tmp" before the program ends, so what was captured is kept.
    FinishRecording(engine);
    // Its running figures go with it: the clip held shows again.
    if (context.dialog != nullptr) {
      ShowNewClip(context);
    }
    WriteLogEntry(LogTarget::Critical, kCaptureFailed);
    context.services.notifier.ShowMessage(kCaptureFailed, "");
    WriteLogEntry(LogTarget::Routine, kCaptureFailed);
    context.state.quit_requested = true;
  }
  // Elapsed time in wrapping arithmetic, so a tick counter that rolls over
  // during a recording does not end it early.
  const std::uint32_t elapsed = context.services.ticks.Now() - context.state.record_start_tick;
  if (elapsed > kRecordingLimitMs) {
    if (engine.IsRecording()) {
      StopRecording(engine);
      context.state.clip_name = kTempFileName;
    }
    // Shown as after STOP, before the message says why it stopped.
    if (context.dialog != nullptr) {
      ShowNewClip(context);
    }
    WriteLogEntry(LogTarget::Critical, kLimitReached);
    context.services.notifier.ShowMessage(kLimitReached, "");
  }
  // Only new sound changes the running figures.
  if (poll == CapturePoll::Copied && engine.IsRecording() && context.dialog != nullptr) {
    ShowRunningFigures(context);
  }
  ShowRecordingState(context);
}

void ReceiveQuitMessage(ShellContext& context) {
  context.state.quit_requested = true;
  WriteLogEntry(LogTarget::Routine, "Recieved Done Message, Exiting Loop");
}

int ShutdownShell(ShellContext& context) {
  // A recording still running is finished so that "tmp" is a valid file;
  // there is nothing left to show it in.
  FinishRecording(context.engine);
  WriteLogEntry(LogTarget::Routine, "Display Window Destroyed");
  CloseDisplay(context.display);
  WriteLogEntry(LogTarget::Routine, "TAMBRIX Ended");
  return 0;
}
