#include "cli/analyze_options.h"

#include <charconv>

#include "riff/wave_header.h"

const char* const kAnalyzeUsage =
    "Usage: tambrix-analyze [--json | --csv] [--ms] [--shots] [--detector NAME] FILE...\n"
    "       tambrix-analyze --live [--raw-rate N] [--json] [--ms] [--shots] FILE|-\n"
    "\n"
    "Finds the shots in each clip and prints its rate-of-fire figures, exactly as\n"
    "the program's Load command would show them. Each FILE is loaded as the\n"
    "program loads it: a WAVE file is read directly, the first audio track of\n"
    "an AVI file or of any other sound or video file FFmpeg reads is written\n"
    "into \"tmp\" first (decoded where it is compressed). Files are read relative to the\n"
    "current directory, which also receives the logs TAMBRIX.log and\n"
    "TAMBRIX_crit.log and the file \"tmp\".\n"
    "\n"
    "Options:\n"
    "  --ms      show the three rates as milliseconds between shots instead of\n"
    "            balls per second (a rate below 1 bps then shows as empty)\n"
    "  --shots   also print one line per shot: its number as the waveform view\n"
    "            labels it, its position in samples, its time in seconds, the\n"
    "            interval in ms and the rate in bps to the next shot, and whether\n"
    "            that interval was accepted (rates of 30 bps or more are not)\n"
    "  --detector classic|robust\n"
    "            the shot detector: classic (the default) follows its fixed\n"
    "            bands exactly; robust finds shots by their rise in loudness,\n"
    "            for noisy, echoing, quiet or lossy-coded recordings\n"
    "  --json    print one JSON object per file and line instead, with the keys\n"
    "            file, has_data, sample_rate, sample_count, clip_length,\n"
    "            clip_quality, peak_sample, number_of_shots, shot_list_count,\n"
    "            highest_rof, lowest_rof, average_rof (bps), unit, detector,\n"
    "            readouts (the six\n"
    "            texts in the chosen unit) and shots (position, number,\n"
    "            rate_to_next, split_ms, accepted); floats have 9 significant\n"
    "            digits, so they read back as the same 32-bit values\n"
    "  --csv     print each file's shot table as CSV instead: comment lines\n"
    "            starting with # (the file, the detector and the six figures in\n"
    "            bps), the header shot,time_s,position,split_ms,rate_bps,counts\n"
    "            and a line per shot (its place in the list from 1; the last\n"
    "            shot's split, rate and counts empty), '.' as decimal point\n"
    "  --live    read one WAVE stream from FILE, or from standard input for -,\n"
    "            as it arrives, until it ends (or Ctrl+C), and print a line per\n"
    "            shot as soon as it is found: its place in the list, its time in\n"
    "            seconds, the split in ms to the shot before and the average rate\n"
    "            of all shots so far; with --json one JSON object per line (keys\n"
    "            shot, position, time_s, split_ms, average_rof in bps). When a\n"
    "            louder sound changes shots already printed, a line says from\n"
    "            which shot on ({\"corrected_from\":N} with --json) and those\n"
    "            shots follow again. At the end the figures follow as for a\n"
    "            file: the text report (with --shots its shot lines), or with\n"
    "            --json the line --json prints for the same bytes as a file.\n"
    "            The stream must be 8- or 16-bit mono PCM at 1000 to 768000\n"
    "            samples per second; a data size of 0 or 0xFFFFFFFF means\n"
    "            \"until the stream ends\"; 16-bit samples are scaled as a load\n"
    "            scales them, by the loudest value so far. Only the classic\n"
    "            detector works live; --ms applies to the lines' averages and\n"
    "            the final figures; no --csv.\n"
    "            A stream that ends early (before its header's data size, or\n"
    "            inside a 16-bit sample, whose half is dropped) or passes\n"
    "            2^31-1 samples (the rest is left unread) is reported on stderr,\n"
    "            gets its final figures and exit status 1; a bad header gets\n"
    "            no figures and exit status 1. The logs are not written.\n"
    "  --raw-rate N\n"
    "            with --live: the stream is raw unsigned 8-bit mono samples\n"
    "            without a header, N per second (1000 to 768000)\n"
    "  --help    show this text\n"
    "  --version print the analyser's name and version\n"
    "  --        end of options: later arguments are files\n"
    "\n"
    "Exit status: 0 when every file gave a clip, 1 when any gave none (with\n"
    "--live: no samples or a stream fault), 2 for bad usage.\n";

namespace {

// Whole samples per second within the limits a WAVE header may give.
std::optional<std::uint32_t> ParseRate(const std::string& text) {
  std::uint32_t rate = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, rate);
  if (error != std::errc() || stop != end || rate < kMinSoundRate || rate > kMaxSoundRate) {
    return std::nullopt;
  }
  return rate;
}

// What --live and --raw-rate allow beside them; empty when all is well.
std::string LiveUsageError(const AnalyzeOptions& options) {
  if (!options.live) {
    return options.raw_rate ? "--raw-rate works with --live only" : "";
  }
  if (options.csv) {
    return "--live prints text or --json lines, not --csv";
  }
  if (options.detector != Detector::Classic) {
    return "--live works with the classic detector only";
  }
  if (options.files.size() != 1) {
    return "--live reads one FILE, or - for standard input";
  }
  return "";
}

}  // namespace

AnalyzeOptions ParseAnalyzeOptions(const std::vector<std::string>& arguments) {
  AnalyzeOptions options;
  bool options_ended = false;
  bool detector_follows = false;
  bool rate_follows = false;
  for (const std::string& argument : arguments) {
    if (options.json && options.csv) {
      options.error = "--json and --csv exclude each other";
    } else if (detector_follows) {
      detector_follows = false;
      const std::optional<Detector> detector = DetectorNamed(argument);
      if (!detector) {
        options.error = "unknown detector: " + argument;
        return options;
      }
      options.detector = *detector;
    } else if (rate_follows) {
      rate_follows = false;
      options.raw_rate = ParseRate(argument);
      if (!options.raw_rate) {
        options.error = "--raw-rate needs samples per second from " +
                        std::to_string(kMinSoundRate) + " to " + std::to_string(kMaxSoundRate) +
                        ": " + argument;
        return options;
      }
    } else if (options_ended || argument.empty() || argument[0] != '-' || argument == "-") {
      options.files.push_back(argument);
    } else if (argument == "--") {
      options_ended = true;
    } else if (argument == "--json") {
      options.json = true;
    } else if (argument == "--csv") {
      options.csv = true;
    } else if (argument == "--ms") {
      options.milliseconds = true;
    } else if (argument == "--detector") {
      detector_follows = true;
    } else if (argument == "--live") {
      options.live = true;
    } else if (argument == "--raw-rate") {
      rate_follows = true;
    } else if (argument == "--shots") {
      options.shots = true;
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else {
      options.error = "unknown option: " + argument;
      return options;
    }
  }
  if (options.json && options.csv) {
    options.error = "--json and --csv exclude each other";
  } else if (detector_follows) {
    options.error = "--detector needs a name";
  } else if (rate_follows) {
    options.error = "--raw-rate needs samples per second";
  } else if (!options.help && !options.version && options.files.empty()) {
    options.error = "no file given";
  } else if (!options.help && !options.version) {
    options.error = LiveUsageError(options);
  }
  return options;
}
