#pragma once

#include <cstdint>
#include <string>

class ReplacementFile;

// How the first audio stream of a file is coded, as far as the AVI reader
// can tell.
enum class AviSoundCoding : std::uint8_t { NotAvi, NoSound, Pcm, Compressed };
AviSoundCoding FirstAviSoundCoding(const std::string& avi_path);

// Copies the first audio stream of an AVI file into `wave` as a WAVE file and
// commits it. Every step is traced to the critical log. False only when the
// WAVE file could not be written whole ("Failed To Write Sound File"); a file
// without usable sound still gives a WAVE file, with no data.
bool ExtractAviAudio(const std::string& avi_path, ReplacementFile& wave);
