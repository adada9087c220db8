#pragma once

#include <cstdio>
#include <string>

struct SoundEngine;

// Reads a RIFF/WAVE file into the engine as unsigned 8-bit samples, one per
// frame. Always true: problems go to the logs and show in the engine's fields.
bool ReadWaveFile(SoundEngine& engine, const std::string& path);

// The same from a file opened for reading; null counts as a file that can't
// be found.
void ReadWaveFile(SoundEngine& engine, std::FILE* file);
