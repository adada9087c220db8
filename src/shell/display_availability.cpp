#include "shell/display_availability.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

// ":N" or ":N.S" names a local X server, whose socket must exist.
bool XDisplayReachable(const std::string& display) {
  if (display.empty()) {
    return false;
  }
  if (display.front() != ':') {
    return true;  // a remote or otherwise named server: let the toolkit try
  }
  const std::string number = display.substr(1, display.find('.') - 1);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
    return true;
  }
  std::error_code ignored;
  return std::filesystem::exists("/tmp/.X11-unix/X" + number, ignored);
}

}  // namespace

bool DisplayAvailable(const std::function<std::string(const char*)>& variable) {
  const std::string platforms = variable("QT_QPA_PLATFORM");
  const std::string x_display = variable("DISPLAY");
  const bool wayland = !variable("WAYLAND_DISPLAY").empty();
  if (platforms.empty()) {
    return XDisplayReachable(x_display) || wayland;
  }
  // A list such as "wayland;xcb" is tried in order: one usable entry is enough.
  std::size_t start = 0;
  while (start <= platforms.size()) {
    const std::size_t end = std::min(platforms.find(';', start), platforms.size());
    const std::string name = platforms.substr(start, end - start);
    if (name.rfind("xcb", 0) == 0) {
      if (XDisplayReachable(x_display)) {
        return true;
      }
    } else if (name.rfind("wayland", 0) == 0) {
      if (wayland) {
        return true;
      }
    } else if (!name.empty()) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

bool DisplayAvailable() {
  return DisplayAvailable([](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
  });
}
