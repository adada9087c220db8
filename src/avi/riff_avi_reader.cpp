#include "avi/riff_avi_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "riff/little_endian.h"

namespace {

using FourCc = std::array<char, 4>;

constexpr std::uint64_t kChunkHeaderBytes = 8;
constexpr std::uint64_t kListTypeBytes = 4;
// "rec " lists sit one level inside "movi"; anything much deeper is not a
// real file, and the limit bounds the recursion.
constexpr int kMaxListDepth = 8;
// Chunk ids carry the stream number in two decimal digits.
constexpr std::uint32_t kMaxStreams = 100;

// strh fields: fccType, then dwStart, dwLength and dwSampleSize.
constexpr std::size_t kStreamHeaderBytesUsed = 48;
constexpr std::size_t kStrhTypeOffset = 0;
constexpr std::size_t kStrhStartOffset = 28;
constexpr std::size_t kStrhLengthOffset = 32;
constexpr std::size_t kStrhSampleSizeOffset = 44;

struct Chunk {
  FourCc id{};
  std::uint32_t size = 0;
  std::uint64_t data = 0;  // offset of its contents
};

bool ReadAt(AviSource& source, std::uint64_t offset, void* out, std::uint64_t count) {
  return source.ReadAll(offset, static_cast<std::uint8_t*>(out), count);
}

bool Is(const FourCc& id, const char (&tag)[5]) { return std::memcmp(id.data(), tag, 4) == 0; }

// The chunk header at `at`, when all of it lies before `limit`.
bool ReadChunk(AviSource& source, std::uint64_t at, std::uint64_t limit, Chunk& chunk) {
  if (at > limit || limit - at < kChunkHeaderBytes) {
    return false;
  }
  std::array<std::uint8_t, kChunkHeaderBytes> header{};
  if (!ReadAt(source, at, header.data(), header.size())) {
    return false;
  }
  std::memcpy(chunk.id.data(), header.data(), chunk.id.size());
  chunk.size = LoadU32Le(header.data() + 4);
  chunk.data = at + kChunkHeaderBytes;
  return true;
}

std::uint64_t ChunkEnd(const Chunk& chunk) { return chunk.data + chunk.size; }

// Contents are padded to an even length.
std::uint64_t NextChunk(const Chunk& chunk) { return ChunkEnd(chunk) + (chunk.size & 1U); }

bool Overruns(const Chunk& chunk, std::uint64_t limit) { return ChunkEnd(chunk) > limit; }

// Type and contents of a "LIST" or "RIFF" chunk, the contents clamped to
// `limit` (files cut short keep their list sizes). False when too short.
bool OpenList(AviSource& source, const Chunk& chunk, std::uint64_t limit, FourCc& type,
              RiffRange& contents) {
  if (chunk.size < kListTypeBytes || limit - chunk.data < kListTypeBytes) {
    return false;
  }
  if (!ReadAt(source, chunk.data, type.data(), type.size())) {
    return false;
  }
  contents.begin = chunk.data + kListTypeBytes;
  contents.end = std::min(ChunkEnd(chunk), limit);
  return true;
}

// Calls visit(offset, size) for each wanted chunk in the range and in lists
// within it. False when the walk must end: a malformed chunk, or the visitor
// is done.
template <typename Visit>
bool WalkDataList(AviSource& source, const RiffRange& range, const FourCc& wanted, int depth,
                  Visit& visit) {
  std::uint64_t at = range.begin;
  Chunk chunk;
  while (ReadChunk(source, at, range.end, chunk)) {
    if (Is(chunk.id, "LIST")) {
      FourCc type;
      RiffRange inner;
      if (depth >= kMaxListDepth || !OpenList(source, chunk, range.end, type, inner) ||
          !WalkDataList(source, inner, wanted, depth + 1, visit)) {
        return false;
      }
    } else if (chunk.id == wanted) {
      // A chunk cut short by the end of the file keeps the bytes that are
      // there; one that overruns its list has a wrong size and is dropped.
      const bool cut_by_file_end = Overruns(chunk, range.end) && range.end == source.Size();
      const std::uint64_t available = cut_by_file_end              ? range.end - chunk.data
                                      : Overruns(chunk, range.end) ? 0
                                                                   : chunk.size;
      if (available > 0 && !visit(chunk.data, available)) {
        return false;
      }
    }
    if (Overruns(chunk, range.end)) {
      return false;
    }
    at = NextChunk(chunk);
  }
  return true;
}

// The "movi" lists of one RIFF part.
template <typename Visit>
bool WalkPart(AviSource& source, const RiffRange& part, const FourCc& wanted, Visit& visit) {
  std::uint64_t at = part.begin;
  Chunk chunk;
  while (ReadChunk(source, at, part.end, chunk)) {
    if (Is(chunk.id, "LIST")) {
      FourCc type;
      RiffRange inner;
      if (!OpenList(source, chunk, part.end, type, inner)) {
        return false;
      }
      if (Is(type, "movi") && !WalkDataList(source, inner, wanted, 1, visit)) {
        return false;
      }
    }
    if (Overruns(chunk, part.end)) {
      return false;
    }
    at = NextChunk(chunk);
  }
  return true;
}

// The "AVI " part, then the "AVIX" parts of an OpenDML file.
template <typename Visit>
void WalkTrackData(AviSource& source, std::uint32_t stream_index, Visit visit) {
  const FourCc wanted = {static_cast<char>('0' + stream_index / 10),
                         static_cast<char>('0' + stream_index % 10), 'w', 'b'};
  std::uint64_t at = 0;
  for (bool first = true;; first = false) {
    Chunk riff;
    FourCc form;
    RiffRange part;
    if (!ReadChunk(source, at, source.Size(), riff) || !Is(riff.id, "RIFF") ||
        !OpenList(source, riff, source.Size(), form, part) || !Is(form, first ? "AVI " : "AVIX") ||
        !WalkPart(source, part, wanted, visit)) {
      return;
    }
    at = NextChunk(riff);
  }
}

struct StreamHeaders {
  std::array<std::uint8_t, kStreamHeaderBytesUsed> strh{};  // zero where the chunk is shorter
  bool has_strh = false;
  bool has_strf = false;
  Chunk strf;
};

// First "strh" and first "strf" of a "strl" list; false when malformed.
bool ReadStreamHeaders(AviSource& source, const RiffRange& strl, StreamHeaders& headers) {
  std::uint64_t at = strl.begin;
  Chunk chunk;
  while (ReadChunk(source, at, strl.end, chunk)) {
    if (Overruns(chunk, strl.end)) {
      return false;
    }
    if (Is(chunk.id, "strh") && !headers.has_strh) {
      const std::uint64_t count = std::min<std::uint64_t>(chunk.size, headers.strh.size());
      if (!ReadAt(source, chunk.data, headers.strh.data(), count)) {
        return false;
      }
      headers.has_strh = true;
    } else if (Is(chunk.id, "strf") && !headers.has_strf) {
      headers.strf = chunk;
      headers.has_strf = true;
    }
    at = NextChunk(chunk);
  }
  return true;
}

bool IsAudio(const StreamHeaders& headers) {
  return headers.has_strh &&
         std::memcmp(headers.strh.data() + kStrhTypeOffset, "auds", kListTypeBytes) == 0;
}

bool TakeTrack(AviSource& source, std::uint32_t stream_index, const StreamHeaders& headers,
               AviAudioTrack& track) {
  track = AviAudioTrack{};
  track.stream_index = stream_index;
  if (headers.has_strf) {
    // The chunk lies inside the file, so its size is bounded by the file's.
    track.format.resize(headers.strf.size);
    if (!ReadAt(source, headers.strf.data, track.format.data(), track.format.size())) {
      return false;
    }
  }
  track.start = LoadU32Le(headers.strh.data() + kStrhStartOffset);
  track.length = LoadU32Le(headers.strh.data() + kStrhLengthOffset);
  track.sample_size = LoadU32Le(headers.strh.data() + kStrhSampleSizeOffset);
  WalkTrackData(source, stream_index, [&track](std::uint64_t, std::uint64_t size) {
    track.data_bytes += size;
    return true;
  });
  return true;
}

}  // namespace

