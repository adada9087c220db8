#pragma once

#include <QString>

#include "shell/file_chooser.h"

class QFileDialog;

// The Load and Save choosers as modal file dialogs over the active window.
// Each opens where the previous one was confirmed.
class FileChooserQt final : public FileChooser {
 public:
  std::optional<std::string> Choose(const ChooserRequest& request) override;

 private:
  QString last_directory_;
};

// Sets up a file dialog for a request (kept apart so tests can look at it).
void ConfigureFileDialog(QFileDialog& dialog, const ChooserRequest& request);
