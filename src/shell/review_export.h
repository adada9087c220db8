#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct ShellContext;

// What the shot review exports: the table as CSV, each plot and the
// waveform view as PNG.
enum class ExportKind : std::uint8_t { ShotTable, RatePlot, SplitHistogram, Waveform };

// Asks where to export, through the program's Save chooser, then goes back
// to the start directory. A name without an extension gets the kind's
// (".csv" or ".png"). Nothing when cancelled.
std::optional<std::string> ChooseExportPath(ShellContext& context, ExportKind kind);

// The held clip's shot table as CSV (named after `clip_name`) written whole
// to `path`, or nothing written and a message naming the path.
bool ExportShotTable(ShellContext& context, const std::string& clip_name, const std::string& path);

// The message shown when an export could not be written.
void ReportExportFailure(ShellContext& context, const std::string& path);
