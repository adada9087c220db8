#pragma once

#include "engine/notifier.h"

// A modal message box without an owner window and with one OK button; the
// program's name is the caption when none is given. Without a window
// system the text goes to stderr.
class MessageBoxNotifier final : public Notifier {
 public:
  void ShowMessage(std::string_view text, std::string_view caption) override;
};
