#include "engine/detector.h"

#include "engine/analysis.h"
#include "engine/sound_engine.h"

namespace {

struct DetectorEntry {
  Detector detector;
  std::string_view name;
  bool (*detect)(SoundEngine&);
};
constexpr DetectorEntry kDetectors[] = {
    {Detector::Classic, "classic", &DetectShots},
    {Detector::Robust, "robust", &DetectShotsRobust},
};

const DetectorEntry& EntryOf(Detector detector) {
  return kDetectors[static_cast<std::size_t>(detector)];
}

}  // namespace

std::string_view DetectorName(Detector detector) { return EntryOf(detector).name; }

std::optional<Detector> DetectorNamed(std::string_view name) {
  for (const DetectorEntry& entry : kDetectors) {
    if (entry.name == name) {
      return entry.detector;
    }
  }
  return std::nullopt;
}

bool DetectShotsWith(SoundEngine& engine, Detector detector) {
  engine.detector = detector;
  return EntryOf(detector).detect(engine);
}

bool AnalyseAgain(SoundEngine& engine, Detector detector) {
  ClearAnalysis(engine);
  return MeasureClipQuality(engine) && DetectShotsWith(engine, detector);
}
