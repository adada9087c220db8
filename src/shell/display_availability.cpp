#include "shell/display_availability.h"

#include <algorithm>

bool DisplayAvailable(const std::function<std::string(const char*)>& variable,
                      const std::function<bool(const std::string&)>& x_server_reachable) {
  const std::string platforms = variable("QT_QPA_PLATFORM");
  const std::string x_display = variable("DISPLAY");
  const bool wayland = !variable("WAYLAND_DISPLAY").empty();
  const auto x_reachable = [&] { return !x_display.empty() && x_server_reachable(x_display); };
  if (platforms.empty()) {
    return x_reachable() || wayland;
  }
  // A list such as "wayland;xcb" is tried in order: one usable entry is enough.
  std::size_t start = 0;
  while (start <= platforms.size()) {
    const std::size_t end = std::min(platforms.find(';', start), platforms.size());
    const std::string name = platforms.substr(start, end - start);
    if (name.rfind("xcb", 0) == 0) {
      if (x_reachable()) {
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
