#include "avi/avi_reader.h"

#include <algorithm>
#include <array>

#include "avi/avi_stream_data.h"
#include "avi/wave_format_record.h"
#include "riff/little_endian.h"

namespace {

// Chunk ids carry the stream number in two decimal digits.
constexpr std::uint32_t kMaxStreams = 100;

// strh fields: fccType, then dwStart, dwLength and dwSampleSize.
constexpr FourCc kAudioType = ToFourCc("auds");
constexpr std::size_t kStreamHeaderBytesUsed = 48;
constexpr std::size_t kStrhStartOffset = 28;
constexpr std::size_t kStrhLengthOffset = 32;
constexpr std::size_t kStrhSampleSizeOffset = 44;

struct StreamHeaders {
  std::array<std::uint8_t, kStreamHeaderBytesUsed> strh{};  // zero where the chunk is shorter
  bool has_strh = false;
  std::optional<RiffChunk> strf;

  bool IsAudio() const {
    return has_strh && std::equal(kAudioType.begin(), kAudioType.end(), strh.begin());
  }
};

// The header list of the file's first part, when that is a "RIFF"/"AVI " part.
std::optional<ByteRange> FindHeaderList(FileWindow& file) {
  ChunkWalk parts(file, {0, file.Size()});
  const auto first = parts.begin();
  const std::optional<ChunkWalk> part =
      first == parts.end() ? std::nullopt : OpenAviPart(parts, *first, true);
  if (!part) {
    return std::nullopt;
  }
  std::optional<ByteRange> header_list;
  ChunkWalk chunks = *part;
  VisitLists(chunks, ToFourCc("hdrl"), [&header_list](const ChunkWalk& hdrl) {
    header_list = hdrl.Range();
    return false;
  });
  return header_list;
}

// The first "strh" and the first "strf" of a "strl" list; nullopt when any
// chunk reaches past the list.
std::optional<StreamHeaders> ReadStreamHeaders(FileWindow& file, ChunkWalk strl) {
  StreamHeaders headers;
  for (const RiffChunk& chunk : strl) {
    if (chunk.End() > strl.Range().end) {
      return std::nullopt;
    }
    if (chunk.Is("strh") && !headers.has_strh) {
      const std::size_t count = std::min<std::size_t>(chunk.size, headers.strh.size());
      if (!file.ReadAll(chunk.Contents(), headers.strh.data(), count)) {
        return std::nullopt;
      }
      headers.has_strh = true;
    } else if (chunk.Is("strf") && !headers.strf) {
      headers.strf = chunk;
    }
  }
  return headers;
}

std::optional<AviAudioStream> TakeStream(FileWindow& file, std::uint32_t stream_index,
                                         const StreamHeaders& headers) {
  AviAudioStream stream;
  stream.stream_index = stream_index;
  if (headers.strf) {
    // The chunk lies inside its list, so within the file.
    stream.format.resize(headers.strf->size);
    if (!file.ReadAll(headers.strf->Contents(), stream.format.data(), stream.format.size())) {
      return std::nullopt;
    }
  }
  stream.start = LoadU32Le(headers.strh.data() + kStrhStartOffset);
  stream.length = LoadU32Le(headers.strh.data() + kStrhLengthOffset);
  stream.sample_size = LoadU32Le(headers.strh.data() + kStrhSampleSizeOffset);
  VisitStreamData(file, stream_index, [&stream](std::uint64_t /*contents*/, std::uint64_t size) {
    stream.data_bytes += size;
    return true;
  });
  return stream;
}

}  // namespace

std::uint64_t AviAudioStream::SampleBytes() const {
  if (sample_size != 0) {
    return sample_size;
  }
  if (format.size() >= kFormatBlockAlignOffset + 2) {
    const std::uint16_t block_align = LoadU16Le(format.data() + kFormatBlockAlignOffset);
    if (block_align != 0) {
      return block_align;
    }
  }
  return 1;
}

std::uint64_t AviAudioStream::LengthInSamples() const {
  return length != 0 ? length : data_bytes / SampleBytes();
}

AviReader::AviReader(OwnedFile file, FileWindow window, ByteRange header_list)
    : file_(std::move(file)), window_(std::move(window)), header_list_(header_list) {}

std::optional<AviReader> AviReader::Open(const std::string& path) {
  OwnedFile file(OpenRegularFileForReading(path));
  if (file == nullptr) {
    return std::nullopt;
  }
  FileWindow window(file.get());
  const std::optional<ByteRange> header_list = FindHeaderList(window);
  if (!header_list) {
    return std::nullopt;
  }
  return AviReader(std::move(file), std::move(window), *header_list);
}

std::optional<AviAudioStream> AviReader::FindAudioStream(std::uint32_t occurrence) {
  std::uint32_t stream_index = 0;
  std::uint32_t audio_seen = 0;
  std::optional<AviAudioStream> found;
  ChunkWalk header_list(window_, header_list_);
  VisitLists(header_list, ToFourCc("strl"), [&](const ChunkWalk& strl) {
    const std::optional<StreamHeaders> headers =
        stream_index < kMaxStreams ? ReadStreamHeaders(window_, strl) : std::nullopt;
    if (!headers) {
      return false;
    }
    if (headers->IsAudio() && audio_seen++ == occurrence) {
      found = TakeStream(window_, stream_index, *headers);
      return false;
    }
    ++stream_index;
    return true;
  });
  return found;
}

std::size_t AviReader::ReadData(const AviAudioStream& stream, std::span<std::uint8_t> out) {
  std::size_t copied = 0;
  if (out.empty()) {
    return 0;
  }
  VisitStreamData(window_, stream.stream_index, [&](std::uint64_t contents, std::uint64_t size) {
    const std::size_t count = std::min<std::uint64_t>(size, out.size() - copied);
    // Fewer bytes than the walk found only when the file shrank meanwhile.
    const std::size_t got = window_.Read(contents, out.data() + copied, count);
    copied += got;
    return got == count && copied < out.size();
  });
  return copied;
}
