#include "shell/control_tooltips.h"

#include <algorithm>
#include <array>
#include <utility>

#include "shell/control_ids.h"

namespace {

constexpr std::string_view kUnitTip =
    "The rates' unit: balls per second (bps) or milliseconds between shots (ms)";

constexpr std::array<std::pair<int, std::string_view>, 16> kTooltips{{
    {kLoadButton, "Open a sound or video file and measure its shots"},
    {kRecButton, "Record up to 20 seconds from the microphone"},
    {kStopButton, "Stop the recording and measure it"},
    {kSaveButton, "Save the clip as an 8-bit mono WAVE file"},
    {kBpsRadio, "Show the rates in balls per second"},
    {kMsRadio, "Show the rates as milliseconds between shots"},
    {kDisplayCheckBox, "Show or hide the clip's waveform under the readouts"},
    {kAverageRofField, "Average rate of fire: midway between the highest and the lowest"},
    {kHighestRofField, "Highest rate of fire: the shortest time between two shots"},
    {kLowestRofField, "Lowest rate of fire: the longest time between two shots"},
    {kNumberOfShotsField, "Shots counted in the clip"},
    {kClipLengthField, "Length of the clip in whole seconds"},
    {kClipQualityField, "How well the clip suits the measurement, from 0 to 100"},
    {kAverageUnitField, kUnitTip},
    {kHighestUnitField, kUnitTip},
    {kLowestUnitField, kUnitTip},
}};

}  // namespace

std::string_view ControlTooltip(int control_id) {
  const auto* found =
      std::find_if(kTooltips.begin(), kTooltips.end(),
                   [control_id](const auto& tip) { return tip.first == control_id; });
  return found == kTooltips.end() ? std::string_view() : found->second;
}
