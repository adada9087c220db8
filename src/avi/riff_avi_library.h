#pragma once

#include <memory>
#include <vector>

#include "avi/avi_library.h"

struct RiffAviFile;
struct RiffAviStream;

// The AVI library of this program: reads the file itself with the RIFF walk
// of riff_avi_reader.h. A stream's samples are its format's blocks (strh
// dwSampleSize, else the format's block align, else bytes); a read that takes
// everything delivers all of the stream's data bytes.
class RiffAviLibrary final : public AviLibrary {
 public:
  RiffAviLibrary();
  ~RiffAviLibrary() override;
  RiffAviLibrary(const RiffAviLibrary&) = delete;
  RiffAviLibrary& operator=(const RiffAviLibrary&) = delete;

  void FileInit() override;
  int FileOpen(AviFile** file, const std::string& path) override;
  int FileGetStream(AviFile* file, AviStream** stream, std::uint32_t stream_type,
                    std::int32_t occurrence) override;
  int StreamInfo(AviStream* stream, AviStreamInfo& info) override;
  std::int32_t StreamStart(AviStream* stream) override;
  int StreamReadFormat(AviStream* stream, std::int32_t position, void* format,
                       std::int32_t* format_size) override;
  std::int32_t StreamLength(AviStream* stream) override;
  int StreamRead(AviStream* stream, std::int32_t start, std::int32_t sample_count, void* buffer,
                 std::int32_t buffer_size, std::int32_t* bytes_read,
                 std::int32_t* samples_read) override;
  void StreamRelease(AviStream* stream) override;
  void FileRelease(AviFile* file) override;
  void FileExit() override;

 private:
  RiffAviStream* FindStream(AviStream* stream) const;

  // A stream keeps its file open until both are released.
  std::vector<std::shared_ptr<RiffAviFile>> files_;
  std::vector<std::unique_ptr<RiffAviStream>> streams_;
};
