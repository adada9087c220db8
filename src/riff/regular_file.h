#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file for binary reading only when it is a regular file: a FIFO or a
// device named as a clip would block the open or never end. Null otherwise.
std::FILE* OpenRegularFileForReading(const std::string& path);

// Bytes in the file, or 0 when its size can't be told.
std::uint64_t RegularFileSize(std::FILE* file);

// Reads up to `count` bytes at `offset` with one positioned read (no seek,
// no stream buffer); returns how many the file had there.
std::size_t ReadBytesAt(std::FILE* file, std::uint64_t offset, std::uint8_t* out,
                        std::size_t count);
