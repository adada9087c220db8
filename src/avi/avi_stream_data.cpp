#include "avi/avi_stream_data.h"

namespace {

// A chunk cut short by the end of the file keeps the bytes that are there;
// one that reaches past its list has a wrong size and is dropped.
std::uint64_t HeldContents(const RiffChunk& chunk, const ByteRange& list, std::uint64_t file_size) {
  if (chunk.End() <= list.end) {
    return chunk.size;
  }
  return list.end == file_size ? list.end - chunk.Contents() : 0;
}

// The wanted chunks of a "movi" list and of the lists within it. False when
// the walk must end: a malformed chunk, or the visitor is done.
bool VisitDataList(ChunkWalk list, const FourCc& wanted, std::uint64_t file_size,
                   const DataChunkVisitor& visit) {
  for (const RiffChunk& chunk : list) {
    if (chunk.Is("LIST")) {
      const std::optional<RiffList> inner = list.OpenList(chunk);
      if (!inner || !VisitDataList(inner->chunks, wanted, file_size, visit)) {
        return false;
      }
    } else if (chunk.id == wanted) {
      if (!visit(chunk.Contents(), HeldContents(chunk, list.Range(), file_size))) {
        return false;
      }
    }
  }
  return !list.Overran();
}

// The "movi" lists of one RIFF part.
bool VisitMoviLists(ChunkWalk part, const FourCc& wanted, std::uint64_t file_size,
                    const DataChunkVisitor& visit) {
  return VisitLists(part, ToFourCc("movi"),
                    [&](const ChunkWalk& movi) {
                      return VisitDataList(movi, wanted, file_size, visit);
                    }) &&
         !part.Overran();
}

// Audio data chunks are "NNwb", NN the stream's number in two digits.
FourCc AudioChunkId(std::uint32_t stream_index) {
  return {static_cast<char>('0' + stream_index / 10), static_cast<char>('0' + stream_index % 10),
          'w', 'b'};
}

}  // namespace

std::optional<ChunkWalk> OpenAviPart(const ChunkWalk& parts, const RiffChunk& chunk, bool first) {
  if (!chunk.Is("RIFF")) {
    return std::nullopt;
  }
  std::optional<RiffList> part = parts.OpenList(chunk);
  if (!part || part->type != ToFourCc(first ? "AVI " : "AVIX")) {
    return std::nullopt;
  }
  return part->chunks;
}

void VisitStreamData(FileWindow& file, std::uint32_t stream_index, const DataChunkVisitor& visit) {
  const FourCc wanted = AudioChunkId(stream_index);
  ChunkWalk parts(file, {0, file.Size()});
  bool first = true;
  for (const RiffChunk& chunk : parts) {
    const std::optional<ChunkWalk> part = OpenAviPart(parts, chunk, first);
    if (!part || !VisitMoviLists(*part, wanted, file.Size(), visit)) {
      return;
    }
    first = false;
  }
}
