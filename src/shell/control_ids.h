#pragma once

// Identifiers of the main dialog's command controls (the readout fields are
// in readout_texts.h).
inline constexpr int kLoadButton = 1002;
inline constexpr int kRecButton = 1003;
inline constexpr int kStopButton = 1004;
inline constexpr int kSaveButton = 1005;
inline constexpr int kBpsRadio = 1015;
inline constexpr int kMsRadio = 1016;
inline constexpr int kDisplayCheckBox = 1018;
// Enter and Esc.
inline constexpr int kOkCommand = 1;
inline constexpr int kCancelCommand = 2;
// Controls without an identifier.
inline constexpr int kNoControlId = -1;
