#pragma once

// Runs the command-line analyser as a user would, in the current directory.

#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "support/test_support.h"

namespace test {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the analyser in the current directory; `shell` comes first (limits,
// another user).
inline RunResult RunAnalyze(const std::string& arguments, const std::string& shell = "") {
  const std::string command =
      shell + " '" + TAMBRIX_ANALYZE_PATH + "' " + arguments + " >stdout.txt 2>stderr.txt";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText("stdout.txt"),
          ReadText("stderr.txt")};
}

inline std::string JsonValue(const std::string& json, const std::string& key) {
  const std::regex pattern("\"" + key + "\":(\"[^\"]*\"|[^,}\\]]+)");
  std::smatch match;
  return std::regex_search(json, match, pattern) ? match[1].str() : std::string("<missing>");
}

}  // namespace test
