// Runs the real program: on a private Xvfb server, where xwininfo (x11-utils)
// finds its window and SIGTERM ends it, and without a reachable display.

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include "shell/dialog_template.h"
#include "support/test_support.h"

namespace {

using Lines = std::vector<std::string>;

// Starts the program in the current directory with DISPLAY and
// QT_QPA_PLATFORM as given (empty as unset) and no Wayland display.
void StartProgram(QProcess& program, const QString& display, const QString& platform) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("WAYLAND_DISPLAY", "");
  environment.insert("DISPLAY", display);
  environment.insert("QT_QPA_PLATFORM", platform);
  program.setProcessEnvironment(environment);
  program.start(TAMBRIX_PROGRAM_PATH, {});
}

TEST(ProgramOnXvfb, ShowsItsWindowAndEndsInOrderOnSigterm) {
  QProcess server;  // writes its display number once ready
  server.start("Xvfb", QString("-displayfd 1 -screen 0 1024x768x24 -nolisten tcp").split(' '));
  while (!server.canReadLine() && server.waitForReadyRead(15000)) {
  }
  const QString display = ":" + QString::fromLatin1(server.readLine().trimmed());
  ASSERT_GT(display.size(), 1) << "Xvfb did not start";
  test::ScopedWorkDir dir;
  QProcess program;
  StartProgram(program, display, "xcb");
  const QString caption = QString::fromUtf8(kDialogCaption.data(), kDialogCaption.size());
  QString window;  // xwininfo's account of the window, once it is mapped
  for (int tries = 0; tries < 100 && !window.contains("IsViewable"); ++tries, QTest::qWait(200)) {
    QProcess info;
    info.start("xwininfo", {"-display", display, "-name", caption});
    info.waitForFinished(10000);
    window = QString::fromUtf8(info.readAllStandardOutput());
  }
  EXPECT_TRUE(window.contains("Map State: IsViewable")) << program.readAllStandardError().data();
  // The display area is open below the controls.
  EXPECT_GT(QRegularExpression("Height: (\\d+)").match(window).captured(1).toInt(), 400)
      << window.toStdString();
  program.terminate();
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(test::RoutineLogLines(),
            (Lines{"TAMBRIX Started", "Recieved Done Message, Exiting Loop",
                   "Display Window Destroyed", "TAMBRIX Ended"}));
  server.terminate();
  server.waitForFinished(5000);
}

TEST(ProgramWithoutDisplay, ExitsWithOneAndSaysWhy) {
  // No display, displays without a server, and a platform the toolkit lacks.
  for (const auto& [display, platform, says] :
       {std::tuple{"", "", "no display"}, std::tuple{"garbage", "xcb", "no display"},
        std::tuple{"localhost:5", "", "no display"},
        std::tuple{"", "nonesuch", "window system could not be started"}}) {
    SCOPED_TRACE(std::string(display) + " " + platform);
    test::ScopedWorkDir dir;
    QProcess program;
    StartProgram(program, display, platform);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains(says));
    EXPECT_EQ(test::RoutineLogLines(), (Lines{"TAMBRIX Started", "Failed To Create Dialog"}));
  }
}

}  // namespace
