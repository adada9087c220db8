#include "shell/shell_loop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/recording.h"
#include "shell/control_ids.h"
#include "engine/readout_texts.h"
#include "shell/control_ids.h"
#include "shell/shell_fakes.h"

namespace {

struct RecordingShell {
  RecordingShell() { audio.ring.assign(kRingBytes, 128); }
  void Rec(std::uint32_t at) {
    shell.ticks.now = at;
    RunDialogCommand(shell.context, kRecButton);
  }
  void TurnAt(std::uint32_t at) {
    shell.ticks.now = at;
    ServiceRecording(shell.context);
  }
  bool Recording() const { return shell.engine.IsRecording(); }
  test::ShellHarness shell;
  test::FakeAudioSystem& audio = shell.audio;
};

TEST(ServiceRecording, StopsOnlyOnceTheLimitIsPassedCountingFromTheLastRec) {
  RecordingShell r;
  r.TurnAt(1000000);  // no recording: nothing to limit
  EXPECT_TRUE(r.shell.notifier.shown.empty());
  r.Rec(1000);
  r.audio.Capture(std::vector<std::uint8_t>(300, 128));
  r.TurnAt(11000);
  ASSERT_TRUE(r.Recording());
  EXPECT_EQ(r.shell.engine.GetSampleCount(), 300U);
  r.Rec(15000);  // REC again: the recording goes on and the limit starts over
  EXPECT_TRUE(r.Recording());
  r.TurnAt(21001);
  EXPECT_TRUE(r.Recording());
  r.TurnAt(35000);  // exactly 20 000 ms after the last REC
  EXPECT_TRUE(r.Recording());
  EXPECT_TRUE(r.shell.notifier.shown.empty());

  r.shell.dialog.texts.clear();
  r.TurnAt(35001);
  EXPECT_FALSE(r.Recording());
  EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>{"Can Only Record 30 Second Clips"});
  ASSERT_EQ(r.shell.notifier.shown.size(), 1U);
  EXPECT_EQ(r.shell.notifier.shown[0].text, "Can Only Record 30 Second Clips");
  // The recorded clip was loaded and the six readouts show it.
  EXPECT_EQ(r.shell.engine.GetSampleCount(), 300U);
  EXPECT_EQ(r.shell.dialog.texts[kNumberOfShotsField], "0");
  EXPECT_EQ(r.shell.dialog.texts.size(), 6U);
  EXPECT_EQ(r.shell.state.quit_requested, 0);
  r.TurnAt(90000);
  EXPECT_EQ(r.shell.notifier.shown.size(), 1U);
}

TEST(ServiceRecording, LimitSurvivesTheTickCounterWrapping) {
  RecordingShell r;
  r.Rec(0xFFFFF000U);
  r.TurnAt(5000);  // wrapped: 9096 ms since REC
  EXPECT_TRUE(r.Recording());
  r.TurnAt(0xFFFFF000U + kRecordingLimitMs + 1);
  EXPECT_FALSE(r.Recording());
}

TEST(ServiceRecording, ACaptureFailureStopsFirstKeepingWhatWasRecordedAndEndsTheProgram) {
  RecordingShell r;
  r.Rec(0);
  r.audio.Capture(std::vector<std::uint8_t>(400, 128));
  r.TurnAt(100);
  r.audio.position_fails = true;
  r.TurnAt(200);
  EXPECT_FALSE(r.Recording());
  EXPECT_EQ(r.shell.state.quit_requested, 1);
  EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>{"Failed To Capture Data"});
  // "tmp" is finished, not loaded: the routine log ends with the failure.
  const auto routine = test::RoutineLogLines();
  ASSERT_FALSE(routine.empty());
  EXPECT_EQ(routine.back(), "Failed To Capture Data");
  EXPECT_EQ(std::count(routine.begin(), routine.end(), "Failed To Capture Data"), 1);
  ASSERT_EQ(r.shell.notifier.shown.size(), 1U);
  EXPECT_EQ(r.shell.notifier.shown[0].text, "Failed To Capture Data");
  const auto tmp = test::ReadBytes("tmp");
  ASSERT_EQ(tmp.size(), 444U);
  EXPECT_EQ(tmp[40] | (tmp[41] << 8), 400);
  EXPECT_EQ(r.audio.alive, 0);
}

TEST(ServiceRecording, ACaptureFailureAfterTheLimitStopsOnceAndShowsBoth) {
  RecordingShell r;
  r.Rec(0);
  r.audio.lock_fails = true;
  r.audio.Capture(std::vector<std::uint8_t>(10, 128));
  r.TurnAt(kRecordingLimitMs + 1);
  EXPECT_EQ(
      test::CriticalLogLines(),
      (std::vector<std::string>{"Failed To Capture Data", "Can Only Record 30 Second Clips"}));
  ASSERT_EQ(r.shell.notifier.shown.size(), 2U);
  EXPECT_EQ(r.shell.state.quit_requested, 1);
  EXPECT_EQ(test::ReadBytes("tmp").size(), 44U);
}

TEST(BeginShell, RemembersTheStartDirectoryTheCommandsReturnTo) {
  test::ShellHarness shell;
  shell.state.start_directory.clear();
  BeginShell(shell.context);
  EXPECT_EQ(shell.state.start_directory, shell.dir.path().string());
}

// "tmp" is finished as a valid file but not loaded: no reader lines before
// the closing ones.
TEST(ShutdownShell, FinishesARecordingStillRunningWithoutLoadingIt) {
  RecordingShell r;
  r.Rec(0);
  r.audio.Capture(std::vector<std::uint8_t>(250, 128));
  r.TurnAt(50);
  CloseDialog(r.shell.context);
  EXPECT_EQ(ShutdownShell(r.shell.context), 0);
  const auto tmp = test::ReadBytes("tmp");
  ASSERT_EQ(tmp.size(), 294U);
  EXPECT_EQ(tmp[40], 250);
  EXPECT_EQ(r.audio.alive, 0);
  EXPECT_EQ(test::RoutineLogLines(),
            (std::vector<std::string>{"Display Window Destroyed", "TAMBRIX Ended"}));
}

}  // namespace
