#include "shell/shot_review_qt.h"

#include <QFile>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <array>

#include "engine/detector.h"
#include "engine/notifier.h"
#include "engine/shot_table.h"
#include "engine/sound_engine.h"
#include "shell/rate_plot_qt.h"
#include "shell/shell_context.h"
#include "shell/shot_table_model_qt.h"
#include "shell/split_histogram_plot_qt.h"

namespace {

constexpr QSize kOpeningSize(1000, 640);
constexpr int kTableShare = 9;  // of 20, beside the plots
constexpr int kPlotsShare = 11;
// The widest text each column holds, besides its title.
constexpr std::array<const char*, kShotColumnCount> kWidestTexts = {
    "000000", "00000.000", "0000000000", "00000.000", "000.000", "Counts"};
constexpr int kCellPadding = 16;

bool SavePng(const QImage& image, const std::string& path) {
  QSaveFile file(QFile::decodeName(path.c_str()));
  return !image.isNull() && file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") &&
         file.commit();
}

}  // namespace

ShotReviewWindow::ShotReviewWindow(QWidget* parent, ShellContext& context, ReviewHooks hooks)
    : QWidget(parent, Qt::Window),
      context_(context),
      hooks_(std::move(hooks)),
      summary_(new QLabel(this)),
      model_(new ShotTableModel(this)),
      sorted_(new QSortFilterProxyModel(this)),
      table_(new QTableView(this)),
      rate_plot_(new RatePlot(this)),
      histogram_plot_(new SplitHistogramPlot(this)),
      buttons_(new QWidget(this)) {
  setObjectName(QStringLiteral("ShotReview"));
  setWindowTitle(QStringLiteral("TAMBRIX Shot Review"));
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(ShotTableModel::kSortRole);
  table_->setModel(sorted_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(static_cast<int>(ShotColumn::Shot), Qt::AscendingOrder);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  // Fixed row heights and column widths: nothing scans thousands of rows.
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  const QFontMetrics metrics(table_->font());
  table_->verticalHeader()->setDefaultSectionSize(metrics.height() + kCellPadding / 2);
  for (int column = 0; column < kShotColumnCount; ++column) {
    const QString title = model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    table_->setColumnWidth(column, std::max(metrics.horizontalAdvance(title),
                                            metrics.horizontalAdvance(QString::fromLatin1(
                                                kWidestTexts[static_cast<std::size_t>(column)]))) +
                                       kCellPadding);
  }
  table_->setToolTip(
      QStringLiteral("Every shot of the clip; click a title to sort by it, select "
                     "a row to show its shot in the waveform"));
  summary_->setToolTip(QStringLiteral("The clip reviewed"));
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &ShotReviewWindow::OnCurrentRowChanged);
  connect(rate_plot_, &RatePlot::ShotClicked, this, &ShotReviewWindow::SelectShot);
  connect(histogram_plot_, &SplitHistogramPlot::BinClicked, this, [this](std::size_t bin) {
    // The first shot in the list whose counted split lies in that bin.
    const std::vector<ShotRow>& rows = model_->Rows();
    for (std::uint32_t k = 0; k < rows.size(); ++k) {
      if (rows[k].counts && SplitBin(histogram_plot_->Histogram(), rows[k].split_ms) == bin) {
        SelectShot(k);
        return;
      }
    }
  });

  auto* plots = new QSplitter(Qt::Vertical);
  plots->addWidget(rate_plot_);
  plots->addWidget(histogram_plot_);
  auto* panes = new QSplitter(Qt::Horizontal);
  panes->addWidget(table_);
  panes->addWidget(plots);
  panes->setStretchFactor(0, kTableShare);
  panes->setStretchFactor(1, kPlotsShare);
  auto* button_row = new QHBoxLayout(buttons_);
  button_row->setContentsMargins(0, 0, 0, 0);
  AddButton(
      QStringLiteral("Export &CSV..."),
      QStringLiteral("Save the shot table as a CSV file, the clip's figures in comment lines"),
      [this] { Export(ExportKind::ShotTable); });
  AddButton(QStringLiteral("Save Rate &Plot..."),
            QStringLiteral("Save the rate-of-fire plot as a PNG image"),
            [this] { Export(ExportKind::RatePlot); });
  AddButton(QStringLiteral("Save &Histogram..."),
            QStringLiteral("Save the histogram of splits as a PNG image"),
            [this] { Export(ExportKind::SplitHistogram); });
  AddButton(QStringLiteral("Save &Waveform..."),
            QStringLiteral("Save the waveform view as it is shown as a PNG image"),
            [this] { Export(ExportKind::Waveform); });
  button_row->addStretch();
  AddButton(QStringLiteral("Close"), QStringLiteral("Close the shot review (Esc)"),
            [this] { close(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(panes, 1);
  layout->addWidget(buttons_);
  new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
  resize(kOpeningSize);
}

QPushButton* ShotReviewWindow::AddButton(const QString& text, const QString& tooltip,
                                         const std::function<void()>& action) {
  auto* button = new QPushButton(text, buttons_);
  button->setToolTip(tooltip);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, action);
  buttons_->layout()->addWidget(button);
  return button;
}

void ShotReviewWindow::ShowClip(const std::string& clip_name) {
  const SoundEngine& engine = context_.engine;
  clip_name_ = clip_name;
  std::vector<ShotRow> rows = ShotTableRows(engine);
  const std::uint32_t rate = engine.GetSampleRate();
  const double seconds =
      rate == 0 ? 0.0 : static_cast<double>(engine.GetSampleCount()) / static_cast<double>(rate);
  rate_plot_->SetRows(rows, engine.GetAverageRof(), seconds);
  histogram_plot_->SetHistogram(HistogramOfSplits(rows));
  summary_->setText(engine.HasData()
                        ? QStringLiteral("%1: %2 shots listed, %3 counted, %4 detector")
                              .arg(QFile::decodeName(clip_name.c_str()))
                              .arg(rows.size())
                              .arg(engine.GetNumberOfShots())
                              .arg(QString::fromLatin1(
                                  DetectorName(engine.detector).data(),
                                  static_cast<qsizetype>(DetectorName(engine.detector).size())))
                        : QStringLiteral("No clip"));
  following_view_ = true;
  model_->SetRows(std::move(rows));
  following_view_ = false;
}

std::optional<std::uint32_t> ShotReviewWindow::SelectedShot() const {
  const QModelIndex current = table_->selectionModel()->currentIndex();
  if (!current.isValid()) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(sorted_->mapToSource(current).row());
}

void ShotReviewWindow::SelectShot(std::uint32_t shot_index) {
  const QModelIndex row = sorted_->mapFromSource(model_->index(static_cast<int>(shot_index), 0));
  if (!row.isValid()) {
    return;
  }
  table_->selectionModel()->setCurrentIndex(
      row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  table_->scrollTo(row);
}

void ShotReviewWindow::FollowView(std::optional<std::uint32_t> shot_index) {
  if (moving_view_ || !shot_index || shot_index == SelectedShot()) {
    return;
  }
  following_view_ = true;
  SelectShot(*shot_index);
  following_view_ = false;
}

void ShotReviewWindow::OnCurrentRowChanged() {
  const std::optional<std::uint32_t> shot = SelectedShot();
  rate_plot_->MarkShot(shot);
  if (shot && !following_view_ && hooks_.show_shot) {
    moving_view_ = true;
    hooks_.show_shot(*shot);
    moving_view_ = false;
  }
}

bool ShotReviewWindow::Export(ExportKind kind) {
  const std::optional<std::string> path = ChooseExportPath(context_, kind);
  return path && ExportTo(kind, *path);
}

bool ShotReviewWindow::ExportTo(ExportKind kind, const std::string& path) {
  QImage image;
  switch (kind) {
    case ExportKind::ShotTable:
      // A running recording holds no clip to describe yet.
      if (context_.engine.IsRecording()) {
        context_.services.notifier.ShowMessage(
            "The shot table can be exported once the recording has stopped", "");
        return false;
      }
      return ExportShotTable(context_, clip_name_, path);
    case ExportKind::RatePlot:
      image = rate_plot_->grab().toImage();
      break;
    case ExportKind::SplitHistogram:
      image = histogram_plot_->grab().toImage();
      break;
    case ExportKind::Waveform:
      image = hooks_.waveform_image ? hooks_.waveform_image() : QImage();
      break;
  }
  if (!SavePng(image, path)) {
    ReportExportFailure(context_, path);
    return false;
  }
  return true;
}
