#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/readout_texts.h"

// A window's client rectangle in screen coordinates.
struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// The shell's process-wide values, shared by the dialog's commands and the
// main loop.
struct ShellState {
  std::string start_directory;
  bool quit_requested = false;
  std::uint32_t record_start_tick = 0;
  // The seconds of the running recording the REC button shows; none while
  // it shows no recording.
  std::optional<std::uint32_t> recording_seconds_shown;
  // The file the clip came from, as loaded ("tmp" after a recording).
  std::string clip_name;
  RateUnit rate_unit = RateUnit::Bps;
  bool display_shown = true;
  // The dialog's client size without the display area, taken at the first
  // Display command.
  std::int32_t base_width = 0;
  std::int32_t base_height = 0;
};
