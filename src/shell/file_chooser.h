#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class ChooserKind : std::uint8_t { Open, Save };

// One file chooser as the Load and Save commands ask for it: the title, one
// filter (its name and pattern), whether a filter of every file the program
// loads comes before it, and whether the chosen file must exist.
struct ChooserRequest {
  ChooserKind kind = ChooserKind::Open;
  std::string_view title;
  std::string_view filter_name;
  std::string_view filter_pattern;
  bool all_loadable_first = false;
};

inline constexpr std::string_view kChooserTitle = "Select The wav File";
inline constexpr std::string_view kAllLoadableFilterName = "All sound and video files";
inline constexpr ChooserRequest kLoadChooser{ChooserKind::Open, kChooserTitle,
                                             "Sound - WAVE (.wav)", "*.wav", true};
inline constexpr ChooserRequest kSaveChooser{ChooserKind::Save, kChooserTitle, "wav", "*.wav"};
// Longest path the choosers hand back; a longer one counts as a failed choice.
inline constexpr std::size_t kMaxChosenPathLength = 254;

// The Load and Save file choosers. Open accepts only existing files; Save
// accepts a new name in an existing folder and adds no extension. Either may
// change the current directory.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> Choose(const ChooserRequest& request) = 0;
};
