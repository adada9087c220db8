#include "shell/review_export.h"

#include <array>
#include <filesystem>

#include "engine/notifier.h"
#include "engine/shot_table_csv.h"
#include "riff/replacement_file.h"
#include "shell/chosen_path.h"
#include "shell/file_chooser.h"
#include "shell/shell_context.h"

namespace {

struct ExportFormat {
  ChooserRequest request;
  const char* extension;
};

constexpr std::array<ExportFormat, 4> kExportFormats = {{
    {{ChooserKind::Save, "Export Shot Table", "CSV (.csv)", "*.csv"}, ".csv"},
    {{ChooserKind::Save, "Save Rate Plot", "PNG image (.png)", "*.png"}, ".png"},
    {{ChooserKind::Save, "Save Split Histogram", "PNG image (.png)", "*.png"}, ".png"},
    {{ChooserKind::Save, "Save Waveform View", "PNG image (.png)", "*.png"}, ".png"},
}};

}  // namespace

std::optional<std::string> ChooseExportPath(ShellContext& context, ExportKind kind) {
  const ExportFormat& format = kExportFormats[static_cast<std::size_t>(kind)];
  std::optional<std::string> path = ChooseFile(context, format.request);
  RestoreStartDirectory(context);
  if (path && !std::filesystem::path(*path).has_extension()) {
    *path += format.extension;
  }
  return path;
}

bool ExportShotTable(ShellContext& context, const std::string& clip_name, const std::string& path) {
  const std::string csv = ShotTableCsv(context.engine, clip_name);
  ReplacementFile file(path);
  if (file.IsOpen()) {
    file.Write(csv.data(), csv.size());
  }
  if (!file.IsOpen() || !file.Commit()) {
    ReportExportFailure(context, path);
    return false;
  }
  return true;
}

void ReportExportFailure(ShellContext& context, const std::string& path) {
  context.services.notifier.ShowMessage("Could not write " + path, "");
}
