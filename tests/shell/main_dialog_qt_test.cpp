#include "shell/main_dialog_qt.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include "shell/control_ids.h"
#include "shell/qt_shell_harness.h"
#include "engine/readout_texts.h"
#include "shell/control_ids.h"

namespace {

using test::QtShellHarness;

std::string WriteFifteenBpsClip(const std::filesystem::path& path) {
  test::WriteBytes(path, test::FifteenBpsClip(3));
  return path.string();
}

QString Text(QtShellHarness& shell, int id) { return shell.Control<QLineEdit>(id)->text(); }

TEST(MainDialogQt, OpensWithBpsTheDisplayShownAndAnEmptyClip) {
  QtShellHarness shell;
  EXPECT_EQ(shell.dialog->windowTitle(), QStringLiteral("PC Tallyquin (TM)"));
  EXPECT_TRUE(shell.Control<QRadioButton>(kBpsRadio)->isChecked());
  EXPECT_FALSE(shell.Control<QRadioButton>(kMsRadio)->isChecked());
  EXPECT_TRUE(shell.Control<QCheckBox>(kDisplayCheckBox)->isChecked());
  const std::vector<std::pair<int, const char*>> fields{
      {kAverageUnitField, "bps"},     {kHighestUnitField, "bps"},     {kLowestUnitField, "bps"},
      {kAverageRofField, "0.000000"}, {kHighestRofField, "0.000000"}, {kLowestRofField, "0.000000"},
      {kNumberOfShotsField, "0"},     {kClipLengthField, "0"},        {kClipQualityField, "100"}};
  for (const auto& [id, text] : fields) {
    EXPECT_EQ(Text(shell, id).toStdString(), text) << id;
  }

  // 213 pixels taller than the window the template makes (its client size
  // within the frame), with the display below that height.
  const QSize frame = shell.dialog->frameGeometry().size() - shell.dialog->geometry().size();
  const QSize base = shell.dialog->TemplateSize() + frame;
  EXPECT_EQ(shell.dialog->frameGeometry().height(), base.height() + 213);
  EXPECT_EQ(shell.dialog->frameGeometry().width(), base.width());
  DisplayWidget* display = shell.Display();
  ASSERT_NE(display, nullptr);
  EXPECT_TRUE(display->isVisible());
  EXPECT_EQ(display->geometry(), QRect(0, base.height(), base.width() - 5, 180));
  // No clip: the bar has nothing to scroll and shows it disabled.
  EXPECT_TRUE(display->ScrollBar()->isVisible());
  EXPECT_FALSE(display->ScrollBar()->isEnabled());
}

TEST(MainDialogQt, ReadoutsAreReadOnlyAndTabWalksTheTemplateOrder) {
  QtShellHarness shell;
  for (const int id : {1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1017}) {
    EXPECT_TRUE(shell.Control<QLineEdit>(id)->isReadOnly()) << id;
  }
  // Buttons and fields, no radios.
  std::vector<int> tab_order;
  QWidget* widget = shell.dialog->Control(kLoadButton);
  for (int i = 0; i < 16 && widget != nullptr; ++i) {
    const int id = widget->objectName().mid(8).toInt();
    if (!tab_order.empty() && id == tab_order.front()) {
      break;
    }
    tab_order.push_back(id);
    widget = widget->nextInFocusChain();
    while (widget != nullptr && !(widget->focusPolicy() & Qt::TabFocus)) {
      widget = widget->nextInFocusChain();
    }
  }
  EXPECT_EQ(tab_order, (std::vector<int>{1002, 1003, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014,
                                         1004, 1017, 1005, 1018}));
}

TEST(MainDialogQt, EnterAndEscapeDoNothing) {
  QtShellHarness shell;
  shell.Control<QPushButton>(kLoadButton)->setFocus();
  QTest::keyClick(shell.dialog.get(), Qt::Key_Return);
  QTest::keyClick(shell.dialog.get(), Qt::Key_Enter);
  QTest::keyClick(shell.dialog.get(), Qt::Key_Escape);
  QtShellHarness::Settle();
  EXPECT_TRUE(shell.dialog->isVisible());
  EXPECT_EQ(shell.state.quit_requested, 0);
  EXPECT_TRUE(shell.chooser.requests.empty());
}

TEST(MainDialogQt, UnitRadiosSwitchTheRatesAndTheirUnits) {
  QtShellHarness shell;
  shell.engine.average_rof = 2.0F;
  shell.engine.highest_rof = 3.5F;
  shell.engine.lowest_rof = 0.5F;
  shell.engine.number_of_shots = 7;
  struct Row {
    int radio;
    const char* unit;
    const char* rates[3];  // average, highest, lowest
  };
  for (const Row& row : {Row{kMsRadio, "ms", {"500.000000", "285.714286", ""}},
                         Row{kBpsRadio, "bps", {"2.000000", "3.500000", "0.500000"}}}) {
    QTest::mouseClick(shell.Control<QRadioButton>(row.radio), Qt::LeftButton);
    EXPECT_EQ(shell.Control<QRadioButton>(kBpsRadio)->isChecked(), row.radio == kBpsRadio);
    EXPECT_EQ(shell.Control<QRadioButton>(kMsRadio)->isChecked(), row.radio == kMsRadio);
    for (const int unit : {kAverageUnitField, kHighestUnitField, kLowestUnitField}) {
      EXPECT_EQ(Text(shell, unit).toStdString(), row.unit);
    }
    EXPECT_EQ(Text(shell, kAverageRofField).toStdString(), row.rates[0]);
    EXPECT_EQ(Text(shell, kHighestRofField).toStdString(), row.rates[1]);
    EXPECT_EQ(Text(shell, kLowestRofField).toStdString(), row.rates[2]);
    EXPECT_EQ(Text(shell, kNumberOfShotsField), QStringLiteral("7"));
  }
}

TEST(MainDialogQt, DisplayBoxHidesAndShowsTheDisplayArea) {
  QtShellHarness shell;
  const QRect opened = shell.dialog->frameGeometry();
  QTest::mouseClick(shell.Control<QCheckBox>(kDisplayCheckBox), Qt::LeftButton);
  QtShellHarness::Settle();
  EXPECT_FALSE(shell.Control<QCheckBox>(kDisplayCheckBox)->isChecked());
  EXPECT_FALSE(shell.Display()->isVisible());
  EXPECT_EQ(shell.dialog->frameGeometry().height(), opened.height() - 213);
  EXPECT_EQ(shell.dialog->frameGeometry().topLeft(), opened.topLeft());
  QTest::mouseClick(shell.Control<QCheckBox>(kDisplayCheckBox), Qt::LeftButton);
  QtShellHarness::Settle();
  EXPECT_TRUE(shell.Display()->isVisible());
  EXPECT_EQ(shell.dialog->frameGeometry(), opened);
}

TEST(MainDialogQt, LoadFillsTheReadoutsAndDrawsTheFirstShotAtTheLeftEdge) {
  QtShellHarness shell;
  const std::filesystem::path elsewhere = shell.dir.path() / "clips";
  std::filesystem::create_directory(elsewhere);
  shell.chooser.answers.push_back(WriteFifteenBpsClip(elsewhere / "burst.wav"));
  shell.chooser.wander_to = elsewhere;
  QTest::mouseClick(shell.Control<QPushButton>(kLoadButton), Qt::LeftButton);
  QtShellHarness::Settle();
  // Back in the start directory, where the logs and "tmp" belong.
  EXPECT_EQ(std::filesystem::current_path(), shell.dir.path());
  const auto routine = test::RoutineLogLines();
  ASSERT_FALSE(routine.empty());
  EXPECT_EQ(routine[0], "Starting Loading File");
  for (const ReadoutText& readout : ReadoutTexts(shell.engine, RateUnit::Bps)) {
    EXPECT_EQ(Text(shell, ReadoutField(readout.readout)).toStdString(), readout.text);
  }
  EXPECT_EQ(Text(shell, kClipLengthField), QStringLiteral("3"));
  ASSERT_GE(shell.engine.GetNumberOfShots(), 2);
  EXPECT_EQ(shell.view.view_offset, AlignedOffset(shell.engine.GetShot(0).position));
  EXPECT_TRUE(shell.Display()->ScrollBar()->isEnabled());
  EXPECT_EQ(shell.Display()->ScrollBar()->value(), -shell.view.view_offset);
  // The first shot's bar is at the left edge (x 0 .. 2 with the wide pen).
  EXPECT_EQ(shell.Display()->Canvas()->Image().pixelColor(1, 100), QColor(0, 0, 255));
}

TEST(MainDialogQt, ADroppedFileLoadsLikeAChosenOne) {
  QtShellHarness shell;
  const std::string clip = WriteFifteenBpsClip(shell.dir.path() / "dropped.wav");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(clip))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(shell.dialog.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(shell.dialog.get(), &drop);
  EXPECT_TRUE(shell.chooser.requests.empty());
  EXPECT_EQ(Text(shell, kClipLengthField), QStringLiteral("3"));
}

TEST(MainDialogQt, CloseEndsTheLoopAndHidesTheDialog) {
  QtShellHarness shell;
  shell.dialog->close();
  EXPECT_EQ(shell.state.quit_requested, 1);
  EXPECT_FALSE(shell.dialog->isVisible());
}

}  // namespace
