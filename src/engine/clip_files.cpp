#include "engine/clip_files.h"

#include <new>

#include "avi/extract_avi_audio.h"
#include "engine/analysis.h"
#include "engine/detector.h"
#include "engine/messages.h"
#include "engine/notifier.h"
#include "engine/sound_engine.h"
#include "engine/wave_reader.h"
#include "log/event_log.h"
#include "media/decode_media_audio.h"
#include "media/media_extensions.h"
#include "riff/regular_file.h"
#include "riff/replacement_file.h"
#include "riff/wave_header.h"

namespace {

constexpr const char* kOutOfMemory = "Failed To Allocate Clip Memory";
constexpr const char* kNotMedia = "Failed To Open Media File";
constexpr std::size_t kRiffWaveIdBytes = 12;

enum class FileStart : std::uint8_t { NotThere, RiffWave, Other };

// "RIFF", a size, "WAVE" make a file for the WAVE reader.
FileStart ReadFileStart(const std::string& path) {
  const OwnedFile file(OpenRegularFileForReading(path));
  if (!file) {
    return FileStart::NotThere;
  }
  std::uint8_t id[kRiffWaveIdBytes] = {};
  ReadBytesAt(file.get(), 0, id, sizeof id);
  const bool riff_wave = std::string_view(reinterpret_cast<const char*>(id), 4) == "RIFF" &&
                         std::string_view(reinterpret_cast<const char*>(id + 8), 4) == "WAVE";
  return riff_wave ? FileStart::RiffWave : FileStart::Other;
}

// The sound written into "tmp" by `write` is read back from the file this
// load wrote, so neither an older "tmp" nor one written meanwhile by another
// process is analysed.
template <typename Write>
void ReadThroughTemp(SoundEngine& engine, Write write) {
  ReplacementFile wave(kTempFileName);
  if (write(wave)) {
    ReadWaveFile(engine, wave.Committed());
  }
}

// The media's first audio stream, decoded.
void ReadMedia(SoundEngine& engine, MediaInput& media) {
  WriteLogEntry(LogTarget::Routine, "Loading file - media");
  ReadThroughTemp(engine, [&](ReplacementFile& wave) { return DecodeMediaAudio(media, wave); });
}

void ReadAvi(SoundEngine& engine, const std::string& path) {
  // Compressed sound is decoded; PCM is copied as it is.
  if (FirstAviSoundCoding(path) == AviSoundCoding::Compressed) {
    if (const auto media = OpenMediaFile(path)) {
      ReadMedia(engine, *media);
    } else {
      WriteFailureEntry(kNotMedia);
    }
    return;
  }
  ReadThroughTemp(engine, [&](ReplacementFile& wave) { return ExtractAviAudio(path, wave); });
}

// Other files are decoded when FFmpeg recognises them. What it doesn't
// recognise is a failed media file when named like one, and otherwise gets
// the WAVE reader's own answer, as does a file that isn't there.
void ReadWaveOrMedia(SoundEngine& engine, const std::string& path, bool named_as_media) {
  if (ReadFileStart(path) == FileStart::Other) {
    if (const auto media = OpenMediaFile(path)) {
      ReadMedia(engine, *media);
      return;
    }
    if (named_as_media) {
      WriteFailureEntry(kNotMedia);
      return;
    }
  }
  ReadWaveFile(engine, path);
}

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
    return DetectShotsWith(engine, engine.chosen_detector);
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
      ReadWaveOrMedia(engine, path, false);
    } else if (path.find(".avi") != std::string::npos) {
      ReadAvi(engine, path);
    } else {
      ReadWaveOrMedia(engine, path, HasMediaExtension(path));
    }
  });
}

std::vector<std::string> LoadableExtensions() {
  std::vector<std::string> extensions{"wav", "avi"};
  const std::vector<std::string>& media = MediaExtensions();
  extensions.insert(extensions.end(), media.begin(), media.end());
  return extensions;
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
