#include "shell/recording_indicator.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "shell/control_ids.h"
#include "shell/dialog_surface.h"
#include "shell/dialog_template.h"
#include "shell/shell_context.h"
#include "shell/tick_source.h"

namespace {

constexpr std::uint32_t kMsPerSecond = 1000;

std::string_view RecButtonTemplateText() {
  const auto& controls = MainDialogControls();
  return std::find_if(controls.begin(), controls.end(),
                      [](const ControlTemplate& control) { return control.id == kRecButton; })
      ->text;
}

}  // namespace

void ShowRecordingState(ShellContext& context) {
  if (context.dialog == nullptr) {
    return;
  }
  std::optional<std::uint32_t> seconds;
  if (context.engine.IsRecording()) {
    const std::uint32_t elapsed = context.services.ticks.Now() - context.state.record_start_tick;
    seconds = std::min(elapsed, kRecordingLimitMs) / kMsPerSecond;
  }
  if (seconds == context.state.recording_seconds_shown) {
    return;
  }
  context.state.recording_seconds_shown = seconds;
  std::string text(RecButtonTemplateText());
  if (seconds) {
    text += " " + std::to_string(*seconds) + "/" + std::to_string(kRecordingLimitMs / kMsPerSecond);
  }
  context.dialog->SetItemText(kRecButton, text);
  context.dialog->PostCheck(kRecButton, seconds.has_value());
}
