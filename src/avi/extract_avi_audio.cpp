#include "avi/extract_avi_audio.h"

// Placeholder until the AVI import lands: logs nothing and writes nothing.
bool ExtractAviAudio(const std::string& avi_path, const std::string& wave_path) {
  (void)avi_path;
  (void)wave_path;
  return true;
}
