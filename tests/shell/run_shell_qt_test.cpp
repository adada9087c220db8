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
#include "support/fake_audio_system.h"

namespace {

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
struct ShellRun {
  int Run(std::function<void(MainDialog&)> act) {
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
    return RunShell(engine, display, services);
  }

  test::ScopedWorkDir dir;
  test::FakeAudioSystem audio;
  test::RecordingNotifier notifier;
  test::FakeChooser chooser;
  test::FakeTicks ticks;
  DisplayPlatformQt platform;
  ShellServices services{chooser, notifier, ticks, platform};
  SoundEngine engine{&audio, &notifier};
  DisplayWindow display = ProgramDisplayWindow();
};

TEST(RunShellQt, ClosingTheDialogEndsTheProgramInOrder) {
  ShellRun run;
  const int code = run.Run([](MainDialog& dialog) { dialog.close(); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(
      test::RoutineLogLines(),
      (std::vector<std::string>{"TAMBRIX Started", "Display Window Destroyed", "TAMBRIX Ended"}));
  EXPECT_EQ(run.display.window, nullptr);
  EXPECT_EQ(OpenDialog(), nullptr);
}

TEST(RunShellQt, ATerminationSignalIsTheQuitMessage) {
  ShellRun run;
  const int code = run.Run([](MainDialog&) { std::raise(SIGTERM); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(test::RoutineLogLines(),
            (std::vector<std::string>{"TAMBRIX Started", "Recieved Done Message, Exiting Loop",
                                      "Display Window Destroyed", "TAMBRIX Ended"}));
}

TEST(RunShellQt, WithoutADisplayWindowShutdownSaysSo) {
  ShellRun run;
  test::FakeDisplayPlatform refusing;
  refusing.refuse_window = true;
  ShellServices services{run.chooser, run.notifier, run.ticks, refusing};
  QTimer::singleShot(50, [] {
    if (MainDialog* dialog = OpenDialog()) {
      dialog->close();
    }
  });
  EXPECT_EQ(RunShell(run.engine, run.display, services), 0);
  EXPECT_EQ(test::RoutineLogLines(),
            (std::vector<std::string>{"TAMBRIX Started", "Display Window Failed To Destroy",
                                      "TAMBRIX Ended"}));
  ASSERT_EQ(run.notifier.shown.size(), 1U);
  EXPECT_EQ(run.notifier.shown[0].text, "Failed To Create Window hWnd");
}

TEST(RunShellQt, TheLoopServicesARecordingUntilTheLimit) {
  ShellRun run;
  run.audio.script.ring.assign(kRingBytes, 128);
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
