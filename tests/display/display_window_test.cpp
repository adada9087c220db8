#include "display/display_window.h"

#include <gtest/gtest.h>

#include "display/display_fakes.h"
#include "display/display_procedure.h"
#include "display/waveform_view.h"
#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

struct HostFixture {
  test::ScopedWorkDir dir;
  test::FakeDisplayPlatform platform;
  test::RecordingNotifier notifier;
  DisplayWindow display = ProgramDisplayWindow();
  std::vector<DisplayMessageKind> received;
  DisplayProcedure procedure = [this](const DisplayMessage& m) { received.push_back(m.kind); };
};

TEST(DisplayWindow, ProgramRecordHoldsTheConstructionValues) {
  const DisplayWindow display = ProgramDisplayWindow();
  EXPECT_EQ(display.class_name, "TAMBRIXDisplayClass");
  EXPECT_EQ(display.title, "TAMBRIX Display");
  EXPECT_EQ(display.x, 0);
  EXPECT_EQ(display.y, 250);
  EXPECT_EQ(display.width, 500);
  EXPECT_EQ(display.height, 60);
  EXPECT_EQ(display.ex_style, 0x00040088U);
  EXPECT_EQ(display.style, 0x52900000U);
  EXPECT_EQ(display.background, (Rgb{111, 111, 115}));
  EXPECT_FALSE(display.full_screen);
  EXPECT_EQ(display.parent, nullptr);
}

TEST(DisplayWindow, CreateMakesABorderedChildAndDeliversCreateThenSize) {
  HostFixture f;
  ParentWindow parent;
  f.display.parent = &parent;
  ASSERT_TRUE(Create(f.display, f.platform, f.notifier, f.procedure));
  EXPECT_EQ(f.platform.created_class, "TAMBRIXDisplayClass");
  EXPECT_EQ(f.platform.created_title, "TAMBRIX Display");
  EXPECT_EQ(f.platform.class_background, (Rgb{111, 111, 115}));
  EXPECT_EQ(f.platform.created_parent, &parent);
  // The client size 500 × 60 grown by the one-pixel border.
  EXPECT_EQ(f.platform.created_rect.x, 0);
  EXPECT_EQ(f.platform.created_rect.y, 250);
  EXPECT_EQ(f.platform.created_rect.width, 502);
  EXPECT_EQ(f.platform.created_rect.height, 62);
  EXPECT_EQ(f.received, (std::vector<DisplayMessageKind>{DisplayMessageKind::Create,
                                                         DisplayMessageKind::Size}));
  EXPECT_TRUE(f.platform.last_surface->shown);
  EXPECT_TRUE(test::CriticalLogLines().empty());
  EXPECT_TRUE(f.notifier.shown.empty());
}

TEST(DisplayWindow, EachFailedStepIsLoggedShownAndLeavesNoWindow) {
  struct Case {
    bool no_procedure;
    bool refuse_class;
    bool refuse_window;
    const char* message;
    bool class_left_registered;
  };
  for (const Case c : {Case{true, false, false, "no window procedure", false},
                       Case{false, true, false, "error registering class", false},
                       Case{false, false, true, "Failed To Create Window hWnd", true}}) {
    HostFixture f;
    f.platform.refuse_class = c.refuse_class;
    f.platform.refuse_window = c.refuse_window;
    EXPECT_FALSE(Create(f.display, f.platform, f.notifier,
                        c.no_procedure ? DisplayProcedure() : f.procedure));
    EXPECT_EQ(f.display.window, nullptr);
    EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>{c.message});
    ASSERT_EQ(f.notifier.shown.size(), 1U);
    EXPECT_EQ(f.notifier.shown[0].text, c.message);
    EXPECT_EQ(f.notifier.shown[0].caption, "");
    EXPECT_EQ(f.platform.classes.count("TAMBRIXDisplayClass"), c.class_left_registered ? 1U : 0U);
    EXPECT_TRUE(f.received.empty());
  }
}

TEST(DisplayWindow, MoveSendsSizeOnlyWhenTheSizeChanges) {
  HostFixture f;
  ASSERT_TRUE(Create(f.display, f.platform, f.notifier, f.procedure));
  f.received.clear();
  f.display.x = 0;
  f.display.y = 330;
  f.display.width = 595;
  f.display.height = 180;
  Move(f.display, true);
  EXPECT_EQ(f.platform.last_surface->rect.y, 330);
  EXPECT_EQ(f.platform.last_surface->rect.width, 595);
  EXPECT_EQ(f.received, std::vector<DisplayMessageKind>{DisplayMessageKind::Size});
  f.display.y = 400;
  Move(f.display, true);
  EXPECT_EQ(f.received.size(), 1U);
}

TEST(DisplayWindow, DestroyTwiceActsOnce) {
  HostFixture f;
  ASSERT_TRUE(Create(f.display, f.platform, f.notifier, f.procedure));
  EXPECT_TRUE(Destroy(f.display));
  EXPECT_TRUE(Destroy(f.display));
  EXPECT_EQ(f.display.window, nullptr);
  EXPECT_EQ(f.platform.unregistered, 1);
  EXPECT_TRUE(f.platform.classes.empty());
  // Moves and shows act on no window.
  Move(f.display, true);
  Show(f.display, true);
}

TEST(DisplayWindowProcedure, CreationAndResizesReturnTheViewToTheStart) {
  test::FakeDisplayPlatform platform;
  test::RecordingNotifier notifier;
  SoundEngine engine(nullptr, nullptr);
  engine.sample_count = 22050;
  engine.samples.emplace(22050, std::uint8_t{128});
  DisplayWindow display = ProgramDisplayWindow();
  WaveformView view;
  view.view_offset = -500;
  ASSERT_TRUE(Create(display, platform, notifier, [&](const DisplayMessage& message) {
    DisplayWindowProcedure(view, engine, display, message);
  }));
  EXPECT_EQ(view.view_offset, 1);
  // The scroll bar was published for the creation width of 500.
  EXPECT_EQ(platform.last_surface->scroll.page, 500U);
  EXPECT_EQ(platform.last_surface->scroll.max, 6625);

  view.view_offset = -500;
  display.width = 595;
  display.height = 180;
  Move(display, true);
  EXPECT_EQ(view.view_offset, 1);
  EXPECT_EQ(platform.last_surface->scroll.page, 595U);
}

}  // namespace
