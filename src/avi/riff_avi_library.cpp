#include "avi/riff_avi_library.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "avi/riff_avi_reader.h"
#include "avi/wave_format_record.h"
#include "riff/little_endian.h"
#include "riff/regular_file.h"

namespace {

constexpr std::uint64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

std::int32_t ClampToCount(std::uint64_t value) {
  return static_cast<std::int32_t>(std::min(value, kMaxCount));
}

}  // namespace

struct RiffAviFile : AviFile {
  OwnedFile handle;
  AviSource source;
  RiffRange header_list;
};

struct RiffAviStream : AviStream {
  std::shared_ptr<RiffAviFile> file;
  AviAudioTrack track;
};

namespace {

std::uint64_t SampleSize(const AviAudioTrack& track) {
  if (track.sample_size != 0) {
    return track.sample_size;
  }
  if (track.format.size() >= kFormatBlockAlignOffset + 2) {
    const auto block_align =
        static_cast<std::uint64_t>(LoadU16Le(track.format.data() + kFormatBlockAlignOffset));
    if (block_align != 0) {
      return block_align;
    }
  }
  return 1;
}

}  // namespace

RiffAviLibrary::RiffAviLibrary() = default;
RiffAviLibrary::~RiffAviLibrary() = default;

// Nothing to set up or tear down: all state lives in the handles.
void RiffAviLibrary::FileInit() {}
void RiffAviLibrary::FileExit() {}

int RiffAviLibrary::FileOpen(AviFile** file, const std::string& path) {
  if (file == nullptr) {
    return kAviErrorBadArgument;
  }
  *file = nullptr;
  auto opened = std::make_shared<RiffAviFile>();
  opened->handle.reset(OpenRegularFileForReading(path));
  opened->source = FileWindow(opened->handle.get());
  if (opened->handle == nullptr || !FindAviHeaderList(opened->source, opened->header_list)) {
    return kAviErrorFileOpen;
  }
  files_.push_back(opened);
  *file = opened.get();
  return kAviOk;
}

int RiffAviLibrary::FileGetStream(AviFile* file, AviStream** stream, std::uint32_t stream_type,
                                  std::int32_t occurrence) {
  if (stream == nullptr) {
    return kAviErrorBadArgument;
  }
  *stream = nullptr;
  const auto found = std::find_if(files_.begin(), files_.end(),
                                  [file](const auto& held) { return held.get() == file; });
  if (found == files_.end()) {
    return kAviErrorBadHandle;
  }
  // Only audio is ever asked for, so only audio is looked up.
  if (stream_type != kStreamTypeAudio || occurrence < 0) {
    return kAviErrorNoStream;
  }
  auto taken = std::make_unique<RiffAviStream>();
  taken->file = *found;
  if (!FindAviAudioTrack(taken->file->source, taken->file->header_list,
                         static_cast<std::uint32_t>(occurrence), taken->track)) {
    return kAviErrorNoStream;
  }
  *stream = taken.get();
  streams_.push_back(std::move(taken));
  return kAviOk;
}

RiffAviStream* RiffAviLibrary::FindStream(AviStream* stream) const {
  const auto found = std::find_if(streams_.begin(), streams_.end(),
                                  [stream](const auto& held) { return held.get() == stream; });
  return found == streams_.end() ? nullptr : found->get();
}

int RiffAviLibrary::StreamInfo(AviStream* stream, AviStreamInfo& info) {
  if (FindStream(stream) == nullptr) {
    return kAviErrorBadHandle;
  }
  info = AviStreamInfo{};
  return kAviOk;
}

std::int32_t RiffAviLibrary::StreamStart(AviStream* stream) {
  const RiffAviStream* held = FindStream(stream);
  return held == nullptr ? 0 : ClampToCount(held->track.start);
}

// An audio stream has one format for all its samples, so `position` does not
// matter.
int RiffAviLibrary::StreamReadFormat(AviStream* stream, std::int32_t /*position*/, void* format,
                                     std::int32_t* format_size) {
  const RiffAviStream* held = FindStream(stream);
  if (held == nullptr) {
    return kAviErrorBadHandle;
  }
  if (format_size == nullptr || (format != nullptr && *format_size < 0)) {
    return kAviErrorBadArgument;
  }
  const std::vector<std::uint8_t>& record = held->track.format;
  if (record.size() > kMaxCount) {
    return kAviErrorTooLarge;
  }
  if (format == nullptr) {
    *format_size = static_cast<std::int32_t>(record.size());
    return kAviOk;
  }
  const std::size_t count = std::min(record.size(), static_cast<std::size_t>(*format_size));
  std::copy_n(record.begin(), count, static_cast<std::uint8_t*>(format));
  *format_size = static_cast<std::int32_t>(count);
  return kAviOk;
}

// strh dwLength, or the data's own length where the header leaves it at 0.
std::int32_t RiffAviLibrary::StreamLength(AviStream* stream) {
  const RiffAviStream* held = FindStream(stream);
  if (held == nullptr) {
    return 0;
  }
  const AviAudioTrack& track = held->track;
  return ClampToCount(track.length != 0 ? track.length : track.data_bytes / SampleSize(track));
}

int RiffAviLibrary::StreamRead(AviStream* stream, std::int32_t start, std::int32_t sample_count,
                               void* buffer, std::int32_t buffer_size, std::int32_t* bytes_read,
                               std::int32_t* samples_read) {
  const RiffAviStream* held = FindStream(stream);
  if (held == nullptr) {
    return kAviErrorBadHandle;
  }
  const AviAudioTrack& track = held->track;
  const std::uint64_t sample_size = SampleSize(track);
  if (start < 0 || sample_count < kAviStreamReadConvenient || buffer_size < 0 ||
      static_cast<std::uint64_t>(start) * sample_size > track.data_bytes) {
    return kAviErrorBadArgument;
  }
  const std::uint64_t first = static_cast<std::uint64_t>(start) * sample_size;
  std::uint64_t count = track.data_bytes - first;
  if (sample_count != kAviStreamReadConvenient) {
    count = std::min(count, static_cast<std::uint64_t>(sample_count) * sample_size);
  }
  if (buffer != nullptr) {
    count = std::min(count, static_cast<std::uint64_t>(buffer_size));
  }
  // The counts are signed 32-bit: a larger stream can't be reported.
  if (count > kMaxCount) {
    return kAviErrorTooLarge;
  }
  const std::uint64_t delivered =
      buffer == nullptr ? count
                        : ReadAviTrackBytes(held->file->source, track.stream_index, first,
                                            static_cast<std::uint8_t*>(buffer), count);
  if (bytes_read != nullptr) {
    *bytes_read = static_cast<std::int32_t>(delivered);
  }
  if (samples_read != nullptr) {
    *samples_read = static_cast<std::int32_t>(delivered / sample_size);
  }
  return delivered == count ? kAviOk : kAviErrorFileRead;
}

void RiffAviLibrary::StreamRelease(AviStream* stream) {
  std::erase_if(streams_, [stream](const auto& held) { return held.get() == stream; });
}

void RiffAviLibrary::FileRelease(AviFile* file) {
  std::erase_if(files_, [file](const auto& held) { return held.get() == file; });
}
