#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// Reads of a regular file through a window of it kept in memory. Walking
// chunk headers reads eight bytes at a time; through the window most of those
// reads are copies, and a file smaller than the window is read only once.
class FileWindow {
 public:
  FileWindow() = default;
  // Reads `file` (not owned) as it is now: `Size()` bytes.
  explicit FileWindow(std::FILE* file);
  // Reads of bytes already in memory, such as the start of a stream.
  explicit FileWindow(std::vector<std::uint8_t> bytes);

  std::uint64_t Size() const { return size_; }

  // Copies up to `count` bytes at `offset`; returns how many the file has
  // there.
  std::size_t Read(std::uint64_t offset, std::uint8_t* out, std::size_t count);
  // True when all `count` bytes were there.
  bool ReadAll(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
    return Read(offset, out, count) == count;
  }

 private:
  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;
  std::vector<std::uint8_t> bytes_;  // the window, from offset start_
  std::uint64_t start_ = 0;
  std::uint64_t held_ = 0;
};
