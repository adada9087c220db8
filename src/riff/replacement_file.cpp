#include "riff/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

constexpr int kNameTries = 100;

// A name no other writer uses: the process id and a counter, made with
// O_EXCL so that an existing file, link or FIFO of that name is never opened.
int CreateFresh(const std::string& path, std::string& part_path) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    part_path = path + ".part" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int file =
        ::open(part_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file >= 0 || errno != EEXIST) {
      return file;
    }
  }
  return -1;
}

}  // namespace

ReplacementFile::ReplacementFile(std::string path) : path_(std::move(path)) {
  const int file = CreateFresh(path_, part_path_);
  if (file < 0) {
    return;
  }
  // An existing file keeps its permissions when it is replaced.
  struct stat existing {};
  if (::stat(path_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    ::fchmod(file, existing.st_mode & 07777);
  }
  file_ = ::fdopen(file, "w+b");
  if (file_ == nullptr) {
    ::close(file);
    ::unlink(part_path_.c_str());
  }
}

ReplacementFile::~ReplacementFile() {
  if (file_ == nullptr) {
    return;
  }
  if (!committed_) {
    Discard();
  }
  std::fclose(file_);
}

void ReplacementFile::Write(const void* bytes, std::size_t count) {
  if (file_ == nullptr || failed_ || count == 0) {
    failed_ = failed_ || file_ == nullptr;
    return;
  }
  failed_ = std::fwrite(bytes, 1, count, file_) != count;
}

void ReplacementFile::WriteAt(std::uint64_t offset, const void* bytes, std::size_t count) {
  if (file_ == nullptr || failed_ || offset > static_cast<std::uint64_t>(INT64_MAX) ||
      fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
    failed_ = true;
    return;
  }
  Write(bytes, count);
}

bool ReplacementFile::Commit() {
  if (file_ == nullptr || committed_) {
    return committed_;
  }
  // A full disk may only show when the buffered bytes are flushed.
  if (failed_ || std::fflush(file_) != 0 || std::ferror(file_) != 0 ||
      std::rename(part_path_.c_str(), path_.c_str()) != 0) {
    failed_ = true;
    Discard();
    return false;
  }
  committed_ = true;
  return true;
}

void ReplacementFile::Discard() { ::unlink(part_path_.c_str()); }
