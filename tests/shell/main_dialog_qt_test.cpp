#include "shell/main_dialog_qt.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include "shell/control_ids.h"
#include "shell/dialog_font_qt.h"
#include "shell/qt_shell_harness.h"
#include "shell/readout_texts.h"

namespace {

using test::QtShellHarness;

constexpr std::uint32_t kRate = 22050;

std::string WriteFifteenBpsClip(const std::filesystem::path& path) {
  std::vector<std::uint32_t> bursts;
  for (std::uint32_t start = 3000; start + 1470 < 3 * kRate; start += 1470) {
    bursts.push_back(start);
  }
  test::WriteBytes(path, test::MakeWave8(kRate, test::MakeShotTrain(3 * kRate, bursts)));
  return path.string();
}

QString Text(QtShellHarness& shell, int id) { return shell.Control<QLineEdit>(id)->text(); }

TEST(MainDialogQt, OpensWithBpsTheDisplayShownAndAnEmptyClip) {
  QtShellHarness shell;
  EXPECT_EQ(shell.dialog->windowTitle(), QStringLiteral("PC Tallyquin (TM)"));
  EXPECT_TRUE(shell.Control<QRadioButton>(kBpsRadio)->isChecked());
  EXPECT_FALSE(shell.Control<QRadioButton>(kMsRadio)->isChecked());
  EXPECT_TRUE(shell.Control<QCheckBox>(kDisplayCheckBox)->isChecked());
  for (const int unit : {kAverageUnitField, kHighestUnitField, kLowestUnitField}) {
    EXPECT_EQ(Text(shell, unit), QStringLiteral("bps"));
  }
  EXPECT_EQ(Text(shell, kAverageRofField), QStringLiteral("0.000000"));
  EXPECT_EQ(Text(shell, kHighestRofField), QStringLiteral("0.000000"));
  EXPECT_EQ(Text(shell, kLowestRofField), QStringLiteral("0.000000"));
  EXPECT_EQ(Text(shell, kNumberOfShotsField), QStringLiteral("0"));
  EXPECT_EQ(Text(shell, kClipLengthField), QStringLiteral("0"));
  EXPECT_EQ(Text(shell, kClipQualityField), QStringLiteral("100"));

  // 213 pixels taller than the window the template makes (its client size
  // within the frame), with the display below that height.
  const QSize frame = shell.dialog->frameGeometry().size() - shell.dialog->geometry().size();
  const QSize base = shell.dialog->TemplateSize() + frame;
  EXPECT_EQ(shell.dialog->frameGeometry().height(), base.height() + 213);
  EXPECT_EQ(shell.dialog->frameGeometry().width(), base.width());
  EXPECT_EQ(shell.state.base_height, base.height());
  DisplayWidget* display = shell.Display();
  ASSERT_NE(display, nullptr);
  EXPECT_TRUE(display->isVisible());
  EXPECT_EQ(display->windowTitle(), QStringLiteral("TAMBRIX Display"));
  EXPECT_EQ(display->geometry(), QRect(0, base.height(), base.width() - 5, 180));
  // No clip: the bar has nothing to scroll and shows it disabled.
  EXPECT_TRUE(display->ScrollBar()->isVisible());
  EXPECT_FALSE(display->ScrollBar()->isEnabled());
  EXPECT_EQ(display->Canvas()->Image().pixelColor(10, 10), QColor(111, 111, 115));
}

TEST(MainDialogQt, ControlsFollowTheTemplateInDialogUnits) {
  QtShellHarness shell;
  const BaseUnits units = shell.dialog->Units();
  EXPECT_EQ(units.x, DialogBaseUnits(DialogFont()).x);
  EXPECT_GE(units.x, 5);
  EXPECT_LE(units.y, 14);
  int group_boxes = 0;
  int labels = 0;
  for (QObject* child : shell.dialog->children()) {
    group_boxes += qobject_cast<QGroupBox*>(child) != nullptr;
    labels += qobject_cast<QLabel*>(child) != nullptr;
  }
  EXPECT_EQ(group_boxes, 3);
  EXPECT_EQ(labels, 11);  // nine texts and two pictures
  for (const ControlTemplate& control : MainDialogControls()) {
    if (control.id == kNoControlId) {
      continue;
    }
    QWidget* widget = shell.dialog->Control(control.id);
    ASSERT_NE(widget, nullptr) << control.id;
    const PixelRect rect = DialogUnitsToPixels(control.rect, units);
    EXPECT_EQ(widget->geometry(), QRect(rect.x, rect.y, rect.width, rect.height)) << control.id;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text().toStdString(), control.text);
    } else {
      EXPECT_TRUE(qobject_cast<QLineEdit*>(widget)->isReadOnly()) << control.id;
    }
  }
  // The Tab key walks the template order: buttons and fields, no radios.
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

TEST(MainDialogQt, UnitRadiosSwitchTheReadouts) {
  QtShellHarness shell;
  QTest::mouseClick(shell.Control<QRadioButton>(kMsRadio), Qt::LeftButton);
  EXPECT_FALSE(shell.Control<QRadioButton>(kBpsRadio)->isChecked());
  EXPECT_EQ(Text(shell, kAverageUnitField), QStringLiteral("ms"));
  QTest::mouseClick(shell.Control<QRadioButton>(kBpsRadio), Qt::LeftButton);
  EXPECT_EQ(Text(shell, kLowestUnitField), QStringLiteral("bps"));
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
  shell.chooser.answers.push_back(WriteFifteenBpsClip(shell.dir.path() / "burst.wav"));
  QTest::mouseClick(shell.Control<QPushButton>(kLoadButton), Qt::LeftButton);
  QtShellHarness::Settle();
  for (const FieldText& field : ReadoutFieldTexts(shell.engine, 1)) {
    EXPECT_EQ(Text(shell, field.field_id).toStdString(), field.text);
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
  EXPECT_EQ(test::RoutineLogLines().front(), "Starting Loading File");
  EXPECT_EQ(Text(shell, kClipLengthField), QStringLiteral("3"));

  // Anything but one local file is refused.
  QMimeData text;
  text.setText(QStringLiteral("burst.wav"));
  QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  refused.ignore();
  QCoreApplication::sendEvent(shell.dialog.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST(MainDialogQt, CloseEndsTheLoopAndHidesTheDialog) {
  QtShellHarness shell;
  shell.dialog->close();
  EXPECT_EQ(shell.state.quit_requested, 1);
  EXPECT_FALSE(shell.dialog->isVisible());
}

}  // namespace
