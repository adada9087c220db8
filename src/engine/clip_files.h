#pragma once

#include <string>
#include <vector>

struct SoundEngine;
class ReplacementFile;

// The temporary WAVE file shared by the AVI import and the recorder.
inline constexpr const char* kTempFileName = "tmp";

// Reset, read, then analyse with the engine's chosen detector. A RIFF WAVE file is read directly;
// an AVI file's PCM sound and any other media file's decoded sound through "tmp". True only when
// both analysis passes ran.
bool LoadClip(SoundEngine& engine, const std::string& path);

// Extensions (lower case, no dot) of every kind of file LoadClip reads:
// "wav", "avi", then the media this build decodes.
std::vector<std::string> LoadableExtensions();

// The same for a WAVE file this process has just written (a recording): read
// from its own handle, or, when it could not be committed, no clip.
bool LoadWrittenClip(SoundEngine& engine, const ReplacementFile& written);

// Writes the clip as an 8-bit mono PCM WAVE file, replacing `path` only once
// the whole file is written. A failure, or a save during a recording, says so
// in the critical log and a message, and leaves `path` as it was.
bool SaveWave(const SoundEngine& engine, const std::string& path);
