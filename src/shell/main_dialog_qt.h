#pragma once

#include <QPixmap>
#include <QWidget>
#include <map>
#include <memory>

#include "shell/dialog_surface.h"
#include "shell/dialog_template.h"

struct ShellContext;
class QAbstractButton;
class QAction;
class QPushButton;
class ShotReviewWindow;

// The main dialog built from its template: every command of its controls
// goes to the shell's command logic.
class MainDialog final : public QWidget, public DialogSurface {
  Q_OBJECT
 public:
  MainDialog(ShellContext& context, const QFont& font);
  ~MainDialog() override;
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // The control with that identifier, or null.
  QWidget* Control(int control_id) const;
  // The client size the template asks for.
  QSize TemplateSize() const { return template_size_; }

  void SetItemText(int control_id, std::string_view text) override;
  void PostCheck(int control_id, bool checked) override;
  void PostCommand(int control_id) override;
  WindowRect GetWindowRect() const override;
  void MoveWindow(const WindowRect& client) override;
  void Invalidate() override;
  void Activate() override;
  void Hide() override;
  void ShowDetectorMark(std::string_view text, bool offers_other) override;
  void ReviewNewClip() override;
  std::unique_ptr<DisplaySurface> CreateDisplay(WaveformView& view, const SoundEngine& engine,
                                                DisplayWindow& display) override;
  // The shot review, opened (Ctrl+L, or from the context menu) and raised.
  void OpenReview();
  // Null until first opened.
  ShotReviewWindow* Review() const { return review_; }

 signals:
  // After every command, the close and a dropped file.
  void CommandDone();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The detector: chosen over the readouts and the waveform.
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QWidget* MakeControl(const ControlTemplate& control);
  QWidget* NewControlWidget(const ControlTemplate& control);
  // The button, its clicks running the command of `control_id`.
  QAbstractButton* Connected(QAbstractButton* button, int control_id);
  void RunCommand(int control_id);
  ShellContext& context_;
  BaseUnits base_units_;
  QSize template_size_;
  std::map<int, QWidget*> controls_;
  QPushButton* detector_mark_ = nullptr;
  QAction* review_action_ = nullptr;
  ShotReviewWindow* review_ = nullptr;
};

// Makes the dialog, centred on the screen and hidden, and runs its opening
// sequence. Null when there is no window system to make it on.
std::unique_ptr<MainDialog> CreateMainDialog(ShellContext& context);

// A bitmap of the template, drawn at twice its size for screens with more
// than one pixel to a point.
QPixmap ArtworkPixmap(int bitmap_id, qreal device_pixel_ratio);
