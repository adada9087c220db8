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

void Rec(test::ShellParts& parts, MainDialog& dialog, std::uint32_t bytes) {
  qobject_cast<QPushButton*>(dialog.Control(kRecButton))->click();
  parts.audio.Capture(std::vector<std::uint8_t>(bytes, 128));
}

struct ShutdownRow {
  const char* how;
  std::function<void(test::ShellParts&, MainDialog&)> act;
  bool quit_message;
  std::size_t tmp_size;
};

const ShutdownRow kShutdowns[] = {
    {"closed", [](test::ShellParts&, MainDialog& d) { d.close(); }, false, 0},
    {"SIGTERM", [](test::ShellParts&, MainDialog&) { std::raise(SIGTERM); }, true, 0},
    // A later run's first signal is a first one again.
    {"SIGINT", [](test::ShellParts&, MainDialog&) { std::raise(SIGINT); }, true, 0},
    // "tmp" is finished but not loaded: no reader lines.
    {"closed while recording",
     [](test::ShellParts& p, MainDialog& d) {
       Rec(p, d, 250);
       d.close();
     },
     false, 294},
    // The loop's turns see the time pass until the limit stops the recording.
    {"closed after the limit",
     [](test::ShellParts& p, MainDialog& d) {
       Rec(p, d, 700);
       auto* later = new QTimer(&d);
       QObject::connect(later, &QTimer::timeout, [&p, &d] {
         p.ticks.now += 5000;
         if (!p.notifier.shown.empty()) {
           d.close();
         }
       });
       later->start(30);
     },
     false, 744},
};

TEST(RunShellQt, EndsInOrder) {
  for (const ShutdownRow& row : kShutdowns) {
    SCOPED_TRACE(row.how);
    test::ShellParts parts;
    QTimer starter;  // acts once the dialog is open, however late
    QObject::connect(&starter, &QTimer::timeout, [&] {
      if (MainDialog* dialog = OpenDialog()) {
        starter.stop();
        row.act(parts, *dialog);
      }
    });
    starter.start(20);
    EXPECT_EQ(RunShell(parts.engine, parts.display, parts.services), 0);
    Lines lines = test::RoutineLogLines();
    if (row.tmp_size == 744) {  // the recording was loaded: drop the reader's lines
      lines.erase(lines.begin() + 1, lines.end() - 2);
    }
    Lines expected{"TAMBRIX Started", "Display Window Destroyed", "TAMBRIX Ended"};
    if (row.quit_message) {
      expected.insert(expected.begin() + 1, "Recieved Done Message, Exiting Loop");
    }
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(test::ReadBytes("tmp").size(), row.tmp_size);
    EXPECT_EQ(parts.display.window, nullptr);
    EXPECT_EQ(OpenDialog(), nullptr);
  }
}

}  // namespace
