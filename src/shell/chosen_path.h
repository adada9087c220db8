#pragma once

#include <optional>
#include <string>

struct ChooserRequest;
struct ShellContext;

// The path the user confirmed, or nothing when cancelled or too long to fit.
// The chooser may have left another current directory.
std::optional<std::string> ChooseFile(ShellContext& context, const ChooserRequest& request);

// Back to the directory the program started in, where the logs go.
void RestoreStartDirectory(const ShellContext& context);
