#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a call on the event loop's thread,
// through a pipe that the signal handler writes one byte to; a second one
// ends the process at once, even while the loop is blocked. One watcher at
// a time; the previous handlers come back when it goes.
class QuitSignalWatcher final : public QObject {
  Q_OBJECT
 public:
  explicit QuitSignalWatcher(std::function<void()> on_quit);
  ~QuitSignalWatcher() override;
  QuitSignalWatcher(const QuitSignalWatcher&) = delete;
  QuitSignalWatcher& operator=(const QuitSignalWatcher&) = delete;

 private:
  void OnReadable();
  std::function<void()> on_quit_;
  QSocketNotifier* notifier_ = nullptr;
};
