#include "engine/wave_layout.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "riff/chunk_walk.h"
#include "riff/little_endian.h"

namespace {

constexpr std::uint64_t kFormatChunkOffset = 12;
constexpr std::uint32_t kFormatFieldsBytes = 16;
// End of the format fields; where the plain layout has its next chunk.
constexpr std::uint64_t kFixedChunkOffset =
    kFormatChunkOffset + kChunkHeaderBytes + kFormatFieldsBytes;
constexpr FourCc kFillerId = ToFourCc("FLLR");

// The header at `offset`; bytes the file doesn't have are 0.
RiffChunk ReadChunkHeader(FileWindow& file, std::uint64_t offset) {
  std::array<std::uint8_t, kChunkHeaderBytes> header{};
  ReadWaveBytes(file, offset, header.data(), header.size());
  return ParseChunkHeader(header, offset);
}

// Follows the chunk list from `offset` to the first "data" chunk. The filler
// chunk has no pad byte after odd contents.
bool WalkToData(FileWindow& file, std::uint64_t offset, WaveLayout& layout) {
  std::vector<bool> fillers;
  bool after_filler = false;
  for (const RiffChunk& chunk : ChunkWalk(file, {offset, file.Size()}, kFillerId)) {
    if (chunk.Is("data")) {
      if (after_filler) {
        fillers.back() = true;
      }
      layout.fillers = std::move(fillers);
      layout.data_size_as_read = chunk.size;
      layout.data_offset = chunk.Contents();
      return true;
    }
    after_filler = chunk.id == kFillerId;
    if (after_filler) {
      fillers.push_back(false);
    }
  }
  return false;
}

// The plain layout: the chunk at offset 36 is either one filler chunk, whose
// next chunk is taken as the data chunk, or the data chunk itself; tags other
// than "FLLR" are not checked.
void ReadFixedLayout(FileWindow& file, WaveLayout& layout) {
  const RiffChunk chunk = ReadChunkHeader(file, kFixedChunkOffset);
  if (chunk.id != kFillerId) {
    layout.data_size_as_read = chunk.size;
    layout.data_offset = chunk.Contents();
    return;
  }
  const RiffChunk data = ReadChunkHeader(file, chunk.End());
  layout.fillers = {data.Is("data")};
  layout.data_size_as_read = data.size;
  layout.data_offset = data.Contents();
}

// Where the "fmt " chunk lies: at offset 12 in the plain layout; otherwise
// (a "bext" or "JUNK" chunk first, as field recorders write) the first one in
// the chunk list, or offset 12 again when there is none.
std::uint64_t FindFormatChunk(FileWindow& file) {
  for (const RiffChunk& chunk : ChunkWalk(file, {kFormatChunkOffset, file.Size()})) {
    if (chunk.Is("fmt ")) {
      return chunk.offset;
    }
  }
  return kFormatChunkOffset;
}

WaveFormatFields ReadFormatFields(FileWindow& file, std::uint64_t format_chunk) {
  const RiffChunk chunk = ReadChunkHeader(file, format_chunk);
  std::array<std::uint8_t, kFormatFieldsBytes> fields{};
  ReadWaveBytes(file, chunk.Contents(), fields.data(), fields.size());
  WaveFormatFields format;
  format.format_len = chunk.size;
  format.format_tag = LoadU16Le(fields.data());
  format.channels = LoadU16Le(fields.data() + 2);
  format.sample_rate = LoadU32Le(fields.data() + 4);
  format.avm_bytes = LoadU32Le(fields.data() + 8);
  format.blockalign = LoadU16Le(fields.data() + 12);
  format.bits_persample = LoadU16Le(fields.data() + 14);
  return format;
}

// The fields are always read as 16 bytes, but the format chunk may be longer
// (18 bytes, or 40 for the extensible format) and other chunks may precede
// the data. A length reaching past the end of the file is wrong: the walk
// then starts where a 16-byte chunk would end.
std::uint64_t AfterFormatChunk(std::uint64_t format_chunk, std::uint32_t format_len,
                               std::uint64_t file_size) {
  const std::uint64_t fields_offset = format_chunk + kChunkHeaderBytes;
  const std::uint64_t format_body = std::max(format_len, kFormatFieldsBytes);
  const std::uint64_t after_format = fields_offset + format_body + (format_body & 1U);
  return after_format > file_size ? fields_offset + kFormatFieldsBytes : after_format;
}

}  // namespace

void ReadWaveBytes(FileWindow& file, std::uint64_t offset, std::uint8_t* out, std::size_t count) {
  const std::size_t got = file.Read(offset, out, count);
  std::fill(out + got, out + count, std::uint8_t{0});
}

WaveLayout ReadWaveLayout(FileWindow& file) {
  WaveLayout layout;
  std::array<std::uint8_t, kFormatChunkOffset> head{};
  ReadWaveBytes(file, 0, head.data(), head.size());
  if (std::memcmp(head.data(), "RIFF", kListTypeBytes) != 0) {
    layout.status = WaveLayoutStatus::NotRiff;
    return layout;
  }
  if (std::memcmp(head.data() + kChunkHeaderBytes, "WAVE", kListTypeBytes) != 0) {
    layout.status = WaveLayoutStatus::NotWave;
    return layout;
  }
  layout.status = WaveLayoutStatus::Valid;
  const std::uint64_t format_chunk = FindFormatChunk(file);
  layout.format = ReadFormatFields(file, format_chunk);
  if (!WalkToData(file, AfterFormatChunk(format_chunk, layout.format.format_len, file.Size()),
                  layout)) {
    ReadFixedLayout(file, layout);
  }
  const std::uint64_t available = file.Size() - std::min(file.Size(), layout.data_offset);
  layout.data_size =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(layout.data_size_as_read, available));
  return layout;
}
