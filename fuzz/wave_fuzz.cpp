// Loads each input as a WAVE file, runs the analysis on it, and checks that a
// saved clip reads back to the same samples. The chunk walk under the reader
// is checked on the same bytes: it moves forward, stays within its ranges and
// opens lists only within them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "engine/wave_reader.h"
#include "fuzz_input.h"
#include "riff/chunk_walk.h"
#include "riff/regular_file.h"

namespace {

constexpr const char* kInputName = "input.wav";
constexpr const char* kSavedName = "saved.wav";

void Check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

void CheckWalk(ChunkWalk walk) {
  const ByteRange range = walk.Range();
  std::uint64_t next_free = range.begin;
  for (const RiffChunk& chunk : walk) {
    Check(chunk.offset >= next_free && chunk.Contents() <= range.end);
    next_free = chunk.Contents();
    const std::optional<RiffList> list =
        chunk.Is("RIFF") || chunk.Is("LIST") ? walk.OpenList(chunk) : std::nullopt;
    if (list) {
      Check(list->chunks.Range().begin >= chunk.Contents() &&
            list->chunks.Range().end <= range.end);
      CheckWalk(list->chunks);
    }
  }
}

void CheckChunkWalk() {
  const OwnedFile file(OpenRegularFileForReading(kInputName));
  FileWindow window(file.get());
  CheckWalk(ChunkWalk(window, {0, window.Size()}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SoundEngine engine(nullptr, nullptr);
  static SoundEngine reloaded(nullptr, nullptr);
  if (!WriteFuzzInput(kInputName, data, size)) {
    std::abort();
  }
  CheckChunkWalk();
  LoadClip(engine, kInputName);
  Check(!engine.samples || engine.samples->size() >= engine.sample_count);
  if (engine.HasData() && SaveWave(engine, kSavedName)) {
    Reset(reloaded);
    ReadWaveFile(reloaded, kSavedName);
    Check(reloaded.sample_rate == engine.sample_rate && reloaded.samples == engine.samples);
  }
  KeepFuzzLogsSmall();
  return 0;
}
