#include "shell/dialog_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "engine/recording.h"
#include "shell/control_ids.h"
#include "shell/shell_fakes.h"

namespace {

using test::ShellHarness;

constexpr std::uint32_t kRate = 22050;

std::string WriteClip(const std::filesystem::path& path) {
  test::WriteBytes(path, test::FifteenBpsClip(2));
  return path.string();
}

std::int32_t Height(const WindowRect& rect) { return rect.bottom - rect.top; }
auto Tie(const WindowRect& r) { return std::tuple(r.left, r.top, r.right, r.bottom); }

TEST(ToggleDisplay, GrowsA600By330DialogAndShrinksItBackWhereTheUserMovedIt) {
  ShellHarness shell;
  shell.DeliverPosted();
  EXPECT_EQ(shell.state.display_shown, 1);
  const PixelRect display = shell.Surface().rect;
  EXPECT_EQ(std::tuple(display.x, display.y, display.width, display.height),
            std::tuple(0, 330, 595, 180));
  EXPECT_TRUE(shell.Surface().shown);
  EXPECT_EQ(Tie(shell.dialog.rect), std::tuple(100, 50, 100 + 600, 50 + 330 + 213));
  EXPECT_EQ(shell.Surface().scroll.page, 595U);  // the view starts over at the new size

  shell.dialog.rect = WindowRect{300, 200, 900, 743};
  RunDialogCommand(shell.context, kDisplayCheckBox);
  EXPECT_FALSE(shell.Surface().shown);
  EXPECT_EQ(Tie(shell.dialog.rect), std::tuple(300, 200, 900, 200 + 330));
  RunDialogCommand(shell.context, kDisplayCheckBox);
  EXPECT_TRUE(shell.Surface().shown);
  EXPECT_EQ(Tie(shell.dialog.rect), std::tuple(300, 200, 900, 200 + 543));
}

TEST(ToggleDisplay, WithoutADisplayWindowOnlyTheDialogChanges) {
  ShellHarness shell;
  Destroy(shell.display);
  shell.DeliverPosted();
  EXPECT_EQ(Height(shell.dialog.rect), 543);
  RunDialogCommand(shell.context, kDisplayCheckBox);
  EXPECT_EQ(Height(shell.dialog.rect), 330);
}

TEST(SaveCommand, WithNoClipSaysSoAndOpensNoChooser) {
  ShellHarness shell;
  RunDialogCommand(shell.context, kSaveButton);
  EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>{"No Data Is Loaded"});
  ASSERT_EQ(shell.notifier.shown.size(), 1U);
  EXPECT_EQ(shell.notifier.shown[0].text, "No Data Is Loaded");
  EXPECT_EQ(shell.notifier.shown[0].caption, "");
  EXPECT_TRUE(shell.chooser.requests.empty());
}

TEST(LoadCommand, ACancelledChooserOrAPathTooLongChangesNothing) {
  for (const std::optional<std::string>& answer :
       {std::optional<std::string>(), std::optional<std::string>(std::string(255, 'a') + ".wav")}) {
    ShellHarness shell;
    shell.DeliverPosted();
    const int writes = shell.dialog.text_writes;
    shell.chooser.answers.push_back(answer);
    RunDialogCommand(shell.context, kLoadButton);
    ASSERT_EQ(shell.chooser.requests.size(), 1U);
    EXPECT_EQ(shell.chooser.requests[0].kind, ChooserKind::Open);
    EXPECT_TRUE(test::RoutineLogLines().empty());
    EXPECT_EQ(shell.dialog.text_writes, writes);
  }
}

TEST(LoadCommand, DuringARecordingFinishesTheRecordingFirst) {
  ShellHarness shell;
  test::FakeAudioSystem& audio = shell.audio;
  audio.ring.assign(kRingBytes, 128);
  const std::string clip = WriteClip(shell.dir.path() / "burst.wav");
  RunDialogCommand(shell.context, kRecButton);
  ASSERT_TRUE(shell.engine.IsRecording());
  audio.Capture(std::vector<std::uint8_t>(500, 128));
  PollCapture(shell.engine);

  shell.chooser.answers.push_back(clip);
  RunDialogCommand(shell.context, kLoadButton);
  EXPECT_FALSE(shell.engine.IsRecording());
  EXPECT_EQ(audio.alive, 0);
  EXPECT_EQ(audio.alive, 0);
  // "tmp" was finished: a 44-byte header and the 500 captured bytes.
  const auto tmp = test::ReadBytes("tmp");
  ASSERT_EQ(tmp.size(), 544U);
  EXPECT_EQ(tmp[40] | (tmp[41] << 8), 500);
  EXPECT_EQ(shell.engine.GetSampleCount(), 2 * kRate);
}

TEST(SaveCommand, WritesTheClipUnderTheTypedNameAndReturnsToTheStartDirectory) {
  ShellHarness shell;
  const std::filesystem::path elsewhere = shell.dir.path() / "out";
  std::filesystem::create_directory(elsewhere);
  shell.chooser.answers.push_back(WriteClip(shell.dir.path() / "burst.wav"));
  RunDialogCommand(shell.context, kLoadButton);

  // Cancelled first, then a name without an extension, as typed.
  shell.chooser.wander_to = elsewhere;
  RunDialogCommand(shell.context, kSaveButton);
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "copy"));
  shell.chooser.answers.push_back((elsewhere / "copy").string());
  RunDialogCommand(shell.context, kSaveButton);
  ASSERT_EQ(shell.chooser.requests.size(), 3U);
  EXPECT_EQ(shell.chooser.requests[2].kind, ChooserKind::Save);
  EXPECT_EQ(std::filesystem::current_path(), shell.dir.path());
  EXPECT_EQ(test::ReadBytes(elsewhere / "copy"), test::FifteenBpsClip(2));
}

}  // namespace
