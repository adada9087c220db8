#include "engine/wave_layout.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/little_endian.h"

namespace {

constexpr std::size_t kTagBytes = 4;
constexpr std::uint64_t kChunkHeaderBytes = 8;
constexpr std::uint64_t kFormatChunkOffset = 12;
constexpr std::uint32_t kFormatFieldsBytes = 16;
// End of the format fields; where the plain layout has its next chunk.
constexpr std::uint64_t kFixedChunkOffset =
    kFormatChunkOffset + kChunkHeaderBytes + kFormatFieldsBytes;

using Tag = std::array<std::uint8_t, kTagBytes>;

bool TagIs(const std::uint8_t* p, const char (&tag)[kTagBytes + 1]) {
  return std::memcmp(p, tag, kTagBytes) == 0;
}

struct ChunkHeader {
  Tag tag{};
  std::uint32_t size = 0;
};

ChunkHeader ReadChunkHeader(FileWindow& file, std::uint64_t offset) {
  std::array<std::uint8_t, kChunkHeaderBytes> bytes{};
  ReadWaveBytes(file, offset, bytes.data(), bytes.size());
  ChunkHeader header;
  std::copy_n(bytes.begin(), kTagBytes, header.tag.begin());
  header.size = LoadU32Le(bytes.data() + kTagBytes);
  return header;
}

// Follows the chunk list from `offset` to the first "data" chunk. Ordinary
// chunks are followed by a pad byte when their size is odd; the filler chunk
// never is.
bool WalkToData(FileWindow& file, std::uint64_t file_size, std::uint64_t offset,
                WaveLayout& layout) {
  std::vector<bool> fillers;
  bool after_filler = false;
  while (offset + kChunkHeaderBytes <= file_size) {
    const ChunkHeader chunk = ReadChunkHeader(file, offset);
    if (TagIs(chunk.tag.data(), "data")) {
      if (after_filler) {
        fillers.back() = true;
      }
      layout.fillers = std::move(fillers);
      layout.data_size_as_read = chunk.size;
      layout.data_offset = offset + kChunkHeaderBytes;
      return true;
    }
    after_filler = TagIs(chunk.tag.data(), "FLLR");
    offset += kChunkHeaderBytes + chunk.size;
    if (after_filler) {
      fillers.push_back(false);
    } else {
      offset += chunk.size & 1U;
    }
  }
  return false;
}

// The plain layout: the chunk at offset 36 is either one filler chunk, whose
// next chunk is taken as the data chunk, or the data chunk itself; tags other
// than "FLLR" are not checked.
void ReadFixedLayout(FileWindow& file, WaveLayout& layout) {
  const ChunkHeader chunk = ReadChunkHeader(file, kFixedChunkOffset);
  if (!TagIs(chunk.tag.data(), "FLLR")) {
    layout.data_size_as_read = chunk.size;
    layout.data_offset = kFixedChunkOffset + kChunkHeaderBytes;
    return;
  }
  const std::uint64_t next = kFixedChunkOffset + kChunkHeaderBytes + chunk.size;
  const ChunkHeader data = ReadChunkHeader(file, next);
  layout.fillers = {TagIs(data.tag.data(), "data")};
  layout.data_size_as_read = data.size;
  layout.data_offset = next + kChunkHeaderBytes;
}

}  // namespace

void ReadWaveBytes(FileWindow& file, std::uint64_t offset, std::uint8_t* out, std::size_t count) {
  const std::size_t got = file.Read(offset, out, count);
  std::fill(out + got, out + count, std::uint8_t{0});
}

namespace {

// Where the "fmt " chunk lies: at offset 12 in the plain layout; otherwise
// (a "bext" or "JUNK" chunk first, as field recorders write) the first one in
// the chunk list, or offset 12 again when there is none.
std::uint64_t FindFormatChunk(FileWindow& file, std::uint64_t file_size) {
  std::uint64_t offset = kFormatChunkOffset;
  while (offset + kChunkHeaderBytes <= file_size) {
    const ChunkHeader chunk = ReadChunkHeader(file, offset);
    if (TagIs(chunk.tag.data(), "fmt ")) {
      return offset;
    }
    offset += kChunkHeaderBytes + chunk.size + (chunk.size & 1U);
  }
  return kFormatChunkOffset;
}

}  // namespace

WaveLayout ReadWaveLayout(FileWindow& file) {
  WaveLayout layout;
  const std::uint64_t file_size = file.Size();
  std::array<std::uint8_t, kFormatChunkOffset> riff{};
  ReadWaveBytes(file, 0, riff.data(), riff.size());
  if (!TagIs(riff.data(), "RIFF")) {
    layout.status = WaveLayoutStatus::NotRiff;
    return layout;
  }
  if (!TagIs(riff.data() + 8, "WAVE")) {
    layout.status = WaveLayoutStatus::NotWave;
    return layout;
  }
  layout.status = WaveLayoutStatus::Valid;
  const std::uint64_t format_chunk = FindFormatChunk(file, file_size);
  std::array<std::uint8_t, kChunkHeaderBytes + kFormatFieldsBytes> head{};
  ReadWaveBytes(file, format_chunk, head.data(), head.size());
  WaveFormatFields& format = layout.format;
  const std::uint8_t* fields = head.data() + kChunkHeaderBytes;
  format.format_len = LoadU32Le(head.data() + kTagBytes);
  format.format_tag = LoadU16Le(fields);
  format.channels = LoadU16Le(fields + 2);
  format.sample_rate = LoadU32Le(fields + 4);
  format.avm_bytes = LoadU32Le(fields + 8);
  format.blockalign = LoadU16Le(fields + 12);
  format.bits_persample = LoadU16Le(fields + 14);

  // The fields are always read as 16 bytes, but the format chunk may be longer
  // (18 bytes, or 40 for the extensible format) and other chunks may precede
  // the data. A length reaching past the end of the file is wrong: the walk
  // then starts where a 16-byte chunk would end.
  const std::uint64_t fields_offset = format_chunk + kChunkHeaderBytes;
  const std::uint64_t format_body = std::max(format.format_len, kFormatFieldsBytes);
  std::uint64_t after_format = fields_offset + format_body + (format_body & 1U);
  if (after_format > file_size) {
    after_format = fields_offset + kFormatFieldsBytes;
  }
  if (!WalkToData(file, file_size, after_format, layout)) {
    ReadFixedLayout(file, layout);
  }
  const std::uint64_t available =
      file_size > layout.data_offset ? file_size - layout.data_offset : 0;
  layout.data_size =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(layout.data_size_as_read, available));
  return layout;
}
