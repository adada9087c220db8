#include "riff/chunk_walk.h"

#include <algorithm>

#include "riff/little_endian.h"

namespace {

// "rec " lists lie three lists deep (RIFF, movi, rec ). No real file nests
// lists nine deep; a walk that deep opens no further list, which bounds the
// recursion of those who walk them.
constexpr int kMaxListDepth = 9;

}  // namespace

RiffChunk ParseChunkHeader(std::span<const std::uint8_t, kChunkHeaderBytes> header,
                           std::uint64_t offset) {
  RiffChunk chunk;
  std::copy_n(header.begin(), chunk.id.size(), chunk.id.begin());
  chunk.size = LoadU32Le(header.data() + chunk.id.size());
  chunk.offset = offset;
  return chunk;
}

std::optional<RiffList> ChunkWalk::OpenList(const RiffChunk& list) const {
  FourCc type{};
  if (depth_ >= kMaxListDepth || list.size < kListTypeBytes ||
      range_.end - list.Contents() < kListTypeBytes ||
      !file_->ReadAll(list.Contents(), reinterpret_cast<std::uint8_t*>(type.data()), type.size())) {
    return std::nullopt;
  }
  ChunkWalk contents(*file_, {list.Contents() + kListTypeBytes, std::min(list.End(), range_.end)},
                     unpadded_id_);
  contents.depth_ = depth_ + 1;
  return RiffList{type, contents};
}

ChunkWalk::Iterator ChunkWalk::begin() {
  ReadChunkAt(range_.begin);
  return Iterator(*this);
}

void ChunkWalk::ReadChunkAt(std::uint64_t offset) {
  chunk_.reset();
  std::array<std::uint8_t, kChunkHeaderBytes> header{};
  if (offset + header.size() <= range_.end &&
      file_->ReadAll(offset, header.data(), header.size())) {
    chunk_ = ParseChunkHeader(header, offset);
  }
}

void ChunkWalk::Advance() {
  const RiffChunk chunk = *chunk_;
  if (chunk.End() > range_.end) {
    overran_ = true;
    chunk_.reset();
    return;
  }
  const bool pad_follows = (chunk.size & 1U) != 0 && chunk.id != unpadded_id_;
  ReadChunkAt(chunk.End() + (pad_follows ? 1 : 0));
}
