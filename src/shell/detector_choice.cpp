#include "shell/detector_choice.h"

#include <algorithm>
#include <cstdint>

#include "engine/sound_engine.h"
#include "shell/dialog_commands.h"
#include "shell/shell_context.h"

namespace {

// Counts further apart than this share of the larger one disagree strongly.
constexpr std::uint32_t kDisagreementTenths = 1;

std::string Named(Detector detector) { return std::string(DetectorName(detector)) + " detector"; }

Detector Other(Detector detector) {
  return detector == Detector::Classic ? Detector::Robust : Detector::Classic;
}

// A clip held, not being recorded, analysed again and shown.
void ShowAnalysedWith(ShellContext& context, Detector detector) {
  if (context.engine.HasData() && !context.engine.IsRecording()) {
    AnalyseAgain(context.engine, detector);
    ShowNewClip(context);
  }
}

}  // namespace

DetectorMark MarkFor(const SoundEngine& engine) {
  if (!engine.HasData()) {
    return {};
  }
  DetectorMark mark{Named(engine.detector)};
  if (engine.detector != Detector::Classic) {
    return mark;
  }
  const auto robust = static_cast<std::uint32_t>(
      RobustShotPositions(engine.samples->data(), HeldSampleCount(engine), engine.sample_rate)
          .size());
  const std::uint32_t classic = engine.shot_list_count;
  const std::uint32_t larger = std::max(robust, classic);
  if ((larger - std::min(robust, classic)) * 10 > larger * kDisagreementTenths) {
    mark.text += ": " + std::to_string(classic) + " shots. The robust detector finds " +
                 std::to_string(robust) + ": show them";
    mark.offers_other = true;
  }
  return mark;
}

void ChooseDetector(ShellContext& context, Detector detector) {
  context.engine.chosen_detector = detector;
  if (context.engine.detector != detector) {
    ShowAnalysedWith(context, detector);
  }
}

void ShowOtherDetectorResult(ShellContext& context) {
  ShowAnalysedWith(context, Other(context.engine.detector));
}
