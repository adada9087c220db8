// tambrix-analyze: the program's Load command for scripts and batch work.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/analyze_options.h"
#include "cli/clip_report.h"
#include "engine/audio_devices.h"
#include "engine/clip_files.h"
#include "engine/notifier.h"
#include "engine/sound_engine.h"

namespace {

constexpr int kExitAllClips = 0;
constexpr int kExitSomeWithoutClip = 1;
constexpr int kExitUsage = 2;

// The message boxes of the program become lines on stderr, naming the file.
class StderrNotifier final : public Notifier {
 public:
  void ShowMessage(std::string_view text, std::string_view caption) override {
    std::fprintf(stderr, "tambrix-analyze: %s: %.*s%s%.*s\n", current_file.c_str(),
                 static_cast<int>(caption.size()), caption.data(), caption.empty() ? "" : ": ",
                 static_cast<int>(text.size()), text.data());
  }
  std::string current_file;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const AnalyzeOptions options = ParseAnalyzeOptions(arguments);
  if (!options.error.empty()) {
    std::fprintf(stderr, "tambrix-analyze: %s\n\n%s", options.error.c_str(), kAnalyzeUsage);
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(kAnalyzeUsage, stdout);
    return kExitAllClips;
  }

  SilentAudioSystem audio;
  StderrNotifier notifier;
  SoundEngine engine(&audio, &notifier);
  int status = kExitAllClips;
  bool first = true;
  for (const std::string& file : options.files) {
    notifier.current_file = file;
    LoadClip(engine, file);
    if (!engine.HasData()) {
      status = kExitSomeWithoutClip;
    }
    if (options.json) {
      std::printf("%s\n", JsonReport(engine, file, options.milliseconds).c_str());
    } else {
      std::printf("%s%s", first ? "" : "\n",
                  TextReport(engine, file, options.milliseconds, options.shots).c_str());
    }
    std::fflush(stdout);
    first = false;
  }
  return status;
}
