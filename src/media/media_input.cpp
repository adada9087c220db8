#include "media/media_input.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

namespace {

constexpr int kReadBlockBytes = 64 * 1024;
// No protocol has this name.
constexpr const char* kNoProtocol = "none";

}  // namespace

void FormatContextCloser::operator()(AVFormatContext* context) const {
  avformat_close_input(&context);
}

void IoContextCloser::operator()(AVIOContext* context) const {
  if (context != nullptr) {
    av_freep(static_cast<void*>(&context->buffer));
  }
  avio_context_free(&context);
}

int MediaInput::Read(void* opaque, std::uint8_t* out, int count) {
  auto& input = *static_cast<MediaInput*>(opaque);
  const std::size_t got =
      ReadBytesAt(input.file_.get(), input.position_, out, static_cast<std::size_t>(count));
  input.position_ += got;
  return got == 0 ? AVERROR_EOF : static_cast<int>(got);
}

std::int64_t MediaInput::Seek(void* opaque, std::int64_t offset, int whence) {
  auto& input = *static_cast<MediaInput*>(opaque);
  const auto size = static_cast<std::int64_t>(input.size_);
  const int origin = whence & ~AVSEEK_FORCE;
  if (origin == AVSEEK_SIZE) {
    return size;
  }
  const std::int64_t base = origin == SEEK_CUR   ? static_cast<std::int64_t>(input.position_)
                            : origin == SEEK_END ? size
                                                 : 0;
  if (origin != SEEK_SET && origin != SEEK_CUR && origin != SEEK_END) {
    return AVERROR(EINVAL);
  }
  if (offset < -base || offset > INT64_MAX - base) {
    return AVERROR(EINVAL);
  }
  input.position_ = static_cast<std::uint64_t>(base + offset);
  return base + offset;
}

bool MediaInput::ReachedEnd() const { return io_->eof_reached != 0; }

std::unique_ptr<MediaInput> MediaInput::Open(const std::string& path) {
  // What goes wrong is told in the program's own logs.
  av_log_set_level(AV_LOG_QUIET);
  OwnedFile file(OpenRegularFileForReading(path));
  if (!file) {
    return nullptr;
  }
  std::unique_ptr<MediaInput> input(new MediaInput(std::move(file)));
  input->size_ = RegularFileSize(input->file_.get());
  auto* buffer = static_cast<unsigned char*>(av_malloc(kReadBlockBytes));
  if (buffer == nullptr) {
    return nullptr;
  }
  input->io_.reset(avio_alloc_context(buffer, kReadBlockBytes, 0, input.get(), &MediaInput::Read,
                                      nullptr, &MediaInput::Seek));
  AVFormatContext* format = avformat_alloc_context();
  if (!input->io_ || format == nullptr) {
    if (!input->io_) {
      av_free(buffer);
    }
    avformat_free_context(format);
    return nullptr;
  }
  format->pb = input->io_.get();
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  // Playlists and reference lists name other files or addresses; a clip is
  // one file, so no protocol is allowed for opening them.
  format->protocol_whitelist = av_strdup(kNoProtocol);
  // On failure the context is freed by the call.
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
    return nullptr;
  }
  input->format_.reset(format);
  if (avformat_find_stream_info(format, nullptr) < 0) {
    return nullptr;
  }
  return input;
}
