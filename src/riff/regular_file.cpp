#include "riff/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

std::FILE* OpenRegularFileForReading(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer before the
  // type could be checked. A regular file's reads ignore the flag.
  const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) {
    return nullptr;
  }
  struct stat status {};
  if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(file);
    return nullptr;
  }
  std::FILE* stream = ::fdopen(file, "rb");
  if (stream == nullptr) {
    ::close(file);
  }
  return stream;
}

std::uint64_t RegularFileSize(std::FILE* file) {
  struct stat status {};
  if (::fstat(::fileno(file), &status) != 0 || status.st_size < 0) {
    return 0;
  }
  return static_cast<std::uint64_t>(status.st_size);
}

std::size_t ReadBytesAt(std::FILE* file, std::uint64_t offset, std::uint8_t* out,
                        std::size_t count) {
  std::size_t got = 0;
  while (got < count && offset + got <= static_cast<std::uint64_t>(INT64_MAX)) {
    const ssize_t read =
        ::pread(::fileno(file), out + got, count - got, static_cast<off_t>(offset + got));
    if (read < 0 && errno == EINTR) {
      continue;
    }
    if (read <= 0) {
      break;
    }
    got += static_cast<std::size_t>(read);
  }
  return got;
}
