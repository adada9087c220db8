#include "shell/main_dialog_qt.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <functional>

#include "display/display_widget_qt.h"
#include "engine/recording.h"
#include "shell/control_ids.h"
#include "shell/qt_shell_harness.h"

namespace {

using test::QtShellHarness;
using Lines = std::vector<std::string>;

DisplayWidget* Display(const QtShellHarness& shell) {
  return shell.dialog->findChild<DisplayWidget*>();
}

void Click(QtShellHarness& shell, int id) {
  QTest::mouseClick(shell.dialog->Control(id), Qt::LeftButton);
  QtShellHarness::Settle();
}

// The frame's size as the template makes it, without the display area.
QSize BaseSize(const QtShellHarness& shell) {
  return shell.dialog->TemplateSize() + shell.dialog->frameGeometry().size() -
         shell.dialog->geometry().size();
}

struct CommandRow {
  const char* what;
  std::function<void(QtShellHarness&)> act_and_check;
  Lines messages;  // each also in the critical log
};

void LoadClip(QtShellHarness& shell) {
  std::filesystem::create_directories(shell.dir.path() / "clips");
  shell.chooser.answers.push_back(
      test::WriteFifteenBpsClip(shell.dir.path() / "clips" / "burst.wav", 3));
  Click(shell, kLoadButton);
}

const CommandRow kCommands[] = {
    {"Load from a chooser that wanders off",
     [](QtShellHarness& s) {
       std::filesystem::create_directory(s.dir.path() / "clips");
       s.chooser.wander_to = s.dir.path() / "clips";
       LoadClip(s);
       EXPECT_EQ(std::filesystem::current_path(), s.dir.path());
       EXPECT_EQ(test::RoutineLogLines().at(0), "Starting Loading File");
       EXPECT_EQ(s.Text(kClipLengthField), "3");
       EXPECT_EQ(s.Text(kAverageRofField), ReadoutTexts(s.engine, RateUnit::Bps)[0].text);
       // The first shot at the left edge, its bar drawn at x 0 .. 2.
       EXPECT_EQ(s.view.view_offset, AlignedOffset(s.engine.GetShot(0).position));
       EXPECT_EQ(Display(s)->ScrollBar()->value(), -s.view.view_offset);
       EXPECT_EQ(Display(s)->Canvas()->Image().pixelColor(1, 100), QColor(0, 0, 255));
     },
     {}},
    {"a dropped file",
     [](QtShellHarness& s) {
       QMimeData data;
       data.setUrls({QUrl::fromLocalFile(
           QString::fromStdString(test::WriteFifteenBpsClip(s.dir.path() / "dropped.wav", 3)))});
       QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
       QCoreApplication::sendEvent(s.dialog.get(), &enter);
       EXPECT_TRUE(enter.isAccepted());
       QDropEvent drop({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
       QCoreApplication::sendEvent(s.dialog.get(), &drop);
       EXPECT_EQ(s.Text(kClipLengthField), "3");
     },
     {}},
    {"Save without a clip",
     [](QtShellHarness& s) { Click(s, kSaveButton); },
     {"No Data Is Loaded"}},
    {"Save under the name as typed",
     [](QtShellHarness& s) {
       LoadClip(s);
       s.chooser.answers.push_back((s.dir.path() / "clips" / "copy").string());
       s.chooser.wander_to = s.dir.path() / "clips";
       Click(s, kSaveButton);
       EXPECT_EQ(s.chooser.requests.at(1).kind, ChooserKind::Save);
       EXPECT_EQ(std::filesystem::current_path(), s.dir.path());
       EXPECT_EQ(test::ReadBytes("clips/copy"), test::ReadBytes("clips/burst.wav"));
     },
     {}},
    {"Save into a missing folder",
     [](QtShellHarness& s) {
       LoadClip(s);
       s.chooser.answers.push_back((s.dir.path() / "missing" / "x.wav").string());
       Click(s, kSaveButton);
     },
     {"Failed To Save .wav File"}},
    {"REC without a microphone",
     [](QtShellHarness& s) {
       s.audio.script.capture_available = false;
       Click(s, kRecButton);
       EXPECT_FALSE(s.engine.IsRecording());
     },
     {"Failed to create sound capture"}},
    {"REC then STOP",
     [](QtShellHarness& s) {
       Click(s, kRecButton);
       s.audio.Capture(std::vector<std::uint8_t>(700, 128));
       PollCapture(s.engine);
       Click(s, kStopButton);
       EXPECT_EQ(s.engine.GetSampleCount(), 700U);
       EXPECT_EQ(test::ReadBytes("tmp").size(), 744U);
     },
     {}},
    {"Load during a recording finishes the recording first",
     [](QtShellHarness& s) {
       Click(s, kRecButton);
       s.audio.Capture(std::vector<std::uint8_t>(500, 128));
       PollCapture(s.engine);
       LoadClip(s);
       EXPECT_EQ(s.audio.script.devices_alive, 0);
       EXPECT_EQ(test::ReadBytes("tmp").size(), 544U);
       EXPECT_EQ(s.engine.GetSampleCount(), 3 * 22050U);
     },
     {}},
    {"MS then BPS",
     [](QtShellHarness& s) {
       s.engine.average_rof = 2.0F;
       s.engine.highest_rof = 3.5F;
       s.engine.lowest_rof = 0.5F;
       Click(s, kMsRadio);
       EXPECT_EQ(s.Text(kHighestUnitField), "ms");
       EXPECT_EQ(s.Text(kHighestRofField), "285.714286");
       EXPECT_EQ(s.Text(kLowestRofField), "");
       Click(s, kBpsRadio);
       EXPECT_EQ(s.Text(kLowestRofField), "0.500000");
     },
     {}},
    {"Display off and on again where the dialog is",
     [](QtShellHarness& s) {
       // It opens 213 pixels taller than the template, the display below.
       const QRect opened = s.dialog->frameGeometry();
       const QSize base = BaseSize(s);
       EXPECT_EQ(opened.size(), base + QSize(0, 213));
       EXPECT_EQ(Display(s)->geometry(), QRect(0, base.height(), base.width() - 5, 180));
       EXPECT_FALSE(Display(s)->ScrollBar()->isEnabled());  // nothing to scroll
       Click(s, kDisplayCheckBox);
       EXPECT_FALSE(Display(s)->isVisible());
       EXPECT_EQ(s.dialog->frameGeometry(), QRect(opened.topLeft(), base));
       Click(s, kDisplayCheckBox);
       EXPECT_TRUE(Display(s)->isVisible());
       EXPECT_EQ(s.dialog->frameGeometry(), opened);
     },
     {}},
};

TEST(MainDialogQt, Commands) {
  for (const CommandRow& row : kCommands) {
    SCOPED_TRACE(row.what);
    QtShellHarness shell;
    row.act_and_check(shell);
    Lines shown;
    for (const auto& message : shell.notifier.shown) {
      shown.push_back(message.text);
    }
    EXPECT_EQ(shown, row.messages);
    const Lines critical = test::CriticalLogLines();
    for (const std::string& text : row.messages) {
      EXPECT_NE(std::find(critical.begin(), critical.end(), text), critical.end()) << text;
    }
  }
}

}  // namespace
