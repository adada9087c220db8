// tambrix-analyze: the program's Load command for scripts and batch work.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/analyze_options.h"
#include "cli/clip_report.h"
#include "cli/live_run.h"
#include "engine/audio_devices.h"
#include "engine/clip_files.h"
#include "engine/notifier.h"
#include "engine/shot_table_csv.h"
#include "engine/sound_engine.h"
#include "log/event_log.h"
#include "tambrix_version.h"

namespace {

constexpr int kExitAllClips = 0;
constexpr int kExitSomeWithoutClip = 1;
constexpr int kExitUsage = 2;

// The program's message boxes have no place here: a file that gives no clip
// is reported by one line naming the reason instead.
class SilentNotifier final : public Notifier {
 public:
  void ShowMessage(std::string_view /*text*/, std::string_view /*caption*/) override {}
};

// Why a load gave no clip: the failure it logged last, else an empty clip.
void ReportNoClip(const std::string& file) {
  const std::string& reason = LastFailureEntry();
  std::fprintf(stderr, "tambrix-analyze: %s: %s\n", file.c_str(),
               reason.empty() ? "no samples" : reason.c_str());
}

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
  if (options.version) {
    std::printf("tambrix-analyze %s\n", kTambrixVersion);
    return kExitAllClips;
  }

  const RateUnit unit = options.milliseconds ? RateUnit::Ms : RateUnit::Bps;
  if (options.live) {
    return RunLive({options.files.front(), options.raw_rate, options.json, options.shots, unit});
  }

  SilentAudioSystem audio;
  SilentNotifier notifier;
  SoundEngine engine(&audio, &notifier);
  engine.chosen_detector = options.detector;
  int status = kExitAllClips;
  bool first = true;
  for (const std::string& file : options.files) {
    ClearLastFailureEntry();
    LoadClip(engine, file);
    if (!engine.HasData()) {
      status = kExitSomeWithoutClip;
      ReportNoClip(file);
    }
    if (options.csv) {
      std::fputs(ShotTableCsv(engine, file).c_str(), stdout);
    } else if (options.json) {
      std::printf("%s\n", JsonReport(engine, file, unit).c_str());
    } else {
      std::printf("%s%s", first ? "" : "\n", TextReport(engine, file, unit, options.shots).c_str());
    }
    std::fflush(stdout);
    first = false;
  }
  return status;
}
