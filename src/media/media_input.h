#pragma once

#include <memory>
#include <string>

#include "riff/regular_file.h"

struct AVFormatContext;
struct AVIOContext;

struct FormatContextCloser {
  void operator()(AVFormatContext* context) const;
};
struct IoContextCloser {
  void operator()(AVIOContext* context) const;
};

// A regular file opened by FFmpeg's demuxers through reads of our own: a FIFO
// or device is refused before FFmpeg sees it, and no demuxer may open another
// file or address the media names (playlists, references).
class MediaInput {
 public:
  // Null unless `path` is a regular file some demuxer recognises.
  static std::unique_ptr<MediaInput> Open(const std::string& path);

  AVFormatContext& Format() const { return *format_; }
  // True once a read has reached the end of the file.
  bool ReachedEnd() const;

 private:
  explicit MediaInput(OwnedFile file) : file_(std::move(file)) {}
  static int Read(void* opaque, std::uint8_t* out, int count);
  static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

  OwnedFile file_;
  std::uint64_t size_ = 0;
  std::uint64_t position_ = 0;
  // Destroyed before the file, the demuxer before the reads it uses.
  std::unique_ptr<AVIOContext, IoContextCloser> io_;
  std::unique_ptr<AVFormatContext, FormatContextCloser> format_;
};
