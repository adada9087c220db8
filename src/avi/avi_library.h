#pragma once

#include <array>
#include <cstdint>
#include <string>

// Handles a library hands out and takes back; each library derives its own.
struct AviFile {};
struct AviStream {};

// The stream information record: accepted, never read.
inline constexpr std::size_t kAviStreamInfoBytes = 140;
struct AviStreamInfo {
  std::array<std::uint8_t, kAviStreamInfoBytes> bytes{};
};

// "auds" read as a little-endian 32-bit number.
inline constexpr std::uint32_t kStreamTypeAudio = 0x73647561;
// Sample count of a read that takes everything the stream holds.
inline constexpr std::int32_t kAviStreamReadConvenient = -1;

// Results of the operations that report one: 0 is success.
inline constexpr int kAviOk = 0;
inline constexpr int kAviErrorFileOpen = 1;
inline constexpr int kAviErrorNoStream = 2;
inline constexpr int kAviErrorBadHandle = 3;
inline constexpr int kAviErrorBadArgument = 4;
inline constexpr int kAviErrorFileRead = 5;
inline constexpr int kAviErrorTooLarge = 6;

// The AVI reading service the audio import relies on. Handles come from
// FileOpen and FileGetStream and go back through StreamRelease and FileRelease;
// a failed call hands out nothing.
class AviLibrary {
 public:
  virtual ~AviLibrary() = default;

  virtual void FileInit() = 0;
  virtual int FileOpen(AviFile** file, const std::string& path) = 0;
  // `occurrence` counts streams of `stream_type` only, from 0.
  virtual int FileGetStream(AviFile* file, AviStream** stream, std::uint32_t stream_type,
                            std::int32_t occurrence) = 0;
  virtual int StreamInfo(AviStream* stream, AviStreamInfo& info) = 0;
  virtual std::int32_t StreamStart(AviStream* stream) = 0;
  // With a null `format` only reports the record's size in `format_size`;
  // otherwise copies up to `format_size` bytes and sets it to the count copied.
  virtual int StreamReadFormat(AviStream* stream, std::int32_t position, void* format,
                               std::int32_t* format_size) = 0;
  // Length in samples; 0 when unknown.
  virtual std::int32_t StreamLength(AviStream* stream) = 0;
  // With a null `buffer` only reports what the read would deliver. The counts
  // may be null.
  virtual int StreamRead(AviStream* stream, std::int32_t start, std::int32_t sample_count,
                         void* buffer, std::int32_t buffer_size, std::int32_t* bytes_read,
                         std::int32_t* samples_read) = 0;
  virtual void StreamRelease(AviStream* stream) = 0;
  virtual void FileRelease(AviFile* file) = 0;
  virtual void FileExit() = 0;
};