bool FindAviHeaderList(AviSource& source, RiffRange& header_list) {
  Chunk riff;
  FourCc form;
  RiffRange part;
  if (!ReadChunk(source, 0, source.Size(), riff) || !Is(riff.id, "RIFF") ||
      !OpenList(source, riff, source.Size(), form, part) || !Is(form, "AVI ")) {
    return false;
  }
  std::uint64_t at = part.begin;
  Chunk chunk;
  while (ReadChunk(source, at, part.end, chunk)) {
    if (Is(chunk.id, "LIST")) {
      FourCc type;
      RiffRange inner;
      if (!OpenList(source, chunk, part.end, type, inner)) {
        return false;
      }
      if (Is(type, "hdrl")) {
        header_list = inner;
        return true;
      }
    }
    if (Overruns(chunk, part.end)) {
      return false;
    }
    at = NextChunk(chunk);
  }
  return false;
}

bool FindAviAudioTrack(AviSource& source, const RiffRange& header_list, std::uint32_t occurrence,
                       AviAudioTrack& track) {
  std::uint32_t stream_index = 0;
  std::uint32_t audio_seen = 0;
  std::uint64_t at = header_list.begin;
  Chunk chunk;
  while (ReadChunk(source, at, header_list.end, chunk)) {
    if (Is(chunk.id, "LIST")) {
      FourCc type;
      RiffRange inner;
      if (!OpenList(source, chunk, header_list.end, type, inner)) {
        return false;
      }
      if (Is(type, "strl")) {
        StreamHeaders headers;
        if (stream_index >= kMaxStreams || !ReadStreamHeaders(source, inner, headers)) {
          return false;
        }
        if (IsAudio(headers)) {
          if (audio_seen == occurrence) {
            return TakeTrack(source, stream_index, headers, track);
          }
          ++audio_seen;
        }
        ++stream_index;
      }
    }
    if (Overruns(chunk, header_list.end)) {
      return false;
    }
    at = NextChunk(chunk);
  }
  return false;
}

std::uint64_t ReadAviTrackBytes(AviSource& source, std::uint32_t stream_index, std::uint64_t offset,
                                std::uint8_t* out, std::uint64_t size) {
  std::uint64_t position = 0;
  std::uint64_t copied = 0;
  if (size == 0) {
    return 0;
  }
  WalkTrackData(source, stream_index, [&](std::uint64_t data, std::uint64_t available) {
    const std::uint64_t chunk_begin = position;
    position += available;
    if (position <= offset) {
      return true;
    }
    const std::uint64_t skip = offset > chunk_begin ? offset - chunk_begin : 0;
    const std::uint64_t count = std::min(available - skip, size - copied);
    if (!ReadAt(source, data + skip, out + copied, count)) {
      return false;
    }
    copied += count;
    return copied < size;
  });
  return copied;
}
