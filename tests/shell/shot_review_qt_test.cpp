// The shot review over the real dialog: its table against the engine's
// rows, sorting, selection to and from the waveform, the plots, and export.

#include "shell/shot_review_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QHeaderView>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QXYSeries>
#include <numeric>
#include <random>

#include "display/display_widget_qt.h"
#include "engine/shot_table.h"
#include "engine/shot_table_csv.h"
#include "shell/control_ids.h"
#include "shell/main_dialog_qt.h"
#include "shell/rate_plot_qt.h"
#include "shell/shot_table_model_qt.h"
#include "shell/split_histogram_plot_qt.h"
#include "support/shell_fixture.h"

namespace {

// Splits of 40 to 95 ms at 22050 Hz, a few of them too fast to count.
std::string WriteTrain(std::uint32_t seed, std::uint32_t samples) {
  std::mt19937 random(seed);
  std::vector<std::uint32_t> starts;
  for (std::uint32_t at = 2000; at < samples - 3000;) {
    starts.push_back(at);
    at += random() % 7 == 0 ? 600 : std::uniform_int_distribution<std::uint32_t>(900, 2100)(random);
  }
  const std::string name = "train" + std::to_string(seed) + ".wav";
  test::WriteBytes(name, test::MakeWave8(22050, test::MakeShotTrain(samples, starts)));
  return (std::filesystem::current_path() / name).string();
}

struct Review {
  Review() {
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    QTest::qWait(5);  // the posted Display command sizes the dialog and the view
    s.chooser.answers.push_back(WriteTrain(1, 22050 * 8));
    QTest::mouseClick(dialog->Control(kLoadButton), Qt::LeftButton);
    QTest::keyClick(dialog.get(), Qt::Key_L, Qt::ControlModifier);
    if (dialog->Review() == nullptr) {
      throw std::runtime_error("Ctrl+L opened no review");
    }
  }
  ShotReviewWindow& window() const { return *dialog->Review(); }
  test::Shell s;
  std::unique_ptr<MainDialog> dialog = CreateMainDialog(s.context);
};

TEST(ShotReviewQt, TableAndPlotsHoldTheClipsShots) {
  Review r;
  ASSERT_NE(r.dialog->Review(), nullptr);
  EXPECT_TRUE(r.window().isVisible());
  for (int reload = 0; reload < 2; ++reload) {
    const std::vector<ShotRow> rows = ShotTableRows(r.s.engine);
    const ShotTableModel& model = r.window().Model();
    ASSERT_EQ(model.rowCount({}), static_cast<int>(rows.size()));
    ASSERT_GT(rows.size(), 50U);
    const auto counted = static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [](const ShotRow& row) { return row.counts; }));
    for (std::size_t k = 0; k < rows.size(); ++k) {
      const ShotRow& row = rows[k];
      const auto at = [&](ShotColumn column) {
        return model.data(model.index(static_cast<int>(k), static_cast<int>(column)),
                          ShotTableModel::kSortRole);
      };
      EXPECT_EQ(at(ShotColumn::Shot).toUInt(), k + 1);
      EXPECT_EQ(at(ShotColumn::Position).toUInt(), row.position);
      EXPECT_EQ(at(ShotColumn::Time).toDouble(), row.time_s);
      if (row.has_next) {
        EXPECT_EQ(at(ShotColumn::Split).toDouble(), static_cast<double>(row.split_ms));
        EXPECT_EQ(at(ShotColumn::Rate).toDouble(), static_cast<double>(row.rate_bps));
        EXPECT_EQ(at(ShotColumn::Counts).toInt(), row.counts ? 1 : 0);
      }
    }
    // A point per counted split, and each of them in the histogram.
    EXPECT_EQ(r.window().Rates()->PointCount(), counted);
    const std::vector<std::uint32_t>& bins = r.window().Splits()->Histogram().counts;
    EXPECT_EQ(std::accumulate(bins.begin(), bins.end(), 0U), counted);
    // Another clip replaces the review's.
    r.s.chooser.answers.push_back(WriteTrain(2, 22050 * 5));
    QTest::mouseClick(r.dialog->Control(kLoadButton), Qt::LeftButton);
  }
  for (QPushButton* button : r.window().findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->toolTip().isEmpty()) << button->text().toStdString();
  }
}

