#include "cli/json_text.h"

#include <array>
#include <cmath>
#include <cstdio>

std::string JsonFloat(float value) {
  if (!std::isfinite(value)) {
    return "null";
  }
  std::array<char, 32> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.9g", static_cast<double>(value));
  return buffer.data();
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
      ++i;
    } else if (byte < 0x20) {
      std::array<char, 8> escape{};
      std::snprintf(escape.data(), escape.size(), "\\u%04x", static_cast<unsigned>(byte));
      out += escape.data();
      ++i;
    } else if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++i;
    } else {
      std::size_t length = 0;
      if ((byte & 0xE0U) == 0xC0U && byte >= 0xC2U) {
        length = 2;
      } else if ((byte & 0xF0U) == 0xE0U) {
        length = 3;
      } else if ((byte & 0xF8U) == 0xF0U && byte <= 0xF4U) {
        length = 4;
      }
      bool valid = length != 0 && i + length <= text.size();
      for (std::size_t k = 1; valid && k < length; ++k) {
        valid = (static_cast<unsigned char>(text[i + k]) & 0xC0U) == 0x80U;
      }
      if (valid) {
        out.append(text.substr(i, length));
        i += length;
      } else {
        out += "\xEF\xBF\xBD";
        ++i;
      }
    }
  }
  out += '"';
  return out;
}
