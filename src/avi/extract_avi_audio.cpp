#include "avi/extract_avi_audio.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "avi/avi_reader.h"
#include "avi/extracted_wave.h"
#include "avi/wave_format_record.h"
#include "log/event_log.h"
#include "riff/little_endian.h"

// Every step writes its progress line; a step without the file or the stream
// it needs writes nothing more. "tmp" is always written (with no data when
// there is no sound), so a stale "tmp" is never read in place of this file's
// sound; a "tmp" that could not be written whole fails the extraction.

namespace {

// The search for the first audio stream is traced as ten tries: a stream the
// reader misses once it misses every time.
constexpr int kStreamSearchTries = 10;
// The trace counts bytes and samples in signed 32 bits.
constexpr std::uint64_t kMaxTracedCount = std::numeric_limits<std::int32_t>::max();

// The extraction's lines, appended to the critical log together when it
// ends: the same bytes as one entry each, on disk when the call returns.
class Trace {
 public:
  void Line(std::string_view message) { lines_.Add(message); }
  void Failure(std::string_view message) {
    RememberFailure(message);
    lines_.Add(message);
  }

 private:
  LogBatch lines_{LogTarget::Critical};
};

std::int32_t TracedCount(std::uint64_t value) {
  return static_cast<std::int32_t>(std::min(value, kMaxTracedCount));
}

std::optional<AviAudioStream> FindFirstAudioStream(Trace& trace, AviReader& reader) {
  std::optional<AviAudioStream> stream = reader.FindAudioStream(0);
  if (stream) {
    trace.Line("SEARCHING FOR STREAM");
  }
  for (int tries = 0; !stream && tries < kStreamSearchTries; ++tries) {
    trace.Failure("FOUND LAST STREAM");
  }
  return stream;
}

void TraceFormatSize(Trace& trace, std::uint64_t size) {
  switch (size) {
    case kPcmWaveFormatBytes:
      trace.Line("PCMWAVEFORMAT");
      break;
    case kWaveFormatBytes:
      trace.Line("WAVEFORMAT");
      break;
    case kWaveFormatExBytes:
      trace.Line("WAVEFORMATEX");
      break;
    default:
      trace.Failure("FORMAT IS INVALID");
      trace.Line("THE SIZE OF THE FORMAT IS:" + std::to_string(TracedCount(size)));
      break;
  }
}

// The format record, unless its length doesn't fit the trace's count (a
// record of 2 GiB or more): that one is traced as unknown and not used.
std::span<const std::uint8_t> TraceFormatRecord(Trace& trace, const AviAudioStream& stream) {
  if (stream.format.size() > kMaxTracedCount) {
    trace.Failure("FAILED TO GET FORMAT LEN");
    TraceFormatSize(trace, 0);
    trace.Failure("FAILED TO GET format info");
    return {};
  }
  TraceFormatSize(trace, stream.format.size());
  return stream.format;
}

// Only a record that holds wBitsPerSample has a bits line: a 14-byte
// WAVEFORMAT has none.
void TraceBitsPerSample(Trace& trace, std::span<const std::uint8_t> record) {
  if (record.size() < kFormatBitsOffset + 2) {
    return;
  }
  const std::uint16_t bits = LoadU16Le(&record[kFormatBitsOffset]);
  if (bits == 0) {
    trace.Line("0 bits per sample");
  } else {
    trace.Line(std::to_string(bits) + " BITS PER SAMPLE");
  }
}

// The stream's length, then its size in samples and bytes. A stream of 2 GiB
// or more has no byte count and gives no sound.
std::int32_t TraceStreamSize(Trace& trace, const std::optional<AviAudioStream>& stream,
                             std::span<const std::uint8_t> format) {
  std::int32_t samples = 0;
  std::int32_t bytes = 0;
  trace.Line("Reading AVI File");
  if (stream) {
    samples = TracedCount(stream->LengthInSamples());
    if (samples == 0) {
      trace.Failure("Failed To Get Buffer Length");
    }
  }
  TraceBitsPerSample(trace, format);
  trace.Line("Reading Stream Length");
  if (stream && stream->data_bytes > kMaxTracedCount) {
    trace.Failure("FAILED Reading Stream Length");
  } else if (stream) {
    bytes = static_cast<std::int32_t>(stream->data_bytes);
    samples = static_cast<std::int32_t>(stream->data_bytes / stream->SampleBytes());
  }
  trace.Line(std::to_string(samples) + " STREAM SIZE");
  trace.Line(std::to_string(bytes) + " STREAM LENGTH");
  return bytes;
}

// Zero-filled. Memory running out here leaves the sound out of "tmp"
// instead of failing the load.
std::optional<std::vector<std::uint8_t>> TryAllocate(std::size_t size) {
  try {
    return std::vector<std::uint8_t>(size);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

// A stream always comes with its reader.
std::vector<std::uint8_t> ReadSound(Trace& trace, std::optional<AviReader>& reader,
                                    const std::optional<AviAudioStream>& stream,
                                    std::int32_t byte_count) {
  trace.Line("Reading Stream");
  std::optional<std::vector<std::uint8_t>> sound =
      TryAllocate(static_cast<std::size_t>(byte_count));
  if (!sound) {
    trace.Failure("Failed To Allocate Sound Buffer");
    return {};
  }
  // Fewer bytes than counted only when the file shrank meanwhile.
  if (stream && reader->ReadData(*stream, *sound) != sound->size()) {
    trace.Failure("FAILED TO READ STREAM");
  }
  return std::move(*sound);
}

}  // namespace

AviSoundCoding FirstAviSoundCoding(const std::string& avi_path) {
  std::optional<AviReader> reader = AviReader::Open(avi_path);
  if (!reader) {
    return AviSoundCoding::NotAvi;
  }
  const std::optional<AviAudioStream> stream = reader->FindAudioStream(0);
  // A record too short for its tag is read as PCM, as the extraction reads it.
  if (!stream) {
    return AviSoundCoding::NoSound;
  }
  const bool tagged = stream->format.size() >= kFormatTagOffset + 2;
  return tagged && LoadU16Le(&stream->format[kFormatTagOffset]) != kPcmFormatTag
             ? AviSoundCoding::Compressed
             : AviSoundCoding::Pcm;
}

bool ExtractAviAudio(const std::string& avi_path, ReplacementFile& wave) {
  Trace trace;
  trace.Line("Starting Writing AVI File");
  trace.Line("Writing AVI File");
  std::optional<AviReader> reader = AviReader::Open(avi_path);
  if (!reader) {
    trace.Failure("FAILED TO GET OPEN AVI");
  }
  trace.Line("Getting AVI Stream");
  const std::optional<AviAudioStream> stream =
      reader ? FindFirstAudioStream(trace, *reader) : std::nullopt;
  trace.Line("Getting Format AVI File");
  const std::span<const std::uint8_t> format =
      stream ? TraceFormatRecord(trace, *stream) : std::span<const std::uint8_t>();
  const std::int32_t byte_count = TraceStreamSize(trace, stream, format);
  const std::vector<std::uint8_t> sound = ReadSound(trace, reader, stream, byte_count);
  trace.Line("Writing Stream");
  const bool written = WriteExtractedWave(wave, sound, ExtractedWaveFormat(format));
  if (written) {
    trace.Line("Wrote Sound File");
  } else {
    trace.Failure("Failed To Write Sound File");
  }
  trace.Line("DeAllocated Sound Buffer");
  if (stream) {
    trace.Line("Release Sound Stream");
  }
  if (reader) {
    trace.Line("Release Sound File");
  }
  trace.Line("Exit Sound File");
  return written;
}
