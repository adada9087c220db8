#include "shell/chosen_path.h"

#include <filesystem>
#include <system_error>

#include "shell/file_chooser.h"
#include "shell/shell_context.h"
#include "shell/shell_state.h"

std::optional<std::string> ChooseFile(ShellContext& context, const ChooserRequest& request) {
  std::optional<std::string> chosen = context.services.chooser.Choose(request);
  if (!chosen || chosen->empty() || chosen->size() > kMaxChosenPathLength) {
    return std::nullopt;
  }
  return chosen;
}

void RestoreStartDirectory(const ShellContext& context) {
  std::error_code ignored;
  std::filesystem::current_path(context.state.start_directory, ignored);
}
