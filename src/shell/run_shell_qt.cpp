#include "shell/run_shell_qt.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QTimer>
#include <clocale>

#include "display/display_window.h"
#include "display/waveform_view.h"
#include "engine/sound_engine.h"
#include "shell/dialog_commands.h"
#include "shell/main_dialog_qt.h"
#include "shell/quit_signals_qt.h"
#include "shell/shell_context.h"
#include "shell/shell_loop.h"
#include "shell/shell_state.h"

namespace {

// How often a running recording is serviced.
constexpr int kRecordingTurnMs = 20;

// The main loop: Qt's event loop handles the windows; each turn ends by
// servicing a running recording and leaving once quit is requested.
class ShellLoop final : public QObject {
 public:
  explicit ShellLoop(ShellContext& context) : context_(context) {
    timer_.setInterval(kRecordingTurnMs);
    connect(&timer_, &QTimer::timeout, this, &ShellLoop::EndTurn);
  }

  void Run() {
    if (!context_.state.quit_requested) {
      loop_.exec();
    }
  }

  void EndTurn() {
    if (in_turn_) {
      return;  // a message box of this turn is open
    }
    in_turn_ = true;
    ServiceRecording(context_);
    in_turn_ = false;
    if (context_.state.quit_requested) {
      timer_.stop();
      loop_.exit(0);
    } else if (context_.engine.IsRecording()) {
      if (!timer_.isActive()) {
        timer_.start();
      }
    } else {
      timer_.stop();
    }
  }

  void ReceiveQuit() {
    ReceiveQuitMessage(context_);
    // Open message boxes and choosers are dismissed so the program can end.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isModal() && widget->isVisible()) {
        widget->close();
      }
    }
    QMetaObject::invokeMethod(this, &ShellLoop::EndTurn, Qt::QueuedConnection);
  }

 private:
  ShellContext& context_;
  QEventLoop loop_;
  QTimer timer_;
  bool in_turn_ = false;
};

}  // namespace

void ConfigureApplication() {
  QApplication::setApplicationName(QStringLiteral("tambrix"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tambrix.png")));
  // The main loop ends the program, not the last window closing.
  QApplication::setQuitOnLastWindowClosed(false);
  // QApplication takes the user's locale for the C library too; readouts and
  // labels print "%f" with a full stop, as the analyser and the logs do.
  std::setlocale(LC_NUMERIC, "C");
}

int RunShell(SoundEngine& engine, DisplayWindow& display, ShellServices& services) {
  ShellState state;
  WaveformView view;
  ShellContext context{state, engine, display, view, services};
  BeginShell(context);
  std::unique_ptr<MainDialog> dialog = CreateMainDialog(context);
  if (!dialog) {
    return FailShellStart();
  }
  dialog->show();

  ShellLoop loop(context);
  QObject::connect(dialog.get(), &MainDialog::CommandDone, &loop, &ShellLoop::EndTurn);
  const QuitSignalWatcher quit_signals([&loop] { loop.ReceiveQuit(); });
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, &loop, &ShellLoop::ReceiveQuit);
  loop.Run();
  if (!state.quit_requested) {
    // The event loop was ended from outside, as by the session ending.
    ReceiveQuitMessage(context);
  }
  const int exit_code = ShutdownShell(context);
  // The display's handler refers to this run's state; nothing may reach it
  // once the run is over.
  CloseDisplay(display);
  return exit_code;
}
