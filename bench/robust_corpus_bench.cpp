// Accuracy of the robust detector on a generated corpus of marker recordings
// (tests/support/shot_corpus.h), each clip as a WAVE file and through AAC, MP3
// and Opus at 64 and 128 kbit/s, mono and stereo (FFmpeg's encoders, through
// the ffmpeg command), loaded as the program loads it. Beside it, the classic
// detector and, when the aubioonset command is there (package aubio-tools),
// aubio's default onset detector on the decoded sound. Then the detector's
// speed on a 10-minute 48 kHz clip. Exit status 1 when a bar is missed.
// Usage: robust_corpus_bench [clips-per-combination [first-seed]] (2 and 0
// by default; other seeds give a corpus of other clips)

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/clip_files.h"
#include "engine/detector.h"
#include "engine/sound_engine.h"
#include "support/riff_bytes.h"
#include "support/shot_corpus.h"
#include "support/test_support.h"

namespace {

struct Coding {
  const char* name;
  const char* encoder;  // empty: the WAVE file itself
  const char* extension;
};
constexpr Coding kCodings[] = {
    {"wave", "", "wav"},
    {"aac 64", "-c:a aac -b:a 64k", "m4a"},
    {"aac 128", "-c:a aac -b:a 128k", "m4a"},
    {"mp3 64", "-c:a libmp3lame -b:a 64k", "mp3"},
    {"mp3 128", "-c:a libmp3lame -b:a 128k", "mp3"},
    {"opus 64", "-c:a libopus -b:a 64k", "opus"},
    {"opus 128", "-c:a libopus -b:a 128k", "opus"},
};
constexpr std::uint32_t kRates[] = {8000, 16000, 22050, 44100, 48000};
constexpr double kShotsPerSecond[] = {3, 8, 12, 18, 25, 30, 35};
constexpr double kClipSeconds = 8;
constexpr double kRecallBar = 0.995;
constexpr double kPrecisionBar = 0.995;
// Recall and precision are bars for every condition and coding; timing is a
// bar for all shots together.
constexpr double kTimingBar = 0.99;

using test::Match;
using test::Score;

bool MeetsBars(const Score& score, bool all_shots) {
  return score.Recall() >= kRecallBar && score.Precision() >= kPrecisionBar &&
         (!all_shots || score.Timing() >= kTimingBar);
}

std::vector<double> EngineShots(const SoundEngine& engine) {
  std::vector<double> times;
  for (const ShotRecord& shot : engine.shots) {
    times.push_back(1.0 * shot.position / engine.sample_rate);
  }
  return times;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// aubio's default buffer (512 samples, hop 256) at 48 kHz, kept in time at
// lower rates (a power of two, as its transform needs).
std::vector<double> AubioOnsets(const std::string& file, std::uint32_t rate) {
  std::uint32_t buffer = 512;
  while (buffer > 64 && buffer * 48000U / 2 >= rate * 512U) {
    buffer /= 2;
  }
  std::vector<double> times;
  if (!Run("ffmpeg -nostdin -v error -y -i " + file +
           " -af 'pan=mono|c0=c0' -c:a pcm_s16le aubio.wav && aubioonset -i aubio.wav -B " +
           std::to_string(buffer) + " -H " + std::to_string(buffer / 2) +
           " > onsets.txt 2>/dev/null")) {
    return times;
  }
  std::FILE* onsets = std::fopen("onsets.txt", "r");
  for (double time = 0; onsets != nullptr && std::fscanf(onsets, "%lf", &time) == 1;) {
    times.push_back(time);
  }
  if (onsets != nullptr) {
    std::fclose(onsets);
  }
  return times;
}

struct Scores {
  Score robust, classic, aubio;
};

void Print(const char* title, const std::map<std::string, Scores>& table, bool with_aubio,
           bool all_shots = false) {
  std::printf("\n%-18s %8s | %-26s | %-26s%s\n", title, "shots", "robust: recall prec 1ms",
              "classic: recall prec 1ms", with_aubio ? " | aubioonset: recall prec 1ms" : "");
  for (const auto& [name, s] : table) {
    std::printf("%-18s %8zu | %7.2f%% %7.2f%% %7.2f%% | %7.2f%% %7.2f%% %7.2f%%", name.c_str(),
                s.robust.truth, 100 * s.robust.Recall(), 100 * s.robust.Precision(),
                100 * s.robust.Timing(), 100 * s.classic.Recall(), 100 * s.classic.Precision(),
                100 * s.classic.Timing());
    if (with_aubio) {
      std::printf(" | %7.2f%% %7.2f%% %7.2f%%", 100 * s.aubio.Recall(), 100 * s.aubio.Precision(),
                  100 * s.aubio.Timing());
    }
    std::printf("%s%s\n", MeetsBars(s.robust, all_shots) ? "" : "   <- below a bar",
                s.robust.Timing() >= kTimingBar ? "" : "   (1 ms: under 99 % in this row)");
  }
}

double SpeedTimesRealTime() {
  const test::ShotClip clip = test::MakeShotClip(test::Condition::Noisy20, 48000, 15, 600, 1);
  SoundEngine engine(nullptr, nullptr);
  test::WriteBytes("long.wav", test::MakeWave16(clip.rate, clip.left));
  LoadClip(engine, "long.wav");
  const auto started = std::chrono::steady_clock::now();
  constexpr int kRounds = 5;
  for (int round = 0; round < kRounds; ++round) {
    engine.shots.clear();
    engine.shot_list_count = 0;
    DetectShotsRobust(engine);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  return 600.0 * kRounds / took.count();
}

}  // namespace

int main(int argc, char** argv) {
  const int per_combination = argc > 1 ? std::atoi(argv[1]) : 2;
  const bool with_aubio = Run("command -v aubioonset >/dev/null");
  test::ScopedWorkDir dir;
  SoundEngine engine(nullptr, nullptr);
  std::map<std::string, Scores> by_condition, by_coding;
  Scores overall;
  std::uint32_t seed = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 0;
  const std::uint32_t first_seed = seed;
  for (const test::ConditionTraits& condition : test::kConditions) {
    for (const Coding& coding : kCodings) {
      for (const bool stereo : {false, true}) {
        for (int n = 0; n < per_combination; ++n, ++seed) {
          const std::uint32_t rate = kRates[seed % std::size(kRates)];
          const double bps = kShotsPerSecond[seed % std::size(kShotsPerSecond)];
          const test::ShotClip clip =
              test::MakeShotClip(condition.condition, rate, bps, kClipSeconds, seed);
          test::WriteBytes("source.wav",
                           test::MakeWave16(rate, test::Interleaved(clip, stereo), stereo ? 2 : 1));
          std::string file = "source.wav";
          if (*coding.encoder != '\0') {
            file = std::string("coded.") + coding.extension;
            if (!Run("ffmpeg -nostdin -v error -y -i source.wav " + std::string(coding.encoder) +
                     " " + file)) {
              std::fprintf(stderr, "encoding failed: %s at %u Hz\n", coding.name, rate);
              return 2;
            }
          }
          std::vector<double> truth;
          for (const std::uint32_t start : clip.truth) {
            truth.push_back(1.0 * start / rate);
          }
          Scores scores;
          engine.chosen_detector = Detector::Robust;
          LoadClip(engine, file);
          scores.robust = Match(truth, EngineShots(engine));
          DetectShotsWith(engine, Detector::Classic);  // on the same samples
          engine.chosen_detector = Detector::Classic;
          LoadClip(engine, file);
          scores.classic = Match(truth, EngineShots(engine));
          if (with_aubio) {
            scores.aubio = Match(truth, AubioOnsets(file, rate));
          }
          for (Scores* into :
               {&by_condition[condition.name],
                &by_coding[std::string(coding.name) + (stereo ? " stereo" : " mono")], &overall}) {
            into->robust.Add(scores.robust);
            into->classic.Add(scores.classic);
            into->aubio.Add(scores.aubio);
          }
        }
      }
    }
  }
  std::printf("%u clips of %.0f s (seeds from %u), %zu shots", seed - first_seed, kClipSeconds,
              first_seed, overall.robust.truth);
  Print("condition", by_condition, with_aubio);
  Print("coding", by_coding, with_aubio);
  Print("overall", {{"all", overall}}, with_aubio, true);
  bool met = MeetsBars(overall.robust, true);
  for (const auto& table : {by_condition, by_coding}) {
    for (const auto& [name, s] : table) {
      met = met && MeetsBars(s.robust, false);
    }
  }
  std::printf("\nrobust detector on a 10-minute 48 kHz clip: %.0fx real time (bar: 200x)\n",
              SpeedTimesRealTime());
  return met ? 0 : 1;
}
