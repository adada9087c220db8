#pragma once

#include <string>

class ReplacementFile;

// Copies the first audio stream of an AVI file into `wave` as a WAVE file and
// commits it. Every step is traced to the critical log. False only when the
// WAVE file could not be written whole ("Failed To Write Sound File"); a file
// without usable sound still gives a WAVE file, with no data.
bool ExtractAviAudio(const std::string& avi_path, ReplacementFile& wave);
