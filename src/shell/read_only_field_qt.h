#pragma once

#include <QLabel>

// A read-only text field that looks like a line edit but always shows its
// text from the first character: a line edit scrolls a text that it thinks
// too wide (it reserves room for the font's widest glyph overhangs) and
// stays scrolled after it had focus. The text can be selected and copied.
class ReadOnlyField final : public QLabel {
  Q_OBJECT
 public:
  explicit ReadOnlyField(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
