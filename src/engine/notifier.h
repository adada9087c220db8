#pragma once

#include <string_view>

// How the engine and the shell show a message to the user: a modal box with an
// OK button in the program, stderr in the command-line tool, a record in
// tests. An empty caption means the system's default caption.
class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
};
