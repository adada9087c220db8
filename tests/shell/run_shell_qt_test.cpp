#include "shell/run_shell_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <functional>

#include "engine/recording.h"
#include "shell/control_ids.h"
#include "shell/qt_shell_harness.h"
#include "shell/shell_loop.h"

namespace {

using test::QtShellHarness;
using Lines = std::vector<std::string>;

Lines Shown(const test::RecordingNotifier& notifier) {
  Lines texts;
  for (const auto& message : notifier.shown) {
    texts.push_back(message.text);
  }
  return texts;
}

void Rec(QtShellHarness& shell, std::uint32_t at) {
  shell.ticks.now = at;
  shell.Control<QPushButton>(kRecButton)->click();
}

void TurnAt(QtShellHarness& shell, std::uint32_t at) {
  shell.ticks.now = at;
  ServiceRecording(shell.context);
}

TEST(ServiceRecording, StopsOncePastTheLimitFromTheLastRecAcrossTheTickWrap) {
  for (const std::uint32_t start : {1000U, 0xFFFFF000U}) {
    QtShellHarness s;
    Rec(s, start);
    s.audio.Capture(std::vector<std::uint8_t>(300, 128));
    TurnAt(s, start + 10000);
    EXPECT_EQ(s.engine.GetSampleCount(), 300U);
    Rec(s, start + 14000);  // REC again: the limit starts over
    TurnAt(s, start + 14000 + kRecordingLimitMs);
    EXPECT_TRUE(s.engine.IsRecording());
    EXPECT_TRUE(s.notifier.shown.empty());
    TurnAt(s, start + 14001 + kRecordingLimitMs);
    EXPECT_FALSE(s.engine.IsRecording());
    EXPECT_EQ(Shown(s.notifier), Lines{"Can Only Record 30 Second Clips"});
    EXPECT_EQ(test::CriticalLogLines(), Lines{"Can Only Record 30 Second Clips"});
    EXPECT_EQ(s.Text(kNumberOfShotsField), "0");  // the recording's readouts
    EXPECT_FALSE(s.state.quit_requested);
    TurnAt(s, start + 90000);
    EXPECT_EQ(s.notifier.shown.size(), 1U);
  }
}

TEST(ServiceRecording, ACaptureFailureKeepsWhatWasRecordedAndEndsTheProgram) {
  const Lines failed{"Failed To Capture Data"};
  const Lines failed_at_limit{"Failed To Capture Data", "Can Only Record 30 Second Clips"};
  for (const auto& [at, messages] :
       {std::pair{200U, failed}, std::pair{kRecordingLimitMs + 1, failed_at_limit}}) {
    QtShellHarness s;
    Rec(s, 0);
    s.audio.Capture(std::vector<std::uint8_t>(400, 128));
    TurnAt(s, 100);
    s.audio.script.position_result = -5;
    TurnAt(s, at);
    EXPECT_FALSE(s.engine.IsRecording());
    EXPECT_TRUE(s.state.quit_requested);
    EXPECT_EQ(Shown(s.notifier), messages);
    EXPECT_EQ(test::CriticalLogLines(), messages);
    EXPECT_EQ(test::RoutineLogLines().back(), "Failed To Capture Data");  // "tmp" not loaded
    EXPECT_EQ(test::ReadBytes("tmp").size(), 444U);
  }
}

MainDialog* OpenDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<MainDialog*>(widget); dialog && dialog->isVisible()) {
      return dialog;
    }
  }
  return nullptr;
}

// Runs the program's shell; `act` runs from the event loop once the dialog
// is open. A safety timer closes the dialog if the test hangs.
int RunShellWith(test::ShellParts& parts, const std::function<void(MainDialog&)>& act) {
  QTimer starter;
  starter.setInterval(20);
  QObject::connect(&starter, &QTimer::timeout, [&act, &starter] {
    if (MainDialog* dialog = OpenDialog()) {
      starter.stop();
      act(*dialog);
    }
  });
  starter.start();
  QTimer::singleShot(20000, &starter, [] {
    if (MainDialog* dialog = OpenDialog()) {
      dialog->close();
    }
  });
  return RunShell(parts.engine, parts.display, parts.services);
}

TEST(RunShellQt, EndsInOrder) {
  const Lines closed{"TAMBRIX Started", "Display Window Destroyed", "TAMBRIX Ended"};
  const Lines quit{"TAMBRIX Started", "Recieved Done Message, Exiting Loop",
                   "Display Window Destroyed", "TAMBRIX Ended"};
  struct Row {
    const char* how;
    std::function<void(test::ShellParts&, MainDialog&)> act;
    Lines routine;  // none: the reader's lines of the loaded recording in the middle
    std::size_t tmp_size;
  };
  const Row rows[] = {
      {"closed", [](test::ShellParts&, MainDialog& d) { d.close(); }, closed, 0},
      {"SIGTERM", [](test::ShellParts&, MainDialog&) { std::raise(SIGTERM); }, quit, 0},
      // A later run's first signal is a first one again.
      {"SIGINT", [](test::ShellParts&, MainDialog&) { std::raise(SIGINT); }, quit, 0},
      // "tmp" is finished but not loaded: no reader lines.
      {"closed while recording",
       [](test::ShellParts& p, MainDialog& d) {
         qobject_cast<QPushButton*>(d.Control(kRecButton))->click();
         p.audio.Capture(std::vector<std::uint8_t>(250, 128));
         d.close();
       },
       closed, 294},
      // The loop's turns see the time pass until the limit stops the recording.
      {"closed after the limit",
       [](test::ShellParts& p, MainDialog& d) {
         qobject_cast<QPushButton*>(d.Control(kRecButton))->click();
         p.audio.Capture(std::vector<std::uint8_t>(700, 128));
         auto* later = new QTimer(&d);
         QObject::connect(later, &QTimer::timeout, [&p, &d] {
           p.ticks.now += 5000;
           if (!p.notifier.shown.empty()) {
             d.close();
           }
         });
         later->start(30);
       },
       {},
       744},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    test::ShellParts parts;
    EXPECT_EQ(RunShellWith(parts, [&](MainDialog& d) { row.act(parts, d); }), 0);
    const Lines routine = test::RoutineLogLines();
    if (!row.routine.empty()) {
      EXPECT_EQ(routine, row.routine);
    }
    ASSERT_GE(routine.size(), 3U);
    EXPECT_EQ(routine.front(), closed.front());
    EXPECT_EQ(Lines(routine.end() - 2, routine.end()), Lines(closed.begin() + 1, closed.end()));
    EXPECT_EQ(test::ReadBytes("tmp").size(), row.tmp_size);
    EXPECT_EQ(parts.display.window, nullptr);
    EXPECT_EQ(OpenDialog(), nullptr);
  }
}

}  // namespace
