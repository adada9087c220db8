#include "shell/run_shell_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <csignal>

#include "shell/control_ids.h"
#include "shell/main_dialog_qt.h"
#include "shell/qt_shell_harness.h"

namespace {

MainDialog* OpenDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<MainDialog*>(widget); dialog && dialog->isVisible()) {
      return dialog;
    }
  }
  return nullptr;
}

// Ended by SIGINT, or closed during a recording of `bytes`: "tmp" is finished
// but not loaded (no reader lines).
TEST(RunShellQt, EndsInOrder) {
  for (const auto& [signal, bytes] : {std::pair{SIGINT, 0U}, std::pair{0, 250U}}) {
    test::ShellParts parts;
    QTimer starter;  // acts once the dialog is open, however late
    QObject::connect(&starter, &QTimer::timeout, [&, signal = signal, bytes = bytes] {
      if (MainDialog* dialog = OpenDialog()) {
        starter.stop();
        if (bytes > 0) {
          qobject_cast<QPushButton*>(dialog->Control(kRecButton))->click();
          parts.audio.Capture(std::vector<std::uint8_t>(bytes, 128));
        }
        signal != 0 ? static_cast<void>(std::raise(signal)) : static_cast<void>(dialog->close());
      }
    });
    starter.start(20);
    EXPECT_EQ(RunShell(parts.engine, parts.display, parts.services), 0);
    std::vector<std::string> expected{"TAMBRIX Started", "Display Window Destroyed",
                                      "TAMBRIX Ended"};
    if (signal != 0) {
      expected.insert(expected.begin() + 1, "Recieved Done Message, Exiting Loop");
    }
    EXPECT_EQ(test::RoutineLogLines(), expected) << signal;
    EXPECT_EQ(test::ReadBytes("tmp").size(), bytes > 0 ? bytes + 44 : 0);
    EXPECT_EQ(parts.display.window, nullptr);
    EXPECT_EQ(OpenDialog(), nullptr);
  }
}

}  // namespace
