#include "shell/dialog_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/clip_files.h"
#include "engine/recording.h"
#include "shell/control_ids.h"
#include "shell/readout_texts.h"
#include "shell/shell_fakes.h"
#include "support/fake_audio_system.h"

namespace {

using test::ShellHarness;

constexpr std::uint32_t kRate = 22050;

// Two seconds at 22050 Hz with a burst every 1470 samples (15 BPS) from
// sample 3000.
std::vector<std::uint8_t> FifteenBpsTrain() {
  std::vector<std::uint32_t> bursts;
  for (std::uint32_t start = 3000; start + 1470 < 2 * kRate; start += 1470) {
    bursts.push_back(start);
  }
  return test::MakeShotTrain(2 * kRate, bursts);
}

std::string WriteClip(const std::filesystem::path& path) {
  test::WriteBytes(path, test::MakeWave8(kRate, FifteenBpsTrain()));
  return path.string();
}

TEST(OpeningSequence, FillsTheReadoutsPostsTheStatesAndCreatesTheDisplay) {
  ShellHarness shell;
  EXPECT_EQ(shell.dialog.texts[kAverageUnitField], "bps");
  EXPECT_EQ(shell.dialog.texts[kHighestUnitField], "bps");
  EXPECT_EQ(shell.dialog.texts[kLowestUnitField], "bps");
  EXPECT_EQ(shell.dialog.texts[kAverageRofField], "0.000000");
  EXPECT_EQ(shell.dialog.texts[kHighestRofField], "0.000000");
  EXPECT_EQ(shell.dialog.texts[kLowestRofField], "0.000000");
  EXPECT_EQ(shell.dialog.texts[kNumberOfShotsField], "0");
  EXPECT_EQ(shell.dialog.texts[kClipLengthField], "0");
  EXPECT_EQ(shell.dialog.texts[kClipQualityField], "100");
  // Unit labels first, then the readouts in their order.
  EXPECT_EQ(shell.dialog.text_writes,
            (std::vector<int>{1010, 1013, 1014, 1007, 1008, 1011, 1009, 1012, 1017}));
  EXPECT_EQ(shell.dialog.posted_checks,
            (std::vector<std::pair<int, bool>>{{1015, true}, {1016, false}, {1018, true}}));
  EXPECT_EQ(shell.display.parent, &shell.dialog);
  ASSERT_NE(shell.display.window, nullptr);
  EXPECT_EQ(shell.platform.created_parent, &shell.dialog);
  // Inverted now; the posted Display command turns it back and applies it.
  EXPECT_EQ(shell.state.display_shown, 0);
  EXPECT_EQ(shell.dialog.posted_commands, std::deque<int>{1018});

  shell.DeliverPosted();
  EXPECT_EQ(shell.state.display_shown, 1);
  EXPECT_EQ(shell.dialog.rect.bottom - shell.dialog.rect.top, 330 + 213);
  EXPECT_TRUE(shell.Surface().shown);
}

TEST(ToggleDisplay, GrowsA600By330DialogAndShrinksItBack) {
  ShellHarness shell;
  shell.DeliverPosted();
  EXPECT_EQ(shell.state.base_width, 600);
  EXPECT_EQ(shell.state.base_height, 330);
  const PixelRect display = shell.Surface().rect;
  EXPECT_EQ(display.x, 0);
  EXPECT_EQ(display.y, 330);
  EXPECT_EQ(display.width, 595);
  EXPECT_EQ(display.height, 180);
  EXPECT_EQ(shell.dialog.rect.left, 100);
  EXPECT_EQ(shell.dialog.rect.top, 50);
  EXPECT_EQ(shell.dialog.rect.right - shell.dialog.rect.left, 600);
  EXPECT_EQ(shell.dialog.rect.bottom - shell.dialog.rect.top, 543);
  // The view starts over at the new size.
  EXPECT_EQ(shell.Surface().scroll.page, 595U);

  // Moved by the user, then unticked and ticked again: it stays put.
  shell.dialog.rect = WindowRect{300, 200, 900, 743};
  RunDialogCommand(shell.context, kDisplayCheckBox);
  EXPECT_EQ(shell.state.display_shown, 0);
  EXPECT_FALSE(shell.Surface().shown);
  EXPECT_EQ(shell.dialog.rect.left, 300);
  EXPECT_EQ(shell.dialog.rect.top, 200);
  EXPECT_EQ(shell.dialog.rect.bottom - shell.dialog.rect.top, 330);
  RunDialogCommand(shell.context, kDisplayCheckBox);
  EXPECT_TRUE(shell.Surface().shown);
  EXPECT_EQ(shell.dialog.rect.top, 200);
  EXPECT_EQ(shell.dialog.rect.bottom - shell.dialog.rect.top, 543);
}

TEST(ToggleDisplay, WithoutADisplayWindowOnlyTheDialogChanges) {
  ShellHarness shell;
  Destroy(shell.display);
  shell.DeliverPosted();
  EXPECT_EQ(shell.dialog.rect.bottom - shell.dialog.rect.top, 543);
  RunDialogCommand(shell.context, kDisplayCheckBox);
  EXPECT_EQ(shell.dialog.rect.bottom - shell.dialog.rect.top, 330);
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

TEST(LoadCommand, CancelledChooserChangesNothing) {
  ShellHarness shell;
  shell.DeliverPosted();
  const auto texts = shell.dialog.text_writes.size();
  RunDialogCommand(shell.context, kLoadButton);
  ASSERT_EQ(shell.chooser.requests.size(), 1U);
  EXPECT_EQ(shell.chooser.requests[0].kind, ChooserKind::Open);
  EXPECT_EQ(shell.chooser.requests[0].title, "Select The wav File");
  EXPECT_EQ(shell.chooser.requests[0].filter_name, "Sound - WAVE (.wav)");
  EXPECT_EQ(shell.chooser.requests[0].filter_pattern, "*.wav");
  EXPECT_TRUE(test::RoutineLogLines().empty());
  EXPECT_EQ(shell.dialog.text_writes.size(), texts);
}

TEST(LoadCommand, LoadsTheChosenClipFromAnywhereAndJumpsToTheFirstShot) {
  ShellHarness shell;
  shell.DeliverPosted();
  const std::filesystem::path elsewhere = shell.dir.path() / "clips";
  std::filesystem::create_directory(elsewhere);
  const std::string clip = WriteClip(elsewhere / "burst.wav");
  shell.chooser.wander_to = elsewhere;
  shell.chooser.answers.push_back(clip);
  RunDialogCommand(shell.context, kLoadButton);

  // Back in the start directory: the logs and "tmp" stay there.
  EXPECT_EQ(std::filesystem::current_path(), shell.dir.path());
  const auto routine = test::RoutineLogLines();
  ASSERT_GE(routine.size(), 2U);
  EXPECT_EQ(routine[0], "Starting Loading File");
  EXPECT_EQ(routine[1], "Loading file - wave");
  EXPECT_EQ(shell.state.file_path, clip);
  for (const FieldText& field : ReadoutFieldTexts(shell.engine, 1)) {
    EXPECT_EQ(shell.dialog.texts[field.field_id], field.text);
  }
  ASSERT_GE(shell.engine.GetShotCount(), 2U);
  EXPECT_GE(shell.engine.GetNumberOfShots(), 2);
  EXPECT_EQ(shell.dialog.texts[kClipLengthField], "2");
  // The view's left edge is at the first shot, and the bar follows it.
  EXPECT_EQ(shell.view.view_offset, AlignedOffset(shell.engine.GetShot(0).position));
  EXPECT_EQ(shell.Surface().scroll.position, -shell.view.view_offset);
  EXPECT_EQ(shell.Surface().scroll.max, ContentWidth(2 * kRate));
  EXPECT_FALSE(shell.Surface().presented.empty());
}

TEST(LoadCommand, APathTooLongForTheChooserIsRefused) {
  ShellHarness shell;
  shell.chooser.answers.push_back(std::string(255, 'a') + ".wav");
  RunDialogCommand(shell.context, kLoadButton);
  EXPECT_TRUE(test::RoutineLogLines().empty());
}

TEST(LoadCommand, DuringARecordingFinishesTheRecordingFirst) {
  test::FakeAudioSystem audio;
  audio.script.ring.assign(kRingBytes, 128);
  ShellHarness shell(&audio);
  const std::string clip = WriteClip(shell.dir.path() / "burst.wav");
  RunDialogCommand(shell.context, kRecButton);
  ASSERT_TRUE(shell.engine.IsRecording());
  audio.Capture(std::vector<std::uint8_t>(500, 128));
  PollCapture(shell.engine);

  shell.chooser.answers.push_back(clip);
  RunDialogCommand(shell.context, kLoadButton);
  EXPECT_FALSE(shell.engine.IsRecording());
  EXPECT_EQ(audio.script.buffers_alive, 0);
  EXPECT_EQ(audio.script.devices_alive, 0);
  // "tmp" was finished: a 44-byte header and the 500 captured bytes.
  const auto tmp = test::ReadBytes("tmp");
  ASSERT_EQ(tmp.size(), 544U);
  EXPECT_EQ(tmp[40] | (tmp[41] << 8), 500);
  // The chosen clip is what the engine holds.
  EXPECT_EQ(shell.engine.GetSampleCount(), 2 * kRate);
}

TEST(SaveCommand, WritesTheClipUnderTheTypedNameInTheStartDirectory) {
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
  EXPECT_EQ(shell.chooser.requests[2].filter_name, "wav");
  EXPECT_EQ(shell.chooser.requests[2].title, "Select The wav File");
  EXPECT_EQ(std::filesystem::current_path(), shell.dir.path());
  EXPECT_EQ(test::ReadBytes(elsewhere / "copy"), test::MakeWave8(kRate, FifteenBpsTrain()));
}

TEST(UnitCommands, SwitchOnlyTheRatesAndTheirUnits) {
  ShellHarness shell;
  shell.engine.average_rof = 2.0F;
  shell.engine.highest_rof = 3.5F;
  shell.engine.lowest_rof = 0.5F;
  shell.engine.number_of_shots = 7;
  RunDialogCommand(shell.context, kMsRadio);
  EXPECT_EQ(shell.state.ms_selected, 1);
  EXPECT_EQ(shell.state.readout_in_bps, 0);
  EXPECT_EQ(shell.dialog.texts[kAverageUnitField], "ms");
  EXPECT_EQ(shell.dialog.texts[kLowestUnitField], "ms");
  EXPECT_EQ(shell.dialog.texts[kAverageRofField], "500.000000");
  EXPECT_EQ(shell.dialog.texts[kHighestRofField], "285.714286");
  EXPECT_EQ(shell.dialog.texts[kLowestRofField], "");
  EXPECT_EQ(shell.dialog.texts[kNumberOfShotsField], "7");
  RunDialogCommand(shell.context, kBpsRadio);
  EXPECT_EQ(shell.state.ms_selected, 0);
  EXPECT_EQ(shell.state.readout_in_bps, 1);
  EXPECT_EQ(shell.dialog.texts[kHighestUnitField], "bps");
  EXPECT_EQ(shell.dialog.texts[kLowestRofField], "0.500000");
}

TEST(DialogCommands, EnterEscAndFieldNotificationsDoNothing) {
  ShellHarness shell;
  shell.DeliverPosted();
  const ShellState before = shell.state;
  const auto writes = shell.dialog.text_writes.size();
  for (const int id : {kOkCommand, kCancelCommand, 1007, 1009, 1017, 0, -1, 65535}) {
    RunDialogCommand(shell.context, id);
  }
  EXPECT_EQ(shell.dialog.text_writes.size(), writes);
  EXPECT_EQ(shell.state.quit_requested, before.quit_requested);
  EXPECT_TRUE(shell.chooser.requests.empty());
  EXPECT_FALSE(shell.dialog.hidden);
}

}  // namespace
