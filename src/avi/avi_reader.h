#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "riff/chunk_walk.h"
#include "riff/file_window.h"
#include "riff/regular_file.h"

// One audio stream of an AVI file, as its headers and data chunks give it.
struct AviAudioStream {
  std::uint32_t stream_index = 0;    // among all streams: names its "NNwb" chunks
  std::vector<std::uint8_t> format;  // the raw "strf" record
  std::uint32_t start = 0;           // strh dwStart
  std::uint32_t length = 0;          // strh dwLength, in samples
  std::uint32_t sample_size = 0;     // strh dwSampleSize
  std::uint64_t data_bytes = 0;      // all of its data chunks together

  // strh dwSampleSize, else the format's block align, else 1.
  std::uint64_t SampleBytes() const;
  // strh dwLength, or the data's own length where the header leaves it at 0.
  std::uint64_t LengthInSamples() const;
};

// Reads the audio of an AVI file with a plain RIFF walk: the header list for
// the streams, the "movi" lists for their data. Nothing but headers and the
// wanted bytes is read, and sizes taken from the file are clamped to the
// file, so nothing allocated is larger than the file.
class AviReader {
 public:
  // Nullopt unless `path` is a regular file whose "RIFF"/"AVI " part holds a
  // header list.
  static std::optional<AviReader> Open(const std::string& path);

  // The `occurrence`-th stream of type "auds" (from 0); nullopt when the file
  // has fewer, or the stream's headers are malformed.
  std::optional<AviAudioStream> FindAudioStream(std::uint32_t occurrence);

  // Copies the first out.size() bytes of the stream's data, chunk after chunk
  // in file order; returns how many of them the file held.
  std::size_t ReadData(const AviAudioStream& stream, std::span<std::uint8_t> out);

 private:
  AviReader(OwnedFile file, FileWindow window, ByteRange header_list);

  OwnedFile file_;
  FileWindow window_;
  ByteRange header_list_;
};
