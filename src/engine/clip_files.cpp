#include "engine/clip_files.h"

#include <new>

#include "avi/extract_avi_audio.h"
#include "engine/analysis.h"
#include "engine/messages.h"
#include "engine/notifier.h"
#include "engine/sound_engine.h"
#include "engine/wave_reader.h"
#include "log/event_log.h"
#include "riff/replacement_file.h"
#include "riff/wave_header.h"

namespace {

constexpr const char* kOutOfMemory = "Failed To Allocate Clip Memory";

// Reset, read, analyse. Memory running out anywhere on the way (a huge clip,
// a shot list as long as the clip) fails the load like a clip without
// samples, instead of ending the program.
template <typename Read>
bool LoadWith(SoundEngine& engine, Read read) {
  try {
    Reset(engine);
    read();
    if (!MeasureClipQuality(engine)) {
      return false;
    }
    return DetectShots(engine);
  } catch (const std::bad_alloc&) {
    Reset(engine);
    WriteFailureEntry(kOutOfMemory);
    // Without samples this only shows the no-data message.
    MeasureClipQuality(engine);
    return false;
  }
}

}  // namespace

bool LoadClip(SoundEngine& engine, const std::string& path) {
  return LoadWith(engine, [&] {
    // Case-sensitive and anywhere in the path; ".wav" wins over ".avi".
    if (path.find(".wav") != std::string::npos) {
      WriteLogEntry(LogTarget::Routine, "Loading file - wave");
      ReadWaveFile(engine, path);
    } else if (path.find(".avi") != std::string::npos) {
      // The sound is read back from the file this load wrote, so neither an
      // older "tmp" nor one written meanwhile by another process is analysed.
      ReplacementFile wave(kTempFileName);
      if (ExtractAviAudio(path, wave)) {
        ReadWaveFile(engine, wave.Committed());
      }
    } else {
      ReadWaveFile(engine, path);
    }
  });
}

bool LoadWrittenClip(SoundEngine& engine, const ReplacementFile& written) {
  return LoadWith(engine, [&] {
    if (written.Committed() != nullptr) {
      ReadWaveFile(engine, written.Committed());
    }
  });
}

bool SaveWave(const SoundEngine& engine, const std::string& path) {
  // While recording, sample_count counts captured bytes, not samples held.
  bool saved = false;
  if (!engine.IsRecording()) {
    ReplacementFile file(path);
    const std::uint32_t count = HeldSampleCount(engine);
    const auto header = MakeWaveHeader(EightBitMono(engine.sample_rate), count);
    file.Write(header.data(), header.size());
    if (count != 0) {
      file.Write(engine.samples->data(), count);
    }
    saved = file.Commit();
  }
  if (!saved) {
    WriteFailureEntry(kSaveFailed);
    if (engine.notifier != nullptr) {
      engine.notifier->ShowMessage(kSaveFailed, "");
    }
  }
  return saved;
}
