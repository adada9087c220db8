#pragma once

#include <string>

struct SoundEngine;

// The temporary WAVE file shared by the AVI import and the recorder.
inline constexpr const char* kTempFileName = "tmp";

// Reset, read (".wav" directly, ".avi" through "tmp", anything else directly),
// then analyse. True only when both analysis passes ran.
bool LoadClip(SoundEngine& engine, const std::string& path);

// Writes the clip as an 8-bit mono PCM WAVE file. False when the file can't
// be opened.
bool SaveWave(const SoundEngine& engine, const std::string& path);
