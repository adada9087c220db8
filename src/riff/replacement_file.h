#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// A file written under a fresh name beside `path` and renamed over `path`
// only once every write has succeeded, so `path` holds either what it held
// before or the whole new file: never a part of it, and never bytes written
// through a link or into a FIFO that happens to carry the name. The handle
// stays open after the rename, so the bytes written can be read back from it
// even when another process replaces `path` meanwhile.
class ReplacementFile {
 public:
  explicit ReplacementFile(std::string path);
  // Removes the unfinished file when Commit never succeeded.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // False when the fresh file could not be made.
  bool IsOpen() const { return file_ != nullptr; }
  // A write that fails (or any write once one has) is remembered, and makes
  // Commit fail.
  void Write(const void* bytes, std::size_t count);
  void WriteAt(std::uint64_t offset, const void* bytes, std::size_t count);
  bool Failed() const { return failed_; }
  // Everything written reaches the disk and takes the final name. False, with
  // the fresh file removed and `path` untouched, when anything failed.
  bool Commit();
  // The file as written, for reading; null unless committed.
  std::FILE* Committed() const { return committed_ ? file_ : nullptr; }

 private:
  void Discard();
  std::string path_;
  std::string part_path_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  bool committed_ = false;
};
