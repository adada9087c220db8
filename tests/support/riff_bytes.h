#pragma once

// Hand-made RIFF files for the tests: WAVE and AVI files of any layout, good
// or broken, put together chunk by chunk.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace test {

using Bytes = std::vector<std::uint8_t>;

// Little-endian, `bytes` wide.
inline void Append(Bytes& out, std::uint32_t value, int bytes) {
  for (int k = 0; k < bytes; ++k) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
  }
}

// Four characters, a short tag filled with blanks.
inline Bytes Tag(std::string_view tag) {
  Bytes out(4, ' ');
  std::copy(tag.begin(),
            tag.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(tag.size(), 4)),
            out.begin());
  return out;
}

inline Bytes Join(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) {
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

// Id, size, contents and, after odd contents, a pad byte unless `pad` is false.
inline Bytes Chunk(std::string_view id, const Bytes& contents, bool pad = true) {
  Bytes out = Tag(id);
  Append(out, static_cast<std::uint32_t>(contents.size()), 4);
  out.insert(out.end(), contents.begin(), contents.end());
  out.resize(out.size() + (pad ? contents.size() % 2 : 0), 0);
  return out;
}

// A "LIST" (or "RIFF") chunk holding its type and its children.
inline Bytes List(std::string_view type, const std::vector<Bytes>& children,
                  std::string_view id = "LIST") {
  return Chunk(id, Join({Tag(type), Join(children)}));
}

// Bytes 0, 1, 2, ... (mod 251) from `seed` on, so misplaced or repeated bytes
// show.
inline Bytes Pattern(std::size_t size, unsigned seed = 0) {
  Bytes out(size);
  for (std::size_t i = 0; i < size; ++i) {
    out[i] = static_cast<std::uint8_t>((i + seed) % 251);
  }
  return out;
}

// PCM format fields, cut or zero-extended to `size` bytes.
inline Bytes PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                       std::size_t size = 16, std::uint16_t tag = 1) {
  const std::uint32_t block_align = channels * ((bits + 7U) / 8U);
  Bytes out;
  for (const auto& [value, bytes] : {std::pair{std::uint32_t{tag}, 2},
                                     {channels, 2},
                                     {rate, 4},
                                     {rate * block_align, 4},
                                     {block_align, 2},
                                     {bits, 2}}) {
    Append(out, value, bytes);
  }
  out.resize(size, 0);
  return out;
}

struct WaveFileOptions {
  std::uint16_t format_tag = 1;
  std::uint16_t channels = 1;
  std::uint32_t sample_rate = 22050;
  std::uint16_t bits_per_sample = 8;
  std::uint32_t format_len = 16;
  std::int64_t data_size_override = -1;  // else the data's length
};

// A WAVE file as the program writes one: RIFF header, "fmt " chunk, then
// `chunks_before_data`, then "data" without a pad byte.
inline Bytes MakeWave(const WaveFileOptions& o, const Bytes& data,
                      const Bytes& chunks_before_data = {}) {
  Bytes data_chunk = Chunk("data", data, false);
  if (o.data_size_override >= 0) {
    data_chunk.resize(4);
    Append(data_chunk, static_cast<std::uint32_t>(o.data_size_override), 4);
    data_chunk.insert(data_chunk.end(), data.begin(), data.end());
  }
  const Bytes format =
      PcmFormat(o.channels, o.sample_rate, o.bits_per_sample, o.format_len, o.format_tag);
  return Chunk("RIFF", Join({Tag("WAVE"), Chunk("fmt ", format), chunks_before_data, data_chunk}),
               false);
}

inline Bytes MakeWave8(std::uint32_t sample_rate, const Bytes& samples) {
  return MakeWave({.sample_rate = sample_rate}, samples);
}

inline Bytes MakeWave16(std::uint32_t sample_rate, const std::vector<std::int16_t>& samples,
                        std::uint16_t channels = 1) {
  Bytes data;
  for (const std::int16_t sample : samples) {
    Append(data, static_cast<std::uint16_t>(sample), 2);
  }
  return MakeWave({.channels = channels, .sample_rate = sample_rate, .bits_per_sample = 16}, data);
}

}  // namespace test

namespace avi_test {

using test::Bytes;
using test::Chunk;
using test::List;
using test::PcmFormat;

struct StreamHeader {
  std::string_view type = "auds";
  Bytes format;
  std::uint32_t length = 0;       // dwLength
  std::uint32_t sample_size = 0;  // dwSampleSize
};

inline StreamHeader Audio(const Bytes& format, std::uint32_t length = 0) {
  return {.format = format, .length = length};
}
inline StreamHeader Video() { return {.type = "vids", .format = Bytes(40, 0)}; }

// "NNwb" (or "NNdc" for video).
inline Bytes DataChunk(unsigned stream, const Bytes& data, std::string_view kind = "wb") {
  const char id[4] = {static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10),
                      kind[0], kind[1]};
  return Chunk(std::string_view(id, 4), data);
}

// RIFF "AVI " with the header list, a "movi" list and an old-style index,
// followed by `extra_parts` (e.g. "AVIX" RIFF parts).
inline Bytes MakeAvi(const std::vector<StreamHeader>& streams, const std::vector<Bytes>& movi,
                     const std::vector<Bytes>& extra_parts = {}) {
  std::vector<Bytes> header = {Chunk("avih", Bytes(56, 0))};
  for (const StreamHeader& stream : streams) {
    Bytes strh(56, 0);
    std::copy(stream.type.begin(), stream.type.end(), strh.begin());
    for (const auto& [offset, value] : {std::pair{32, stream.length}, {44, stream.sample_size}}) {
      for (int k = 0; k < 4; ++k) {
        strh[static_cast<std::size_t>(offset + k)] = static_cast<std::uint8_t>(value >> (8 * k));
      }
    }
    header.push_back(List("strl", {Chunk("strh", strh), Chunk("strf", stream.format)}));
  }
  return test::Join({List("AVI ",
                          {List("hdrl", header), Chunk("JUNK", Bytes(6, 0)), List("movi", movi),
                           Chunk("idx1", Bytes(16, 0))},
                          "RIFF"),
                     test::Join(extra_parts)});
}

// One audio stream holding `data` in 4000-byte chunks.
inline Bytes AudioOnlyAvi(const Bytes& format, const Bytes& data) {
  std::vector<Bytes> chunks;
  for (std::size_t at = 0; at < data.size(); at += 4000) {
    const auto from = data.begin() + static_cast<std::ptrdiff_t>(at);
    chunks.push_back(
        DataChunk(0, Bytes(from, from + std::min<std::ptrdiff_t>(4000, data.end() - from))));
  }
  return MakeAvi({Audio(format)}, chunks);
}

}  // namespace avi_test
