#pragma once

// A small AVI writer for the tests: RIFF chunks and lists put together by
// hand, so any layout (good or broken) can be made.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/wave_header.h"
#include "support/test_support.h"

namespace avi_test {

using Bytes = std::vector<std::uint8_t>;

// id, size, contents, and a pad byte after odd contents.
inline Bytes Chunk(std::string_view id, const Bytes& contents) {
  Bytes out;
  test::AppendTag(out, id);
  test::AppendU32(out, static_cast<std::uint32_t>(contents.size()));
  out.insert(out.end(), contents.begin(), contents.end());
  if (contents.size() % 2 != 0) {
    out.push_back(0);
  }
  return out;
}

inline Bytes Concat(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) {
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

// "LIST" (or "RIFF") with its type and children.
inline Bytes List(std::string_view type, const std::vector<Bytes>& children,
                  std::string_view id = "LIST") {
  Bytes contents;
  test::AppendTag(contents, type);
  const Bytes joined = Concat(children);
  contents.insert(contents.end(), joined.begin(), joined.end());
  return Chunk(id, contents);
}

inline Bytes Riff(std::string_view form, const std::vector<Bytes>& children) {
  return List(form, children, "RIFF");
}

// WAVEFORMAT fields, cut or zero-extended to `size` bytes.
inline Bytes PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                       std::size_t size = 16, std::uint16_t tag = 1) {
  const auto block_align = static_cast<std::uint16_t>(channels * (bits / 8));
  Bytes out;
  test::AppendU16(out, tag);
  test::AppendU16(out, channels);
  test::AppendU32(out, rate);
  test::AppendU32(out, rate * block_align);
  test::AppendU16(out, block_align);
  test::AppendU16(out, bits);
  out.resize(size, 0);
  return out;
}

struct StreamSpec {
  std::string_view type = "auds";
  Bytes format;
  std::uint32_t length = 0;       // dwLength
  std::uint32_t sample_size = 0;  // dwSampleSize
  std::uint32_t start = 0;        // dwStart
};

inline StreamSpec Audio(const Bytes& format, std::uint32_t length = 0) {
  return StreamSpec{"auds", format, length, 0, 0};
}

inline StreamSpec Video() { return StreamSpec{"vids", Bytes(40, 0), 0, 0, 0}; }

inline Bytes StreamList(const StreamSpec& spec) {
  Bytes strh;
  test::AppendTag(strh, spec.type);
  strh.resize(28, 0);
  test::AppendU32(strh, spec.start);
  test::AppendU32(strh, spec.length);
  test::AppendU32(strh, 0);  // dwSuggestedBufferSize
  test::AppendU32(strh, 0);  // dwQuality
  test::AppendU32(strh, spec.sample_size);
  strh.resize(56, 0);
  return List("strl", {Chunk("strh", strh), Chunk("strf", spec.format)});
}

inline Bytes HeaderList(const std::vector<StreamSpec>& streams) {
  std::vector<Bytes> children = {Chunk("avih", Bytes(56, 0))};
  for (const StreamSpec& stream : streams) {
    children.push_back(StreamList(stream));
  }
  return List("hdrl", children);
}

// "NNwb" (or "NNdc" for video).
inline Bytes DataChunk(unsigned stream, const Bytes& data, std::string_view kind = "wb") {
  const char id[4] = {static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10),
                      kind[0], kind[1]};
  return Chunk(std::string_view(id, 4), data);
}

// Splits `data` into chunks of stream `stream`, at most `chunk_bytes` each.
inline std::vector<Bytes> DataChunks(unsigned stream, const Bytes& data,
                                     std::size_t chunk_bytes = 4000) {
  std::vector<Bytes> chunks;
  for (std::size_t at = 0; at < data.size(); at += chunk_bytes) {
    const std::size_t end = std::min(data.size(), at + chunk_bytes);
    chunks.push_back(DataChunk(stream, Bytes(data.begin() + static_cast<std::ptrdiff_t>(at),
                                             data.begin() + static_cast<std::ptrdiff_t>(end))));
  }
  return chunks;
}

// RIFF "AVI " with the header list, a "movi" list and an old-style index,
// followed by `extra_parts` (e.g. "AVIX" RIFF parts).
inline Bytes MakeAvi(const std::vector<StreamSpec>& streams, const std::vector<Bytes>& movi,
                     const std::vector<Bytes>& extra_parts = {}) {
  Bytes file = Riff("AVI ", {HeaderList(streams), Chunk("JUNK", Bytes(6, 0)), List("movi", movi),
                             Chunk("idx1", Bytes(16, 0))});
  const Bytes extra = Concat(extra_parts);
  file.insert(file.end(), extra.begin(), extra.end());
  return file;
}

// One audio stream holding `data` in 4000-byte chunks.
inline Bytes AudioOnlyAvi(const Bytes& format, const Bytes& data, std::uint32_t length = 0) {
  return MakeAvi({Audio(format, length)}, DataChunks(0, data));
}

// Bytes 0, 1, 2, ... (mod 251), so misplaced or repeated chunks show.
inline Bytes Pattern(std::size_t size, unsigned seed = 0) {
  Bytes out(size);
  for (std::size_t i = 0; i < size; ++i) {
    out[i] = static_cast<std::uint8_t>((i + seed) % 251);
  }
  return out;
}

// What the extraction should write: the header, then the bytes.
inline Bytes ExpectedWave(const WaveFormat& format, const Bytes& data) {
  const auto header = MakeWaveHeader(format, static_cast<std::uint32_t>(data.size()));
  Bytes out(header.size() + data.size());
  std::copy(header.begin(), header.end(), out.begin());
  std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(header.size()));
  return out;
}

}  // namespace avi_test
