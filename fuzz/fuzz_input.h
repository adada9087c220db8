#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The fuzzers hand their input to the program as a file, as a user would.
inline bool WriteFuzzInput(const char* name, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}
