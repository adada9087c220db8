#include "cli/analyze_options.h"

const char* const kAnalyzeUsage =
    "Usage: tambrix-analyze [--json | --csv] [--ms] [--shots] [--detector NAME] FILE...\n"
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
    "  --help    show this text\n"
    "  --version print the analyser's name and version\n"
    "  --        end of options: later arguments are files\n"
    "\n"
    "Exit status: 0 when every file gave a clip, 1 when any gave none,\n"
    "2 for bad usage.\n";

AnalyzeOptions ParseAnalyzeOptions(const std::vector<std::string>& arguments) {
  AnalyzeOptions options;
  bool options_ended = false;
  bool detector_follows = false;
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
  } else if (!options.help && !options.version && options.files.empty()) {
    options.error = "no file given";
  }
  return options;
}
