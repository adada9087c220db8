#pragma once

#include <QGroupBox>

// A group box whose title sits on the frame's top line rather than above
// it, so the controls the template places just below a title lie inside
// the frame instead of across its top line.
class GroupFrame final : public QGroupBox {
  Q_OBJECT
 public:
  GroupFrame(const QString& title, QWidget* parent);

  // The frame's top line, in the box's own coordinates.
  int FrameTop() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
