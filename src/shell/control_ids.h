#pragma once

#include <array>

#include "engine/readout_texts.h"

// Identifiers of the main dialog's controls.
inline constexpr int kLoadButton = 1002;
inline constexpr int kRecButton = 1003;
inline constexpr int kStopButton = 1004;
inline constexpr int kSaveButton = 1005;
inline constexpr int kBpsRadio = 1015;
inline constexpr int kMsRadio = 1016;
inline constexpr int kDisplayCheckBox = 1018;
inline constexpr int kAverageRofField = 1007;
inline constexpr int kHighestRofField = 1008;
inline constexpr int kNumberOfShotsField = 1009;
inline constexpr int kAverageUnitField = 1010;
inline constexpr int kLowestRofField = 1011;
inline constexpr int kClipLengthField = 1012;
inline constexpr int kHighestUnitField = 1013;
inline constexpr int kLowestUnitField = 1014;
inline constexpr int kClipQualityField = 1017;
// Not in the template: the detector mark over the waveform.
inline constexpr int kDetectorMark = 1019;
// The unit beside each rate, in the order they are set.
inline constexpr std::array<int, 3> kUnitFields = {kAverageUnitField, kHighestUnitField,
                                                   kLowestUnitField};

// The fields of the readouts, in the order of Readout.
inline constexpr std::array<int, kReadoutCount> kReadoutFields = {
    kAverageRofField,    kHighestRofField, kLowestRofField,
    kNumberOfShotsField, kClipLengthField, kClipQualityField};

// The field that shows a readout.
constexpr int ReadoutField(Readout readout) {
  return kReadoutFields[static_cast<std::size_t>(readout)];
}

// Controls without an identifier.
inline constexpr int kNoControlId = -1;
