#include "engine/regular_file.h"

#include <filesystem>
#include <system_error>

std::FILE* OpenRegularFileForReading(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return nullptr;
  }
  return std::fopen(path.c_str(), "rb");
}
