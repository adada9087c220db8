#include "shell/display_availability.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Only ":0" has a running X server.
bool Available(std::map<std::string, std::string> environment) {
  return DisplayAvailable([&environment](const char* name) { return environment[name]; },
                          [](const std::string& display) { return display == ":0"; });
}

TEST(DisplayAvailable, NeedsADisplayForThePlatformInUse) {
  EXPECT_FALSE(Available({}));
  EXPECT_TRUE(Available({{"WAYLAND_DISPLAY", "wayland-0"}}));
  EXPECT_TRUE(Available({{"DISPLAY", ":0"}}));
  EXPECT_TRUE(Available({{"QT_QPA_PLATFORM", "offscreen"}}));
  EXPECT_FALSE(Available({{"QT_QPA_PLATFORM", "xcb"}}));
  EXPECT_FALSE(Available({{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}}));
  EXPECT_TRUE(Available({{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}));
  // An X display without a server behind it is no display.
  EXPECT_FALSE(Available({{"DISPLAY", "garbage"}}));
  EXPECT_FALSE(Available({{"DISPLAY", ":1"}, {"QT_QPA_PLATFORM", "xcb"}}));
}

}  // namespace
