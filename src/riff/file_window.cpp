#include "riff/file_window.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "riff/regular_file.h"

namespace {

constexpr std::uint64_t kWindowBytes = std::uint64_t{64} * 1024;

}  // namespace

FileWindow::FileWindow(std::FILE* file)
    : file_(file), size_(file != nullptr ? RegularFileSize(file) : 0) {
  bytes_.resize(std::min(size_, kWindowBytes));
}

FileWindow::FileWindow(std::vector<std::uint8_t> bytes)
    : size_(bytes.size()), bytes_(std::move(bytes)), held_(size_) {}

std::size_t FileWindow::Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
  if (offset >= size_ || count == 0) {
    return 0;
  }
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset));
  if (offset < start_ || offset + wanted > start_ + held_) {
    // Reads larger than half the window (sample data) go past it.
    if (wanted > bytes_.size() / 2) {
      return ReadBytesAt(file_, offset, out, wanted);
    }
    start_ = offset;
    held_ = ReadBytesAt(
        file_, offset, bytes_.data(),
        static_cast<std::size_t>(std::min<std::uint64_t>(bytes_.size(), size_ - offset)));
  }
  // Fewer bytes than the size promised: the file shrank meanwhile.
  if (start_ + held_ <= offset) {
    return 0;
  }
  const auto copied =
      static_cast<std::size_t>(std::min<std::uint64_t>(wanted, start_ + held_ - offset));
  std::memcpy(out, bytes_.data() + (offset - start_), copied);
  return copied;
}
