#include "shell/run_shell_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <functional>

#include "display/display_widget_qt.h"
#include "engine/recording.h"
#include "shell/control_ids.h"
#include "shell/main_dialog_qt.h"
#include "shell/shell_fakes.h"

namespace {

using Lines = std::vector<std::string>;

MainDialog* OpenDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<MainDialog*>(widget); dialog && dialog->isVisible()) {
      return dialog;
    }
  }
  return nullptr;
}

// Runs the program's shell over fakes; `act` runs from the event loop once
// the dialog is open. A safety timer closes the dialog if the test hangs.
struct ShellRun : test::ShellParts<DisplayPlatformQt> {
  int Run(std::function<void(MainDialog&)> act, bool refuse_display_window = false) {
    // Polled rather than delayed: on a busy machine the dialog may open late.
    QTimer starter;
    starter.setInterval(20);
    QObject::connect(&starter, &QTimer::timeout, [act, &starter] {
      if (MainDialog* dialog = OpenDialog()) {
        starter.stop();
        act(*dialog);
      }
    });
    starter.start();
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] {
      if (MainDialog* dialog = OpenDialog()) {
        dialog->close();
      }
    });
    safety.start(20000);
    test::FakeDisplayPlatform refusing;
    refusing.refuse_window = true;
    ShellServices without_display{chooser, notifier, ticks, refusing};
    return RunShell(engine, display, refuse_display_window ? without_display : services);
  }
};

TEST(RunShellQt, ShutdownWritesItsLinesInOrder) {
  struct Case {
    const char* how;
    std::function<void(MainDialog&)> act;
    bool refuse_display_window;
    Lines lines;
  };
  const auto close = [](MainDialog& dialog) { dialog.close(); };
  const std::vector<Case> cases{
      {"closed", close, false, {"TAMBRIX Started", "Display Window Destroyed", "TAMBRIX Ended"}},
      {"SIGTERM",
       [](MainDialog&) { std::raise(SIGTERM); },
       false,
       {"TAMBRIX Started", "Recieved Done Message, Exiting Loop", "Display Window Destroyed",
        "TAMBRIX Ended"}},
      // A later run's first signal is a first one again.
      {"SIGINT",
       [](MainDialog&) { std::raise(SIGINT); },
       false,
       {"TAMBRIX Started", "Recieved Done Message, Exiting Loop", "Display Window Destroyed",
        "TAMBRIX Ended"}},
      {"no display window",
       close,
       true,
       {"TAMBRIX Started", "Display Window Failed To Destroy", "TAMBRIX Ended"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    ShellRun run;
    EXPECT_EQ(run.Run(c.act, c.refuse_display_window), 0);
    EXPECT_EQ(test::RoutineLogLines(), c.lines);
    EXPECT_EQ(run.display.window, nullptr);
    EXPECT_EQ(OpenDialog(), nullptr);
    if (c.refuse_display_window) {
      ASSERT_EQ(run.notifier.shown.size(), 1U);
      EXPECT_EQ(run.notifier.shown[0].text, "Failed To Create Window hWnd");
    }
  }
}

TEST(RunShellQt, TheLoopServicesARecordingUntilTheLimit) {
  ShellRun run;
  run.audio.ring.assign(kRingBytes, 128);
  run.ticks.now = 5000;
  const int code = run.Run([&run](MainDialog& dialog) {
    qobject_cast<QPushButton*>(dialog.Control(kRecButton))->click();
    run.audio.Capture(std::vector<std::uint8_t>(700, 128));
    // Later turns see the time pass; once the limit has stopped the
    // recording, close.
    auto* later = new QTimer(&dialog);
    QObject::connect(later, &QTimer::timeout, [&run, &dialog] {
      run.ticks.now += 5000;
      if (!run.notifier.shown.empty()) {
        dialog.close();
      }
    });
    later->start(30);
  });
  EXPECT_EQ(code, 0);
  ASSERT_EQ(run.notifier.shown.size(), 1U);
  EXPECT_EQ(run.notifier.shown[0].text, "Can Only Record 30 Second Clips");
  EXPECT_EQ(run.engine.GetSampleCount(), 700U);
  EXPECT_EQ(test::ReadBytes("tmp").size(), 744U);
}

}  // namespace
