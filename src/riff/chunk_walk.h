#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>

#include "riff/file_window.h"

// A RIFF file is a list of chunks: a four-character id, a 32-bit
// little-endian size, the contents and, after contents of odd size, a pad
// byte. The contents of a "RIFF" or "LIST" chunk are a four-character type
// followed by chunks of their own.

inline constexpr std::uint64_t kChunkHeaderBytes = 8;
inline constexpr std::uint64_t kListTypeBytes = 4;

using FourCc = std::array<char, 4>;

constexpr FourCc ToFourCc(const char (&tag)[5]) { return {tag[0], tag[1], tag[2], tag[3]}; }

// Offsets [begin, end) of a file.
struct ByteRange {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

struct RiffChunk {
  FourCc id{};
  std::uint32_t size = 0;
  std::uint64_t offset = 0;  // of its header

  std::uint64_t Contents() const { return offset + kChunkHeaderBytes; }
  std::uint64_t End() const { return Contents() + size; }
  bool Is(const char (&tag)[5]) const { return id == ToFourCc(tag); }
};

// The chunk whose header is `header`, found at `offset`.
RiffChunk ParseChunkHeader(std::span<const std::uint8_t, kChunkHeaderBytes> header,
                           std::uint64_t offset);

struct RiffList;

// The chunks of a range of a file in order, for a range-for loop. Only
// headers are read, each one whole within the range. The walk ends at the end
// of the range, at a header the file no longer holds, or after a chunk whose
// contents reach past the end of the range (Overran() then tells): where the
// next chunk starts can't be known then.
class ChunkWalk {
 public:
  // Chunks tagged `unpadded_id`, when given, are followed by no pad byte.
  ChunkWalk(FileWindow& file, ByteRange range, std::optional<FourCc> unpadded_id = std::nullopt)
      : file_(&file), range_(range), unpadded_id_(unpadded_id) {}

  const ByteRange& Range() const { return range_; }
  bool Overran() const { return overran_; }

  // A "RIFF" or "LIST" chunk of this walk: its type and the walk of its
  // contents, clamped to this walk's range. Nullopt when the contents can't
  // hold a type, or the list lies too deep within others to be a real one.
  std::optional<RiffList> OpenList(const RiffChunk& list) const;

  class Iterator {
   public:
    explicit Iterator(ChunkWalk& walk) : walk_(&walk) {}
    const RiffChunk& operator*() const { return *walk_->chunk_; }
    Iterator& operator++() {
      walk_->Advance();
      return *this;
    }
    bool operator==(std::default_sentinel_t /*end*/) const { return !walk_->chunk_; }

   private:
    ChunkWalk* walk_;
  };

  // Starts the walk; a walk is gone through once. A range-for loop needs
  // these two names.
  Iterator begin();                                   // NOLINT(readability-identifier-naming)
  std::default_sentinel_t end() const { return {}; }  // NOLINT(readability-identifier-naming)

 private:
  void ReadChunkAt(std::uint64_t offset);
  void Advance();

  FileWindow* file_;
  ByteRange range_;
  std::optional<FourCc> unpadded_id_;
  int depth_ = 0;  // lists opened to reach the range
  std::optional<RiffChunk> chunk_;
  bool overran_ = false;
};

struct RiffList {
  FourCc type{};
  ChunkWalk chunks;
};

// Calls `visit` with the walk of each list of `type` among the chunks of
// `walk`, in order, for as long as it returns true. False when `visit` asked
// to stop or a "LIST" chunk can't be opened, since where the rest lies is
// then unknown.
template <typename Visit>
bool VisitLists(ChunkWalk& walk, const FourCc& type, Visit visit) {
  for (const RiffChunk& chunk : walk) {
    if (!chunk.Is("LIST")) {
      continue;
    }
    const std::optional<RiffList> list = walk.OpenList(chunk);
    if (!list || (list->type == type && !visit(list->chunks))) {
      return false;
    }
  }
  return true;
}
