#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "log/event_log.h"
#include "media/decode_media_audio.h"
#include "riff/replacement_file.h"
#include "support/run_analyze.h"
#include "support/shot_corpus.h"
#include "support/test_support.h"

// Fixtures are made with FFmpeg's own encoders (through the ffmpeg command)
// from generated shot trains; the figures are compared through the analyser's
// JSON, which holds every figure and shot.

namespace {

using test::JsonValue;
using test::RunAnalyze;

constexpr std::uint32_t kRate = 48000;

void Ffmpeg(const std::string& arguments) {
  ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -y " + arguments).c_str()), 0) << arguments;
}

// The JSON without its first field, the file name. The robust detector
// finds the shots of lossy-coded sound too.
std::string Figures(const std::string& file) {
  const test::RunResult run = RunAnalyze("--json --detector robust " + file);
  EXPECT_EQ(run.status, 0) << file << ": " << run.err;
  return run.out.substr(run.out.find(",\"has_data\""));
}

class MediaLoad : public testing::Test {
 protected:
  void SetUp() override {
    // 12 shots a second for 3 s; the second channel differs.
    const test::ShotClip clip = test::MakeShotClip(test::Condition::Clean, kRate, 12, 3, 1);
    test::WriteBytes("mono.wav", test::MakeWave16(kRate, clip.left));
    test::WriteBytes("stereo.wav", test::MakeWave16(kRate, test::Interleaved(clip, true), 2));
  }
  test::ScopedWorkDir dir_;
};

// Lossless codings keep the samples themselves; lossy ones give back what
// their decoders make, with about the source's shots.
struct Coding {
  const char* file;
  const char* source;
  const char* encoder;
  bool lossless;
};

TEST_F(MediaLoad, FiguresAreThoseOfTheFirstChannelsSamples) {
  const Coding codings[] = {
      {"a.flac", "mono.wav", "-c:a flac", true},
      {"a.m4a", "mono.wav", "-c:a alac", true},
      {"a.mov", "mono.wav", "-c:a pcm_s16le", true},
      {"a.mkv", "stereo.wav", "-c:a flac", true},
      {"24.flac", "mono.wav", "-c:a flac -sample_fmt s32", true},
      {"f64.mov", "stereo.wav", "-c:a pcm_f64le", true},
      {"u8.mov", "mono.wav", "-c:a pcm_u8", false},
      {"a.mp4", "mono.wav", "-c:a aac -b:a 320k", false},
      {"a.mp3", "mono.wav", "-c:a libmp3lame -b:a 128k", false},
      {"a.opus", "mono.wav", "-c:a libopus -b:a 128k", false},
      {"a.webm", "mono.wav", "-c:a libvorbis -b:a 128k", false},
      {"s.m4a", "stereo.wav", "-c:a aac -b:a 128k", false},
      {"s.ogg", "stereo.wav", "-c:a libopus -b:a 64k", false},
      {"r.mp3", "stereo.wav", "-c:a libmp3lame -ar 44100", false},
      {"adpcm.avi", "mono.wav", "-c:a adpcm_ms", false},
      {"mp3.avi", "stereo.wav", "-c:a libmp3lame", false},
  };
  const std::string source_shots = JsonValue(Figures("mono.wav"), "shot_list_count");
  for (const Coding& coding : codings) {
    Ffmpeg(std::string("-i ") + coding.source + " " + coding.encoder + " " + coding.file);
    Ffmpeg(std::string("-i ") + coding.file + " -af 'pan=mono|c0=c0' -c:a pcm_s16le decoded.wav");
    const std::string figures = Figures(coding.file);
    // "tmp" holds the very samples (the reference's data ends its file).
    const std::vector<std::uint8_t> tmp = test::ReadBytes("tmp");
    const char* reference = coding.lossless ? "mono.wav" : "decoded.wav";
    const std::vector<std::uint8_t> expected = test::ReadBytes(reference);
    ASSERT_TRUE(tmp.size() > 44 && expected.size() >= tmp.size()) << coding.file;
    EXPECT_TRUE(std::equal(tmp.begin() + 44, tmp.end(), expected.end() - (tmp.size() - 44)))
        << coding.file;
    EXPECT_EQ(figures, Figures(reference)) << coding.file;
    EXPECT_NEAR(std::stoi(JsonValue(figures, "shot_list_count")), std::stoi(source_shots), 1)
        << coding.file;
  }
}

TEST_F(MediaLoad, BadMediaFailsWithItsReasonAndWritesNoSound) {
  Ffmpeg("-f lavfi -i testsrc=d=1:s=64x64 -c:v mpeg4 video.mp4");
  Ffmpeg("-i mono.wav -c:a aac whole.m4a");
  Ffmpeg("-i mono.wav -c:a flac whole.flac");
  std::vector<std::uint8_t> cut = test::ReadBytes("whole.m4a");
  cut.resize(cut.size() * 6 / 10);  // the index comes last
  std::vector<std::uint8_t> flipped = test::ReadBytes("whole.flac");
  for (std::size_t i = flipped.size() / 2; i < flipped.size() / 2 + 64; ++i) {
    flipped[i] ^= 0x5a;
  }
  test::WriteBytes("cut.m4a", cut);
  test::WriteBytes("flipped.flac", flipped);
  test::WriteBytes("text.mp4", std::vector<std::uint8_t>(300, 'x'));
  for (const char* rate : {"1000000 fast.au", "900 slow.au"}) {
    Ffmpeg(std::string("-f lavfi -i anullsrc -t 0.01 -c:a pcm_s16be -af aresample=") + rate);
  }
  // Lists naming another file give no figures of that file.
  const std::string hls = "#EXTM3U\n#EXT-X-TARGETDURATION:3\n#EXTINF:3,\nwhole.flac\n";
  const std::string concat = "ffconcat version 1.0\nfile whole.flac\n";
  test::WriteBytes("list.m3u8", {hls.begin(), hls.end()});
  test::WriteBytes("list.ffconcat", {concat.begin(), concat.end()});
  const test::RunResult run = RunAnalyze(
      "video.mp4 text.mp4 cut.m4a flipped.flac fast.au slow.au list.m3u8 "
      "list.ffconcat");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "tambrix-analyze: video.mp4: No Audio Stream In Media File\n"
            "tambrix-analyze: text.mp4: Failed To Open Media File\n"
            "tambrix-analyze: cut.m4a: Failed To Open Media File\n"
            "tambrix-analyze: flipped.flac: Failed To Decode Audio\n"
            "tambrix-analyze: fast.au: Invalid Audio Format\n"
            "tambrix-analyze: slow.au: Invalid Audio Format\n"
            "tambrix-analyze: list.m3u8: not a RIFF file\n"
            "tambrix-analyze: list.ffconcat: not a RIFF file\n");
  EXPECT_FALSE(std::filesystem::exists("tmp"));
}

