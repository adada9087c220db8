#include "display/display_window.h"

#include <gtest/gtest.h>

#include <tuple>

#include "display/display_fakes.h"
#include "display/display_procedure.h"
#include "display/waveform_view.h"
#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

TEST(DisplayWindow, ABorderedChildWhoseSizeChangesReturnTheViewToTheStart) {
  test::ScopedWorkDir dir;
  test::FakeDisplayPlatform platform;
  test::RecordingNotifier notifier;
  SoundEngine engine(nullptr, nullptr);
  test::FillClip(engine, 22050, {}, [](std::uint32_t) { return std::uint8_t{128}; });
  ParentWindow parent;
  DisplayWindow display = ProgramDisplayWindow();
  display.parent = &parent;
  WaveformView view;
  view.view_offset = -500;
  ASSERT_TRUE(Create(display, platform, notifier, [&](const DisplayMessage& message) {
    DisplayWindowProcedure(view, engine, display, message);
  }));
  EXPECT_EQ(platform.created_parent, &parent);
  const test::FakeDisplaySurface& surface = *platform.last_surface;
  // The client size 500 × 60 at (0, 250) grown by the one-pixel border.
  const PixelRect& rect = surface.rect;
  EXPECT_EQ(std::tuple(rect.x, rect.y, rect.width, rect.height), std::tuple(0, 250, 502, 62));
  EXPECT_TRUE(surface.shown);
  EXPECT_EQ(view.view_offset, 1);
  EXPECT_EQ(surface.scroll.page, 500U);
  EXPECT_EQ(surface.scroll.max, 6625);
  EXPECT_TRUE(notifier.shown.empty());

  view.view_offset = -500;
  display.y = 330;
  display.width = 595;
  display.height = 180;
  Move(display, true);
  EXPECT_EQ(std::tuple(rect.x, rect.y, rect.width, rect.height), std::tuple(0, 330, 595, 180));
  EXPECT_EQ(view.view_offset, 1);
  EXPECT_EQ(surface.scroll.page, 595U);
  view.view_offset = -500;
  display.y = 400;  // moved, same size: the view stays
  Move(display, true);
  EXPECT_EQ(view.view_offset, -500);

  // Destroyed twice, it acts once; moves and shows then act on no window.
  EXPECT_TRUE(Destroy(display));
  EXPECT_TRUE(Destroy(display));
  EXPECT_EQ(display.window, nullptr);
  EXPECT_EQ(platform.unregistered, 1);
  Move(display, true);
  Show(display, true);
}

}  // namespace
