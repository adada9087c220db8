#pragma once

// Hand-made RIFF files for the tests: WAVE and AVI files of any layout, good
// or broken, put together chunk by chunk.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace test {

using Bytes = std::vector<std::uint8_t>;

Bytes Join(const std::vector<Bytes>& parts);
// Id, size, contents and, after odd contents, a pad byte unless `pad` is false.
Bytes Chunk(std::string_view id, const Bytes& contents, bool pad = true);
// A "LIST" (or "RIFF") chunk holding its type and its children.
Bytes List(std::string_view type, const std::vector<Bytes>& children, std::string_view id = "LIST");
// Bytes 0, 1, 2, ... (mod 251) from `seed` on, so misplaced or repeated bytes
// show.
Bytes Pattern(std::size_t size, unsigned seed = 0);
// PCM format fields, cut or zero-extended to `size` bytes.
Bytes PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                std::size_t size = 16, std::uint16_t tag = 1);

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
Bytes MakeWave(const WaveFileOptions& options, const Bytes& data,
               const Bytes& chunks_before_data = {});
Bytes MakeWave8(std::uint32_t sample_rate, const Bytes& samples);
Bytes MakeWave16(std::uint32_t sample_rate, const std::vector<std::int16_t>& samples,
                 std::uint16_t channels = 1);

}  // namespace test

namespace avi_test {

using test::Bytes;
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
Bytes DataChunk(unsigned stream, const Bytes& data, std::string_view kind = "wb");
// RIFF "AVI " with the header list, a "movi" list and an old-style index,
// followed by `extra_parts` (e.g. "AVIX" RIFF parts).
Bytes MakeAvi(const std::vector<StreamHeader>& streams, const std::vector<Bytes>& movi,
              const std::vector<Bytes>& extra_parts = {});
// One audio stream holding `data` in 4000-byte chunks.
Bytes AudioOnlyAvi(const Bytes& format, const Bytes& data);

}  // namespace avi_test
