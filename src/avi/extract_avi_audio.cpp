#include "avi/extract_avi_audio.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string_view>

#include "avi/avi_library.h"
#include "avi/extracted_wave.h"
#include "avi/riff_avi_library.h"
#include "avi/wave_format_record.h"
#include "log/event_log.h"
#include "riff/little_endian.h"

// A failed step leaves its object missing, and the steps that need that
// object are skipped together with their failure lines: without the file no
// stream is searched; without the stream its information, format, length and
// data are not asked for; without a format block of 16 bytes there is no bits
// line. The progress lines are written all the same. The byte count stays 0
// unless the stream reported one, so "tmp" is always written (with no data
// when there is no sound buffer) and a stale "tmp" is never read in place of
// this file's sound; a "tmp" that could not be written whole fails the
// extraction. Whatever was obtained is freed and released, and each call has
// one FileInit and one FileExit.

namespace {

constexpr int kStreamSearchTries = 10;
constexpr std::size_t kTextBufferSize = 255;

// The extraction's lines, appended to the critical log together when it
// ends: the same bytes as one entry each, on disk when the call returns.
class Trace {
 public:
  void Line(std::string_view message) { lines_.Add(message); }
  void Failure(std::string_view message) {
    RememberFailure(message);
    lines_.Add(message);
  }
  void Number(const char* pattern, int value) {
    char text[kTextBufferSize] = {};
    std::snprintf(text, sizeof text, pattern, value);
    Line(text);
  }

 private:
  LogBatch lines_{LogTarget::Critical};
};

struct Block {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
};

// Zero-filled, so a read that fails part-way leaves no stale heap bytes. A
// negative size can't be allocated.
Block Allocate(std::int32_t size) {
  Block block;
  if (size >= 0) {
    block.bytes.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size)]());
    block.size = block.bytes ? static_cast<std::size_t>(size) : 0;
  }
  return block;
}

// The first audio stream: occurrence 0 is tried first, so later tries only
// matter when the library can't find it.
AviStream* FindFirstAudioStream(Trace& trace, AviLibrary& library, AviFile* file) {
  for (std::int32_t occurrence = 0; occurrence < kStreamSearchTries; ++occurrence) {
    AviStream* stream = nullptr;
    if (library.FileGetStream(file, &stream, kStreamTypeAudio, occurrence) == kAviOk) {
      trace.Line("SEARCHING FOR STREAM");
      return stream;
    }
    trace.Failure("FOUND LAST STREAM");
  }
  return nullptr;
}

void LogFormatSize(Trace& trace, std::int32_t format_size) {
  switch (format_size) {
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
      trace.Number("THE SIZE OF THE FORMAT IS:%d", format_size);
      break;
  }
}

struct StreamFormat {
  std::int32_t size = 0;
  Block block;
  bool read = false;  // the block holds the stream's record
};

StreamFormat ReadStreamFormat(Trace& trace, AviLibrary& library, AviStream* stream) {
  StreamFormat format;
  AviStreamInfo info;
  if (library.StreamInfo(stream, info) != kAviOk) {
    trace.Failure("Failed To Get Stream Info");
  }
  if (library.StreamReadFormat(stream, library.StreamStart(stream), nullptr, &format.size) !=
      kAviOk) {
    trace.Failure("FAILED TO GET FORMAT LEN");
  }
  format.block = Allocate(format.size);
  if (!format.block.bytes) {
    trace.Failure("Failed To Allocate Format Chunk");
  }
  LogFormatSize(trace, format.size);
  if (format.block.bytes) {
    std::int32_t read_size = format.size;
    format.read = library.StreamReadFormat(stream, library.StreamStart(stream),
                                           format.block.bytes.get(), &read_size) == kAviOk;
    if (!format.read) {
      trace.Failure("FAILED TO GET format info");
    }
  }
  return format;
}

// Only a block that holds wBitsPerSample is read: a 14-byte WAVEFORMAT has none.
void LogBitsPerSample(Trace& trace, const Block& block) {
  if (!block.bytes || block.size < kFormatBitsOffset + 2) {
    return;
  }
  const auto bits = static_cast<unsigned>(LoadU16Le(block.bytes.get() + kFormatBitsOffset));
  if (bits == 0) {
    trace.Line("0 bits per sample");
  } else {
    trace.Number("%d BITS PER SAMPLE", static_cast<int>(bits));
  }
}

}  // namespace

bool ExtractAviAudio(const std::string& avi_path, ReplacementFile& wave) {
  RiffAviLibrary library;
  return ExtractAviAudio(library, avi_path, wave);
}

bool ExtractAviAudio(AviLibrary& library, const std::string& avi_path, ReplacementFile& wave) {
  Trace trace;
  trace.Line("Starting Writing AVI File");
  AviFile* file = nullptr;
  AviStream* stream = nullptr;
  StreamFormat format;
  std::int32_t stream_length = 0;
  std::int32_t byte_count = 0;
  trace.Line("Writing AVI File");

  library.FileInit();
  if (library.FileOpen(&file, avi_path) != kAviOk) {
    trace.Failure("FAILED TO GET OPEN AVI");
    file = nullptr;
  }
  trace.Line("Getting AVI Stream");
  if (file != nullptr) {
    stream = FindFirstAudioStream(trace, library, file);
  }
  trace.Line("Getting Format AVI File");
  if (stream != nullptr) {
    format = ReadStreamFormat(trace, library, stream);
  }

  trace.Line("Reading AVI File");
  if (stream != nullptr) {
    stream_length = library.StreamLength(stream);
    if (stream_length == 0) {
      trace.Failure("Failed To Get Buffer Length");
    }
  }
  LogBitsPerSample(trace, format.block);
  trace.Line("Reading Stream Length");
  if (stream != nullptr && library.StreamRead(stream, 0, kAviStreamReadConvenient, nullptr, 0,
                                              &byte_count, &stream_length) != kAviOk) {
    trace.Failure("FAILED Reading Stream Length");
  }
  trace.Number("%d STREAM SIZE", stream_length);
  trace.Number("%d STREAM LENGTH", byte_count);

  trace.Line("Reading Stream");
  Block sound = Allocate(byte_count);
  if (!sound.bytes) {
    trace.Failure("Failed To Allocate Sound Buffer");
  }
  if (stream != nullptr && sound.bytes &&
      library.StreamRead(stream, 0, kAviStreamReadConvenient, sound.bytes.get(), byte_count,
                         nullptr, nullptr) != kAviOk) {
    trace.Failure("FAILED TO READ STREAM");
  }
  trace.Line("Writing Stream");
  const WaveFormat wave_format =
      format.read ? ExtractedWaveFormat(format.block.bytes.get(), format.block.size)
                  : ExtractedWaveFormat(nullptr, 0);
  const bool written = WriteExtractedWave(wave, sound.bytes.get(),
                                          static_cast<std::uint32_t>(sound.size), wave_format);
  if (written) {
    trace.Line("Wrote Sound File");
  } else {
    trace.Failure("Failed To Write Sound File");
  }

  sound.bytes.reset();
  format.block.bytes.reset();
  trace.Line("DeAllocated Sound Buffer");
  if (stream != nullptr) {
    library.StreamRelease(stream);
    trace.Line("Release Sound Stream");
  }
  if (file != nullptr) {
    library.FileRelease(file);
    trace.Line("Release Sound File");
  }
  library.FileExit();
  trace.Line("Exit Sound File");
  return written;
}
