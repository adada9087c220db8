#include "shell/file_chooser_qt.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {

// Icons and type names from the file name alone. Qt's own provider reads a
// listed file's first bytes to tell its type, and reading some files (such
// as /proc/kmsg) blocks the program for good.
class NameOnlyIconProvider final : public QFileIconProvider {
 public:
  using QFileIconProvider::icon;
  QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
  QString type(const QFileInfo& info) const override {
    if (!info.isFile()) {
      return QFileIconProvider::type(info);
    }
    return mime_types_.mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
  }

 private:
  QMimeDatabase mime_types_;
};

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void ConfigureFileDialog(QFileDialog& dialog, const ChooserRequest& request) {
  dialog.setWindowTitle(FromView(request.title));
  dialog.setNameFilter(FromView(request.filter_name) + QStringLiteral(" (") +
                       FromView(request.filter_pattern) + QStringLiteral(")"));
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  // A native dialog would list the folder its own way, reading files again.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Never destroyed: a dialog's file gatherer thread may outlive the dialog.
  static auto* const icon_provider = new NameOnlyIconProvider;
  dialog.setIconProvider(icon_provider);
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
