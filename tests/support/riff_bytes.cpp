#include "support/riff_bytes.h"

#include <algorithm>

namespace test {

namespace {

// Little-endian, `bytes` wide.
void Append(Bytes& out, std::uint32_t value, int bytes) {
  for (int k = 0; k < bytes; ++k) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
  }
}

// Four characters, a short tag filled with blanks.
Bytes Tag(std::string_view tag) {
  Bytes out(4, ' ');
  std::copy(tag.begin(),
            tag.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(tag.size(), 4)),
            out.begin());
  return out;
}

}  // namespace

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) {
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

Bytes Chunk(std::string_view id, const Bytes& contents, bool pad) {
  Bytes out = Tag(id);
  Append(out, static_cast<std::uint32_t>(contents.size()), 4);
  out.insert(out.end(), contents.begin(), contents.end());
  out.resize(out.size() + (pad ? contents.size() % 2 : 0), 0);
  return out;
}

Bytes List(std::string_view type, const std::vector<Bytes>& children, std::string_view id) {
  return Chunk(id, Join({Tag(type), Join(children)}));
}

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes out(size);
  for (std::size_t i = 0; i < size; ++i) {
    out[i] = static_cast<std::uint8_t>((i + seed) % 251);
  }
  return out;
}

Bytes PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::size_t size,
                std::uint16_t tag) {
  const std::uint32_t block_align = channels * ((bits + 7U) / 8U);
  Bytes out;
  for (const auto [value, bytes] : {std::pair{std::uint32_t{tag}, 2},
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

Bytes MakeWave(const WaveFileOptions& o, const Bytes& data, const Bytes& chunks_before_data) {
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

Bytes MakeWave8(std::uint32_t sample_rate, const Bytes& samples) {
  return MakeWave({.sample_rate = sample_rate}, samples);
}

Bytes MakeWave16(std::uint32_t sample_rate, const std::vector<std::int16_t>& samples,
                 std::uint16_t channels) {
  Bytes data;
  for (const std::int16_t sample : samples) {
    Append(data, static_cast<std::uint16_t>(sample), 2);
  }
  return MakeWave({.channels = channels, .sample_rate = sample_rate, .bits_per_sample = 16}, data);
}

}  // namespace test

namespace avi_test {

using test::Chunk;
using test::List;

Bytes DataChunk(unsigned stream, const Bytes& data, std::string_view kind) {
  const char id[4] = {static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10),
                      kind[0], kind[1]};
  return Chunk(std::string_view(id, 4), data);
}

Bytes MakeAvi(const std::vector<StreamHeader>& streams, const std::vector<Bytes>& movi,
              const std::vector<Bytes>& extra_parts) {
  std::vector<Bytes> header = {Chunk("avih", Bytes(56, 0))};
  for (const StreamHeader& stream : streams) {
    Bytes strh(56, 0);
    std::copy(stream.type.begin(), stream.type.end(), strh.begin());
    for (const auto [offset, value] : {std::pair{32, stream.length}, {44, stream.sample_size}}) {
      for (int k = 0; k < 4; ++k) {
        strh[static_cast<std::size_t>(offset + k)] = static_cast<std::uint8_t>(value >> (8 * k));
      }
    }
    header.push_back(List("strl", {Chunk("strh", strh), Chunk("strf", stream.format)}));
  }
  const Bytes riff = List("AVI ",
                          {List("hdrl", header), Chunk("JUNK", Bytes(6, 0)), List("movi", movi),
                           Chunk("idx1", Bytes(16, 0))},
                          "RIFF");
  return test::Join({riff, test::Join(extra_parts)});
}

Bytes AudioOnlyAvi(const Bytes& format, const Bytes& data) {
  std::vector<Bytes> chunks;
  for (std::size_t at = 0; at < data.size(); at += 4000) {
    const auto from = data.begin() + static_cast<std::ptrdiff_t>(at);
    chunks.push_back(
        DataChunk(0, Bytes(from, from + std::min<std::ptrdiff_t>(4000, data.end() - from))));
  }
  return MakeAvi({Audio(format)}, chunks);
}

}  // namespace avi_test
