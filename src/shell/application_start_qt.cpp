#include "shell/application_start_qt.h"

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/display_availability.h"
#include "shell/run_shell_qt.h"
#include "shell/shell_loop.h"

namespace {

constexpr const char* kNoDisplay =
    "tambrix: no display could be reached. Start it from a desktop session (DISPLAY or "
    "WAYLAND_DISPLAY naming a running display); tambrix-analyze measures a clip without one.\n";
constexpr const char* kToolkitFailed =
    "tambrix: the window system could not be started; tambrix-analyze measures a clip "
    "without one.\n";

QtMessageHandler previous_handler = nullptr;

// Qt aborts right after a fatal message; the program ends cleanly first.
void EndOnFatalMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  previous_handler(type, context, text);
  if (type == QtFatalMsg) {
    std::fputs(kToolkitFailed, stderr);
    std::_Exit(FailStartBeforeShell());
  }
}

bool XServerReachable(const std::string& display) {
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool reachable = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return reachable;
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
  if (!DisplayAvailable(Variable, XServerReachable)) {
    std::fputs(kNoDisplay, stderr);
    return nullptr;
  }
  previous_handler = qInstallMessageHandler(EndOnFatalMessage);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous_handler);
  ConfigureApplication();
  return application;
}
