#pragma once

// A small AVI writer for the tests: RIFF chunks and lists put together by
// hand, so any layout (good or broken) can be made.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace avi_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Concat(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) {
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

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

// "LIST" (or "RIFF") with its type and children.
inline Bytes List(std::string_view type, const std::vector<Bytes>& children,
                  std::string_view id = "LIST") {
  Bytes contents;
  test::AppendTag(contents, type);
  return Chunk(id, Concat({contents, Concat(children)}));
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

struct StreamHeader {
  std::string_view type = "auds";
  Bytes format;
  std::uint32_t length = 0;  // dwLength
  std::uint32_t start = 0;   // dwStart
};

inline StreamHeader Audio(const Bytes& format, std::uint32_t length = 0) {
  return StreamHeader{"auds", format, length};
}

inline StreamHeader Video() { return StreamHeader{"vids", Bytes(40, 0)}; }

// "NNwb" (or "NNdc" for video).
inline Bytes DataChunk(unsigned stream, const Bytes& data, std::string_view kind = "wb") {
  const char id[4] = {static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10),
                      kind[0], kind[1]};
  return Chunk(std::string_view(id, 4), data);
}

// `data` as chunks of stream `stream`, at most `chunk_bytes` each.
inline std::vector<Bytes> DataChunks(unsigned stream, const Bytes& data,
                                     std::size_t chunk_bytes = 4000) {
  std::vector<Bytes> chunks;
  for (std::size_t at = 0; at < data.size(); at += chunk_bytes) {
    const auto from = data.begin() + static_cast<std::ptrdiff_t>(at);
    chunks.push_back(DataChunk(stream, Bytes(from, from + static_cast<std::ptrdiff_t>(std::min(
                                                              chunk_bytes, data.size() - at)))));
  }
  return chunks;
}

// RIFF "AVI " with the header list, a "movi" list and an old-style index,
// followed by `extra_parts` (e.g. "AVIX" RIFF parts).
inline Bytes MakeAvi(const std::vector<StreamHeader>& streams, const std::vector<Bytes>& movi,
                     const std::vector<Bytes>& extra_parts = {}) {
  std::vector<Bytes> header = {Chunk("avih", Bytes(56, 0))};
  for (const StreamHeader& stream : streams) {
    Bytes strh;
    test::AppendTag(strh, stream.type);
    strh.resize(28, 0);
    test::AppendU32(strh, stream.start);
    test::AppendU32(strh, stream.length);
    strh.resize(56, 0);
    header.push_back(List("strl", {Chunk("strh", strh), Chunk("strf", stream.format)}));
  }
  return Concat({Riff("AVI ", {List("hdrl", header), Chunk("JUNK", Bytes(6, 0)), List("movi", movi),
                               Chunk("idx1", Bytes(16, 0))}),
                 Concat(extra_parts)});
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

}  // namespace avi_test
