#pragma once

// What the engine tells the user through its notifier; each is also logged.
inline constexpr const char* kNoDataMessage = "Failed To Analize Due To No Data Allocation";
inline constexpr const char* kNoDataCaption = "ERROR";
inline constexpr const char* kSaveFailed = "Failed To Save .wav File";
inline constexpr const char* kNoCaptureDevice = "Failed to create sound capture";
inline constexpr const char* kNoCaptureBuffer = "Failed to Create Capture Sound Buffer";
inline constexpr const char* kTempOpenFailed = "Failed to open temp.wav";
