#pragma once

#include <string>

class AviLibrary;

// Copies the first audio stream of an AVI file into the WAVE file
// `wave_path`. Every step is traced to the critical log; the result is always
// true, whatever failed.
bool ExtractAviAudio(const std::string& avi_path, const std::string& wave_path);
bool ExtractAviAudio(AviLibrary& library, const std::string& avi_path,
                     const std::string& wave_path);
