#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "riff/file_window.h"

// A plain RIFF walk over an AVI file: the header list for the streams, then
// the "movi" lists (with their "rec " lists) of the "AVI " part and of every
// OpenDML "AVIX" part that follows it. Nothing but headers and the wanted
// bytes is read, and sizes taken from the file are clamped to the file, so no
// allocation is larger than the file. A malformed chunk ends the walk with
// what was found before it.

using AviSource = FileWindow;

// Contents of a list, clamped to the file.
struct RiffRange {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

struct AviAudioTrack {
  std::uint32_t stream_index = 0;    // among all streams: names its "NNwb" chunks
  std::vector<std::uint8_t> format;  // the raw "strf" record
  std::uint32_t start = 0;           // strh dwStart
  std::uint32_t length = 0;          // strh dwLength, in samples
  std::uint32_t sample_size = 0;     // strh dwSampleSize
  std::uint64_t data_bytes = 0;      // all of its data chunks together
};

// The header list of the file's "RIFF"/"AVI " part; false when there is none.
bool FindAviHeaderList(AviSource& source, RiffRange& header_list);

// The `occurrence`-th stream of type "auds" (from 0), with its byte total;
// false when the file has fewer, or the stream's headers are malformed.
bool FindAviAudioTrack(AviSource& source, const RiffRange& header_list, std::uint32_t occurrence,
                       AviAudioTrack& track);

// Copies up to `size` bytes of the stream's data, starting `offset` bytes in,
// chunk after chunk in file order. Returns the number of bytes copied.
std::uint64_t ReadAviTrackBytes(AviSource& source, std::uint32_t stream_index, std::uint64_t offset,
                                std::uint8_t* out, std::uint64_t size);
