#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "shell/review_export.h"

struct ShellContext;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class RatePlot;
class ShotTableModel;
class SplitHistogramPlot;

// What the review asks of the window it reviews: put a shot in the
// waveform's view, and the waveform's picture as shown.
struct ReviewHooks {
  std::function<void(std::uint32_t shot_index)> show_shot;
  std::function<QImage()> waveform_image;
};

// The shot review: every shot of the held clip in a table, the rate of fire
// against time and a histogram of splits, and their export. A window of its
// own, so nothing in the dialog moves. Selecting a shot in the table or on
// the rate plot shows it in the waveform.
class ShotReviewWindow final : public QWidget {
  Q_OBJECT
 public:
  ShotReviewWindow(QWidget* parent, ShellContext& context, ReviewHooks hooks);

  // Takes the clip the engine holds, named as loaded.
  void ShowClip(const std::string& clip_name);
  // Selects the shot that the waveform now shows, without moving the waveform.
  void FollowView(std::optional<std::uint32_t> shot_index);
  // Asks where and exports; false when cancelled or not written.
  bool Export(ExportKind kind);
  // Writes the export to `path`; false with a message when it can't.
  bool ExportTo(ExportKind kind, const std::string& path);

  QTableView* Table() const { return table_; }
  const ShotTableModel& Model() const { return *model_; }
  RatePlot* Rates() const { return rate_plot_; }
  SplitHistogramPlot* Splits() const { return histogram_plot_; }
  // The shot of the table's current row.
  std::optional<std::uint32_t> SelectedShot() const;

 private:
  void SelectShot(std::uint32_t shot_index);
  void OnCurrentRowChanged();
  QPushButton* AddButton(const QString& text, const QString& tooltip,
                         const std::function<void()>& action);
  ShellContext& context_;
  ReviewHooks hooks_;
  std::string clip_name_;
  QLabel* summary_;
  ShotTableModel* model_;
  QSortFilterProxyModel* sorted_;
  QTableView* table_;
  RatePlot* rate_plot_;
  SplitHistogramPlot* histogram_plot_;
  QWidget* buttons_;
  bool following_view_ = false;
  // The waveform moving for the table: near the clip's end the view may show
  // an earlier shot than the one selected, which stays selected.
  bool moving_view_ = false;
};
