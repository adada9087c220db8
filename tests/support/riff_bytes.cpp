#include "support/riff_bytes.h"

#include <algorithm>

namespace test {

void AppendTag(Bytes& out, std::string_view tag) {
  for (std::size_t i = 0; i < 4; ++i) {
    out.push_back(i < tag.size() ? static_cast<std::uint8_t>(tag[i]) : std::uint8_t{' '});
  }
}

void AppendU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFU));
  out.push_back(static_cast<std::uint8_t>(value >> 8U));
}

void AppendU32(Bytes& out, std::uint32_t value) {
  AppendU16(out, static_cast<std::uint16_t>(value & 0xFFFFU));
  AppendU16(out, static_cast<std::uint16_t>(value >> 16U));
}

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) {
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

Bytes Chunk(std::string_view id, const Bytes& contents, bool pad) {
  Bytes out;
  AppendTag(out, id);
  AppendU32(out, static_cast<std::uint32_t>(contents.size()));
  out.insert(out.end(), contents.begin(), contents.end());
  if (pad && contents.size() % 2 != 0) {
    out.push_back(0);
  }
  return out;
}

Bytes List(std::string_view type, const std::vector<Bytes>& children, std::string_view id) {
  Bytes contents;
  AppendTag(contents, type);
  return Chunk(id, Join({contents, Join(children)}));
}

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes out(size);
  for (std::size_t i = 0; i < size; ++i) {
    out[i] = static_cast<std::uint8_t>((i + seed) % 251);
  }
  return out;
}

Bytes MakeWave(const WaveFileOptions& options, const Bytes& data, const Bytes& chunks_before_data) {
  const auto block_align =
      static_cast<std::uint16_t>(options.channels * ((options.bits_per_sample + 7U) / 8U));
  Bytes fields;
  AppendU16(fields, options.format_tag);
  AppendU16(fields, options.channels);
  AppendU32(fields, options.sample_rate);
  AppendU32(fields, options.sample_rate * block_align);
  AppendU16(fields, block_align);
  AppendU16(fields, options.bits_per_sample);
  fields.resize(options.format_len, 0);
  Bytes data_chunk = Chunk("data", data, false);
  if (options.data_size_override >= 0) {
    data_chunk.resize(4);
    AppendU32(data_chunk, static_cast<std::uint32_t>(options.data_size_override));
    data_chunk.insert(data_chunk.end(), data.begin(), data.end());
  }
  Bytes form;
  AppendTag(form, "WAVE");
  return Chunk("RIFF", Join({form, Chunk("fmt ", fields), chunks_before_data, data_chunk}), false);
}

Bytes MakeWave8(std::uint32_t sample_rate, const Bytes& samples) {
  return MakeWave({.sample_rate = sample_rate}, samples);
}

Bytes MakeWave16(std::uint32_t sample_rate, const std::vector<std::int16_t>& samples,
                 std::uint16_t channels) {
  Bytes data;
  for (const std::int16_t sample : samples) {
    AppendU16(data, static_cast<std::uint16_t>(sample));
  }
  return MakeWave({.channels = channels, .sample_rate = sample_rate, .bits_per_sample = 16}, data);
}

}  // namespace test

namespace avi_test {

using test::AppendTag;
using test::AppendU16;
using test::AppendU32;
using test::Chunk;
using test::List;

Bytes PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::size_t size,
                std::uint16_t tag) {
  const auto block_align = static_cast<std::uint16_t>(channels * (bits / 8));
  Bytes out;
  AppendU16(out, tag);
  AppendU16(out, channels);
  AppendU32(out, rate);
  AppendU32(out, rate * block_align);
  AppendU16(out, block_align);
  AppendU16(out, bits);
  out.resize(size, 0);
  return out;
}

StreamHeader Audio(const Bytes& format, std::uint32_t length) {
  return StreamHeader{.format = format, .length = length};
}

StreamHeader Video() { return StreamHeader{.type = "vids", .format = Bytes(40, 0)}; }

Bytes DataChunk(unsigned stream, const Bytes& data, std::string_view kind) {
  const char id[4] = {static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10),
                      kind[0], kind[1]};
  return Chunk(std::string_view(id, 4), data);
}

Bytes MakeAvi(const std::vector<StreamHeader>& streams, const std::vector<Bytes>& movi,
              const std::vector<Bytes>& extra_parts) {
  std::vector<Bytes> header = {Chunk("avih", Bytes(56, 0))};
  for (const StreamHeader& stream : streams) {
    Bytes strh;
    AppendTag(strh, stream.type);
    strh.resize(28, 0);
    AppendU32(strh, stream.start);
    AppendU32(strh, stream.length);
    strh.resize(44, 0);
    AppendU32(strh, stream.sample_size);
    strh.resize(56, 0);
    header.push_back(List("strl", {Chunk("strh", strh), Chunk("strf", stream.format)}));
  }
  return test::Join({List("AVI ",
                          {List("hdrl", header), Chunk("JUNK", Bytes(6, 0)), List("movi", movi),
                           Chunk("idx1", Bytes(16, 0))},
                          "RIFF"),
                     test::Join(extra_parts)});
}

Bytes AudioOnlyAvi(const Bytes& format, const Bytes& data, std::uint32_t length) {
  constexpr std::size_t kChunkBytes = 4000;
  std::vector<Bytes> chunks;
  for (std::size_t at = 0; at < data.size(); at += kChunkBytes) {
    const auto from = data.begin() + static_cast<std::ptrdiff_t>(at);
    const auto count = static_cast<std::ptrdiff_t>(std::min(kChunkBytes, data.size() - at));
    chunks.push_back(DataChunk(0, Bytes(from, from + count)));
  }
  return MakeAvi({Audio(format, length)}, chunks);
}

}  // namespace avi_test
