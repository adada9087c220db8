#include "shell/file_chooser_qt.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeDatabase>
#include <QScreen>
#include <QStringList>
#include <QTreeView>

#include "engine/clip_files.h"
#include "shell/dialog_font_qt.h"

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

// Room for a folder's list with every column whole, where the screen has it.
constexpr QSize kChooserSize(720, 460);

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Filter(std::string_view name, const QString& patterns) {
  return FromView(name) + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

// Each extension in lower and upper case: cameras name files "CLIP0001.MP4".
QString AllLoadablePatterns() {
  QStringList patterns;
  for (const std::string& extension : LoadableExtensions()) {
    const QString lower = QString::fromStdString(extension);
    patterns << QStringLiteral("*.") + lower << QStringLiteral("*.") + lower.toUpper();
  }
  return patterns.join(QLatin1Char(' '));
}

}  // namespace

void ConfigureFileDialog(QFileDialog& dialog, const ChooserRequest& request) {
  dialog.setWindowTitle(FromView(request.title));
  QStringList filters;
  if (request.all_loadable_first) {
    filters << Filter(kAllLoadableFilterName, AllLoadablePatterns());
  }
  filters << Filter(request.filter_name, FromView(request.filter_pattern));
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  // A native dialog would list the folder its own way, reading files again.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Never destroyed: a dialog's file gatherer thread may outlive the dialog.
  static auto* const kIconProvider = new NameOnlyIconProvider;
  dialog.setIconProvider(kIconProvider);
  // A typed name is taken as typed: no extension is added.
  dialog.setDefaultSuffix(QString());
  dialog.setFont(DialogFont());
  // The list's columns start at widths for short names, sizes and dates,
  // and would cut longer ones.
  if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  }
  const QScreen* screen = dialog.screen();
  dialog.resize(screen == nullptr ? kChooserSize
                                  : kChooserSize.boundedTo(screen->availableGeometry().size()));
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
