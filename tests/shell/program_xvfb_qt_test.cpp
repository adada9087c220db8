// Runs the real program: on a private Xvfb server, where its window is found
// and closed the way a window manager would, and without a display.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "shell/dialog_template.h"
#include "support/test_support.h"

namespace {

// python3-xlib is a Debian package, so the system's Python.
QString RunWindowTool(const QStringList& arguments) {
  QProcess tool;
  tool.start(
      QStringLiteral("/usr/bin/python3"),
      QStringList{QStringLiteral(TAMBRIX_SOURCE_DIR "/tests/shell/x11_window.py")} + arguments);
  tool.waitForFinished(30000);
  return tool.exitCode() == 0 ? QString::fromUtf8(tool.readAllStandardOutput()).trimmed()
                              : QString();
}

// Starts the program in the current directory with DISPLAY and
// QT_QPA_PLATFORM as given (unset when empty) and no Wayland display.
void StartProgram(QProcess& program, const QString& display, const QString& platform) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  for (const auto& [name, value] : {std::pair{QStringLiteral("DISPLAY"), display},
                                    std::pair{QStringLiteral("QT_QPA_PLATFORM"), platform}}) {
    environment.remove(name);
    if (!value.isEmpty()) {
      environment.insert(name, value);
    }
  }
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(TAMBRIX_PROGRAM_PATH), QStringList{});
}

TEST(ProgramOnXvfb, ShowsItsWindowAndEndsInOrderWhenClosed) {
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (xvfb.isEmpty()) {
    GTEST_SKIP() << "Xvfb is not installed";
  }
  QProcess server;  // writes its display number once ready
  server.start(xvfb, QStringLiteral("-displayfd 1 -screen 0 1024x768x24 -nolisten tcp").split(' '));
  while (!server.canReadLine() && server.waitForReadyRead(15000)) {
  }
  const QString display = QStringLiteral(":") + QString::fromLatin1(server.readLine().trimmed());
  ASSERT_GT(display.size(), 1) << "Xvfb did not start";
  test::ScopedWorkDir dir;
  QProcess program;
  StartProgram(program, display, QStringLiteral("xcb"));
  const QString caption = QString::fromUtf8(kDialogCaption.data(), kDialogCaption.size());
  const QStringList found =
      RunWindowTool({QStringLiteral("find"), display, caption}).split(QLatin1Char(' '));
  ASSERT_EQ(found.size(), 3) << program.readAllStandardError().toStdString();
  EXPECT_GT(found[2].toInt(), 400);  // the display area is open
  EXPECT_TRUE(RunWindowTool({QStringLiteral("close"), display, found[0]}).startsWith("closed"));
  if (!program.waitForFinished(20000)) {
    program.kill();
    program.waitForFinished(5000);
    FAIL() << "the program did not end";
  }
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(
      test::RoutineLogLines(),
      (std::vector<std::string>{"TAMBRIX Started", "Display Window Destroyed", "TAMBRIX Ended"}));
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
    StartProgram(program, QString::fromLatin1(display), QString::fromLatin1(platform));
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains(says));
    EXPECT_EQ(test::RoutineLogLines(),
              (std::vector<std::string>{"TAMBRIX Started", "Failed To Create Dialog"}));
  }
}

}  // namespace