TEST(ShotReviewQt, FastestSplitSortsFirstAndShowsInTheWaveform) {
  Review r;
  QTableView* table = r.window().Table();
  table->horizontalHeader()->setFocus();
  QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                    QPoint(table->columnViewportPosition(static_cast<int>(ShotColumn::Split)) + 5,
                           table->horizontalHeader()->height() / 2));
  const std::vector<ShotRow> rows = ShotTableRows(r.s.engine);
  const auto fastest = std::min_element(rows.begin(), rows.end(), [](auto& a, auto& b) {
    return a.has_next && (!b.has_next || a.split_ms < b.split_ms);
  });
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                    table->visualRect(table->model()->index(0, 0)).center());
  const auto shot = static_cast<std::uint32_t>(fastest - rows.begin());
  EXPECT_EQ(r.window().SelectedShot(), shot);
  EXPECT_EQ(r.s.view.view_offset,
            ClampViewOffset(AlignedOffset(fastest->position),
                            LowerBound(r.s.engine.GetSampleCount(),
                                       static_cast<std::uint32_t>(r.s.display.rect.width))));
  // Moving the waveform selects the shot it shows, at any zoom.
  for (const Qt::Key key : {Qt::Key_PageDown, Qt::Key_Minus, Qt::Key_PageDown}) {
    QTest::keyClick(r.dialog->findChild<DisplayWidget*>(), key);
    ASSERT_TRUE(ShotInView(r.s.view, r.s.engine, r.s.display).has_value());
    EXPECT_EQ(r.window().SelectedShot(), ShotInView(r.s.view, r.s.engine, r.s.display));
  }
  // The last shot can't reach the left edge; it stays selected all the same.
  table->selectRow(table->model()->rowCount() - 1);
  EXPECT_EQ(r.window().SelectedShot(), rows.size() - 1);
  EXPECT_NE(ShotInView(r.s.view, r.s.engine, r.s.display), rows.size() - 1);
  // A point clicked on the rate plot selects its shot.
  RatePlot* plot = r.window().Rates();
  const std::size_t point = plot->PointCount() / 2;
  const auto* points = static_cast<const QLineSeries*>(plot->chart()->series().at(1));
  const QPointF at = plot->chart()->mapToPosition(points->at(static_cast<int>(point)),
                                                  const_cast<QLineSeries*>(points));
  QTest::mouseClick(plot->viewport(), Qt::LeftButton, {}, plot->mapFromScene(at));
  EXPECT_EQ(r.window().SelectedShot(), plot->PointShot(point));
  // and marks it.
  const auto* mark = static_cast<const QXYSeries*>(plot->chart()->series().at(2));
  ASSERT_EQ(mark->count(), 1);
  EXPECT_EQ(mark->at(0), points->at(static_cast<int>(point)));
}

TEST(ShotReviewQt, ExportsWriteWholeFilesOrSayWhyNot) {
  Review r;
  ShotReviewWindow& window = r.window();
  r.s.chooser.answers = {(r.s.dir.path() / "shots").string(), (r.s.dir.path() / "rates").string()};
  r.s.chooser.next = 0;
  ASSERT_TRUE(window.Export(ExportKind::ShotTable));
  EXPECT_EQ(test::ReadText("shots.csv"), ShotTableCsv(r.s.engine, r.s.state.clip_name));
  ASSERT_TRUE(window.Export(ExportKind::RatePlot));
  EXPECT_EQ(QImage("rates.png").size(), window.Rates()->size());
  ASSERT_TRUE(window.ExportTo(ExportKind::Waveform, "wave.png"));
  EXPECT_EQ(QImage("wave.png"),
            r.dialog->findChild<DisplayCanvas*>()->Image().convertToFormat(QImage::Format_RGB32));
  EXPECT_FALSE(window.Export(ExportKind::SplitHistogram));  // cancelled
  for (const ExportKind kind : {ExportKind::ShotTable, ExportKind::SplitHistogram}) {
    EXPECT_FALSE(window.ExportTo(kind, "missing/x"));
  }
  ASSERT_EQ(r.s.notifier.shown.size(), 2U);
  EXPECT_EQ(r.s.notifier.shown[0].text, "Could not write missing/x");
}

}  // namespace
