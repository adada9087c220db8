// Runs the real program on a private Xvfb server, finds its window, closes it
// the way a window manager would, and reads what it logged.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <string>

#include "support/test_support.h"

extern char** environ;

namespace {

const QString kWindowTool = QStringLiteral(TAMBRIX_SOURCE_DIR "/tests/shell/x11_window.py");

// An Xvfb server on a display number it picks itself; stopped on scope exit.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
      return;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      return;
    }
    // The write end is handed to the server, which writes its number there.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    const std::string path = xvfb.toStdString();
    std::vector<std::string> args{path, "-displayfd",  "3",         "-screen",
                                  "0",  "1024x768x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    while (pid_ > 0 && poll(&ready, 1, 15000) > 0) {
      char c = 0;
      if (read(fds[0], &c, 1) != 1 || c == '\n') {
        break;
      }
      number.push_back(c);
    }
    close(fds[0]);
    if (!number.empty()) {
      name_ = ":" + number;
    }
  }
  ~VirtualDisplay() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  bool Found() const { return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty(); }
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
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

TEST(ProgramOnXvfb, ShowsItsWindowAndEndsInOrderWhenClosed) {
  VirtualDisplay server;
  if (!server.Found()) {
    GTEST_SKIP() << "Xvfb is not installed";
  }
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
  const QString display = QString::fromStdString(server.Name());
  test::ScopedWorkDir dir;

  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), display);
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  program.setProcessEnvironment(environment);
  program.setWorkingDirectory(QString::fromStdString(dir.path().string()));
  program.start(QStringLiteral(TAMBRIX_PROGRAM_PATH), QStringList{});
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
  test::ScopedWorkDir dir;
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(QString::fromLatin1(name));
  }
  program.setProcessEnvironment(environment);
  program.setWorkingDirectory(QString::fromStdString(dir.path().string()));
  program.start(QStringLiteral(TAMBRIX_PROGRAM_PATH), QStringList{});
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_TRUE(program.readAllStandardError().contains("no display"));
  EXPECT_EQ(test::RoutineLogLines(),
            (std::vector<std::string>{"TAMBRIX Started", "Failed To Create Dialog"}));
}

}  // namespace
