#include "shell/quit_signals_qt.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace {

constexpr std::array<int, 3> kQuitSignals{SIGINT, SIGTERM, SIGHUP};
std::array<int, 2> signal_pipe{-1, -1};
std::array<struct sigaction, kQuitSignals.size()> previous_actions{};
volatile std::sig_atomic_t quit_requested = 0;

extern "C" void WriteQuitByte(int signal_number) {
  if (quit_requested != 0) {
    // The loop has not ended after the first request, maybe because it is
    // blocked: the default action ends the process once this handler returns.
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
    return;
  }
  quit_requested = 1;
  const int saved_errno = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signal_pipe[1], &byte, 1);
  errno = saved_errno;
}

}  // namespace

QuitSignalWatcher::QuitSignalWatcher(std::function<void()> on_quit) : on_quit_(std::move(on_quit)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signal_pipe.data()) !=
      0) {
    signal_pipe = {-1, -1};
    return;
  }
  quit_requested = 0;
  notifier_ = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignalWatcher::OnReadable);
  struct sigaction action {};
  action.sa_handler = WriteQuitByte;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kQuitSignals.size(); ++i) {
    sigaction(kQuitSignals[i], &action, &previous_actions[i]);
  }
}

QuitSignalWatcher::~QuitSignalWatcher() {
  if (signal_pipe[0] < 0) {
    return;
  }
  for (std::size_t i = 0; i < kQuitSignals.size(); ++i) {
    sigaction(kQuitSignals[i], &previous_actions[i], nullptr);
  }
  delete notifier_;
  ::close(signal_pipe[0]);
  ::close(signal_pipe[1]);
  signal_pipe = {-1, -1};
}

void QuitSignalWatcher::OnReadable() {
  std::array<char, 64> drained{};
  while (::read(signal_pipe[0], drained.data(), drained.size()) > 0) {
  }
  if (on_quit_) {
    on_quit_();
  }
}
