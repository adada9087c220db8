// Runs the real program on a private Xvfb server, finds its window, closes it
// the way a window manager would, and reads what it logged.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <string>

#include "support/test_support.h"

namespace {

const QString kWindowTool = QStringLiteral(TAMBRIX_SOURCE_DIR "/tests/shell/x11_window.py");

// An Xvfb server on a display number it picks itself; stopped on scope exit.
class VirtualDisplay {
 public:
  VirtualDisplay() : path_(QStandardPaths::findExecutable(QStringLiteral("Xvfb"))) {
    if (path_.isEmpty()) {
      return;
    }
    // The server writes its number to standard output once it is ready.
    server_.start(path_,
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    while (!server_.canReadLine() && server_.waitForReadyRead(15000)) {
    }
    const QByteArray number = server_.readLine().trimmed();
    if (!number.isEmpty()) {
      name_ = ":" + number.toStdString();
    }
  }
  ~VirtualDisplay() {
    server_.terminate();
    server_.waitForFinished(5000);
  }

  bool Found() const { return !path_.isEmpty(); }
  const std::string& Name() const { return name_; }

 private:
  QString path_;
  QProcess server_;
  std::string name_;
};

// The system's Python, which has the Debian package python3-xlib.
QString SystemPython() {
  const QString system =
      QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
  return system.isEmpty() ? QStringLiteral("python3") : system;
}

QString RunTool(const QStringList& arguments) {
  QProcess tool;
  tool.start(SystemPython(), QStringList{kWindowTool} + arguments);
  if (!tool.waitForFinished(30000) || tool.exitCode() != 0) {
    return {};
  }
  return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// Starts the program in `dir` with DISPLAY and QT_QPA_PLATFORM set as given
// (unset when empty) and no Wayland display.
void StartProgram(QProcess& program, const test::ScopedWorkDir& dir, const QString& display,
                  const QString& platform) {
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
  program.setWorkingDirectory(QString::fromStdString(dir.path().string()));
  program.start(QStringLiteral(TAMBRIX_PROGRAM_PATH), QStringList{});
}

TEST(ProgramOnXvfb, ShowsItsWindowAndEndsInOrderWhenClosed) {
  VirtualDisplay server;
  if (!server.Found()) {
    GTEST_SKIP() << "Xvfb is not installed";
  }
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
  const QString display = QString::fromStdString(server.Name());
  test::ScopedWorkDir dir;

  QProcess program;
  StartProgram(program, dir, display, QStringLiteral("xcb"));
  ASSERT_TRUE(program.waitForStarted(10000));

  const QStringList found =
      RunTool({QStringLiteral("find"), display, QStringLiteral("PC Tallyquin (TM)")})
          .split(QLatin1Char(' '));
  ASSERT_EQ(found.size(), 3) << program.readAllStandardError().toStdString();
  // With the display area open the window is far taller than the readouts.
  EXPECT_GT(found[2].toInt(), 400);

  ASSERT_TRUE(
      RunTool({QStringLiteral("close"), display, found[0]}).startsWith(QStringLiteral("closed")));
  const bool ended = program.waitForFinished(20000);
  if (!ended) {
    program.kill();
    program.waitForFinished(5000);
  }
  ASSERT_TRUE(ended);
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(
      test::RoutineLogLines(),
      (std::vector<std::string>{"TAMBRIX Started", "Display Window Destroyed", "TAMBRIX Ended"}));
}

TEST(ProgramWithoutDisplay, ExitsWithOneAndSaysWhy) {
  struct Case {
    const char* display;
    const char* platform;
    const char* says;
  };
  // No display, displays without a server, and a platform the toolkit lacks.
  for (const Case& c : {Case{"", "", "no display"}, Case{"garbage", "xcb", "no display"},
                        Case{"localhost:5", "", "no display"},
                        Case{"", "nonesuch", "window system could not be started"}}) {
    SCOPED_TRACE(std::string(c.display) + " " + c.platform);
    test::ScopedWorkDir dir;
    QProcess program;
    StartProgram(program, dir, QString::fromLatin1(c.display), QString::fromLatin1(c.platform));
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains(c.says));
    EXPECT_EQ(test::RoutineLogLines(),
              (std::vector<std::string>{"TAMBRIX Started", "Failed To Create Dialog"}));
  }
}

}  // namespace
