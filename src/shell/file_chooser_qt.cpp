#include "shell/file_chooser_qt.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void ConfigureFileDialog(QFileDialog& dialog, const ChooserRequest& request) {
  dialog.setWindowTitle(FromView(request.title));
  dialog.setNameFilter(FromView(request.filter_name) + QStringLiteral(" (") +
                       FromView(request.filter_pattern) + QStringLiteral(")"));
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  // A typed name is taken as typed: no extension is added.
  dialog.setDefaultSuffix(QString());
  if (request.kind == ChooserKind::Open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    // A new name in an existing folder is accepted; overwriting a file asks
    // first.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  }
}

std::optional<std::string> FileChooserQt::Choose(const ChooserRequest& request) {
  if (QApplication::instance() == nullptr) {
    return std::nullopt;
  }
  if (last_directory_.isEmpty() || !QDir(last_directory_).exists()) {
    last_directory_ = QDir::currentPath();
  }
  QFileDialog dialog(QApplication::activeWindow(), QString(), last_directory_);
  ConfigureFileDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  const QString chosen = dialog.selectedFiles().front();
  last_directory_ = QFileInfo(chosen).absolutePath();
  return QFile::encodeName(chosen).toStdString();
}
