#pragma once

// The real main dialog and display widget over the shell's fake chooser,
// notifier and ticks.

#include <QCoreApplication>
#include <memory>

#include "display/display_widget_qt.h"
#include "shell/main_dialog_qt.h"
#include "shell/shell_fakes.h"

namespace test {

struct QtShellHarness : ShellParts<DisplayPlatformQt> {
  explicit QtShellHarness(AudioSystem* other_audio = nullptr) : ShellParts(other_audio) {
    dialog = CreateMainDialog(context);
    dialog->show();
    Settle();
  }
  ~QtShellHarness() {
    Destroy(display);
    dialog.reset();
  }

  // Lets posted work (check states, the Display command, repaints) run.
  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
    }
  }
  DisplayWidget* Display() const {
    return dialog->findChild<DisplayWidget*>(QStringLiteral("TAMBRIXDisplayClass"));
  }
  template <typename Widget>
  Widget* Control(int id) const {
    return qobject_cast<Widget*>(dialog->Control(id));
  }

  std::unique_ptr<MainDialog> dialog;
};

}  // namespace test
