#include "shell/display_availability.h"

#include <gtest/gtest.h>

#include <map>

namespace {

bool Available(std::map<std::string, std::string> environment) {
  return DisplayAvailable([&environment](const char* name) { return environment[name]; });
}

TEST(DisplayAvailable, NeedsADisplayForThePlatformInUse) {
  EXPECT_FALSE(Available({}));
  EXPECT_TRUE(Available({{"WAYLAND_DISPLAY", "wayland-0"}}));
  EXPECT_TRUE(Available({{"DISPLAY", "remote:0"}}));
  EXPECT_TRUE(Available({{"QT_QPA_PLATFORM", "offscreen"}}));
  EXPECT_FALSE(Available({{"QT_QPA_PLATFORM", "xcb"}}));
  EXPECT_FALSE(Available({{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", "remote:0"}}));
  EXPECT_TRUE(Available({{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", "remote:0"}}));
  // A local X display whose socket is missing is no display.
  EXPECT_FALSE(Available({{"DISPLAY", ":4711"}}));
  EXPECT_FALSE(Available({{"DISPLAY", ":4711.0"}, {"QT_QPA_PLATFORM", "xcb"}}));
}

}  // namespace
