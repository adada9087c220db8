#include "engine/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* OpenRegularFileForReading(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer before the
  // type could be checked.
  const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) {
    return nullptr;
  }
  struct stat status {};
  if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode) ||
      ::fcntl(file, F_SETFL, O_RDONLY) != 0) {
    ::close(file);
    return nullptr;
  }
  std::FILE* stream = ::fdopen(file, "rb");
  if (stream == nullptr) {
    ::close(file);
  }
  return stream;
}