// A file cut short keeps the sound before the cut; sound beyond the WAVE
// size limit is left out. Both say so.
TEST_F(MediaLoad, SoundBeforeACutOrTheSizeLimitIsKept) {
  Ffmpeg("-i mono.wav -c:a flac whole.flac");
  std::vector<std::uint8_t> cut = test::ReadBytes("whole.flac");
  cut.resize(cut.size() * 6 / 10);
  test::WriteBytes("cut.flac", cut);
  const std::string whole = Figures("whole.flac");
  const std::string kept = Figures("cut.flac");
  EXPECT_LT(std::stoi(JsonValue(kept, "sample_count")),
            std::stoi(JsonValue(whole, "sample_count")));
  EXPECT_EQ(JsonValue(kept, "position"), JsonValue(whole, "position"));
  const std::vector<std::string> lines = test::CriticalLogLines();
  EXPECT_EQ(
      std::count(lines.begin(), lines.end(), "Media File Cut Short - Sound Kept Up To The Cut"), 1);

  const auto media = OpenMediaFile("whole.flac");
  ASSERT_NE(media, nullptr);
  ReplacementFile wave("tmp");
  EXPECT_TRUE(DecodeMediaAudio(*media, wave, 1000));
  EXPECT_EQ(test::ReadBytes("tmp").size(), 44U + 2000U);
  EXPECT_EQ(test::CriticalLogLines().back(), "Sound Stopped At The WAVE Size Limit");
}

}  // namespace
