#pragma once

#include <QPushButton>

// A push button that the program alone holds down: a click runs its command
// and leaves the checked state alone. Held down, its text turns red, so a
// running recording can't be missed.
class HeldButton final : public QPushButton {
 public:
  HeldButton(const QString& text, QWidget* parent);

 protected:
  void nextCheckState() override {}
  void checkStateSet() override;
};
