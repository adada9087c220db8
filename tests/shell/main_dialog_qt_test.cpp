#include "shell/main_dialog_qt.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <variant>

#include "display/display_widget_qt.h"
#include "display/waveform_picture.h"
#include "engine/recording.h"
#include "shell/control_ids.h"
#include "shell/qt_shell_harness.h"
#include "shell/shell_loop.h"

namespace {

using test::QtShellHarness;

// What happens: a click on a control, the chooser's next answer, bytes the
// microphone captures (which the loop then polls), a file dropped on the
// dialog, a turn of the main loop at a tick, or a capture that fails from
// then on.
struct Captured {
  std::uint32_t bytes;
};
struct Dropped {
  const char* path;
};
struct TurnAt {
  std::uint32_t tick;
};
struct CaptureFails {};
using Step = std::variant<int, const char*, Captured, Dropped, TurnAt, CaptureFails>;

struct CommandRow {
  const char* what;
  std::vector<Step> steps = {};
  std::vector<std::string> messages = {};  // each also in the critical log
  std::uint32_t samples = 0;
  std::size_t tmp_size = 0;
  RateUnit unit = RateUnit::Bps;
  bool display_shown = true;
  bool microphone = true;
  bool saves_copy = false;
  bool recording = false;
  bool quit = false;
};

constexpr const char* kClip = "clips/clip.wav";  // 3 seconds
constexpr std::uint32_t kClipSamples = 3 * 22050;
const std::string kLongName = std::string(250, 'a') + ".wav";  // with the folder, over 254
constexpr const char* kLimit = "Can Only Record 30 Second Clips";
constexpr const char* kCaptureFailed = "Failed To Capture Data";

// clang-format off
const CommandRow kCommands[] = {
    {.what = "Load", .steps = {kClip, kLoadButton}, .samples = kClipSamples},
    {.what = "a dropped file", .steps = {Dropped{kClip}}, .samples = kClipSamples},
    {.what = "Load during a recording finishes the recording first",
     .steps = {kRecButton, Captured{500}, kClip, kLoadButton},
     .samples = kClipSamples, .tmp_size = 544},
    {.what = "REC, STOP", .steps = {kRecButton, Captured{700}, kStopButton},
     .samples = 700, .tmp_size = 744},
    // The limit counts from the last REC, across the tick counter's wrap.
    {.what = "REC until the limit",
     .steps = {TurnAt{1000}, kRecButton, Captured{400}, TurnAt{21000}},
     .samples = 400, .recording = true},
    {.what = "REC past the limit",
     .steps = {TurnAt{1000}, kRecButton, Captured{400}, TurnAt{21001}},
     .messages = {kLimit}, .samples = 400, .tmp_size = 444},
    {.what = "REC twice",
     .steps = {TurnAt{1000}, kRecButton, TurnAt{5000}, kRecButton, TurnAt{25000}},
     .recording = true},
    {.what = "REC past the limit across the wrap",
     .steps = {TurnAt{0xFFFFF000}, kRecButton, TurnAt{5000}, TurnAt{0xFFFFF000 + 20001}},
     .messages = {kLimit}, .tmp_size = 44},
    // A failed capture finishes "tmp" and ends the program.
    {.what = "REC, the capture fails",
     .steps = {kRecButton, Captured{400}, CaptureFails{}, TurnAt{100}},
     .messages = {kCaptureFailed}, .samples = 400, .tmp_size = 444, .quit = true},
    {.what = "REC, the capture fails past the limit",
     .steps = {kRecButton, CaptureFails{}, TurnAt{20001}},
     .messages = {kCaptureFailed, kLimit}, .tmp_size = 44, .quit = true},
    {.what = "REC without a microphone", .steps = {kRecButton},
     .messages = {"Failed to create sound capture"}, .microphone = false},
    {.what = "Load given a path too long", .steps = {kLongName.c_str(), kLoadButton}},
    {.what = "Save without a clip", .steps = {kSaveButton}, .messages = {"No Data Is Loaded"}},
    {.what = "Save under a name without extension",
     .steps = {kClip, kLoadButton, "clips/copy", kSaveButton},
     .samples = kClipSamples, .saves_copy = true},
    {.what = "Save into a missing folder",
     .steps = {kClip, kLoadButton, "missing/x.wav", kSaveButton},
     .messages = {"Failed To Save .wav File"}, .samples = kClipSamples},
    {.what = "MS, Load", .steps = {kMsRadio, kClip, kLoadButton},
     .samples = kClipSamples, .unit = RateUnit::Ms},
    {.what = "MS, BPS", .steps = {kClip, kLoadButton, kMsRadio, kBpsRadio},
     .samples = kClipSamples},
    {.what = "Display off", .steps = {kDisplayCheckBox}, .display_shown = false},
    {.what = "Display off and on", .steps = {kDisplayCheckBox, kDisplayCheckBox}},
};
// clang-format on

void Take(QtShellHarness& s, const Step& step) {
  if (const int* control = std::get_if<int>(&step)) {
    QTest::mouseClick(s.dialog->Control(*control), Qt::LeftButton);
  } else if (const auto* answer = std::get_if<const char*>(&step)) {
    s.chooser.answers.push_back((s.dir.path() / *answer).string());
  } else if (const auto* captured = std::get_if<Captured>(&step)) {
    s.audio.Capture(std::vector<std::uint8_t>(captured->bytes, 128));
    PollCapture(s.engine);
  } else if (const auto* turn = std::get_if<TurnAt>(&step)) {
    s.ticks.now = turn->tick;
    ServiceRecording(s.context);
  } else if (std::holds_alternative<CaptureFails>(step)) {
    s.audio.position_fails = true;
  } else {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromLatin1(std::get<Dropped>(step).path))});
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(s.dialog.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(s.dialog.get(), &drop);
  }
  QtShellHarness::Settle();
}

// Readouts and units as the engine gives them, the radios, the dialog 213
// pixels taller than its template with the display below, and the first
// shot of a clip at the view's left edge.
void ExpectShown(QtShellHarness& s, const CommandRow& row) {
  for (const ReadoutText& readout : ReadoutTexts(s.engine, row.unit)) {
    EXPECT_EQ(s.Text(ReadoutField(readout.readout)), readout.text);
  }
  EXPECT_EQ(s.Text(kLowestUnitField), UnitText(row.unit));
  EXPECT_EQ(s.Control<QRadioButton>(kMsRadio)->isChecked(), row.unit == RateUnit::Ms);
  EXPECT_EQ(s.Control<QRadioButton>(kBpsRadio)->isChecked(), row.unit == RateUnit::Bps);
  const QSize base =
      s.dialog->TemplateSize() + s.dialog->frameGeometry().size() - s.dialog->geometry().size();
  const auto* display = s.dialog->findChild<DisplayWidget*>();
  EXPECT_EQ(display->isVisible(), row.display_shown);
  EXPECT_EQ(s.dialog->frameGeometry().height(), base.height() + (row.display_shown ? 213 : 0));
  EXPECT_EQ(display->geometry(), QRect(0, base.height(), base.width() - 5, 180));
  EXPECT_EQ(display->ScrollBar()->isEnabled(), row.samples == kClipSamples);
  if (HasPicture(s.engine) && row.display_shown) {
    EXPECT_EQ(s.view.view_offset, AlignedOffset(s.engine.GetShot(0).position));
    EXPECT_EQ(display->ScrollBar()->value(), -s.view.view_offset);
    EXPECT_EQ(display->Canvas()->Image().pixelColor(1, 100), QColor(0, 0, 255));
  }
}

TEST(MainDialogQt, Commands) {
  for (const CommandRow& row : kCommands) {
    SCOPED_TRACE(row.what);
    QtShellHarness s;
    std::filesystem::create_directory("clips");
    std::vector<std::uint32_t> bursts;  // 15 BPS
    for (std::uint32_t start = 3000; start + 1470 < kClipSamples; start += 1470) {
      bursts.push_back(start);
    }
    test::WriteBytes(kClip, test::MakeWave8(22050, test::MakeShotTrain(kClipSamples, bursts)));
    s.chooser.wander_to = s.dir.path() / "clips";
    s.audio.capture_available = row.microphone;
    for (const Step& step : row.steps) {
      Take(s, step);
    }
    std::vector<std::string> shown;
    for (const auto& message : s.notifier.shown) {
      shown.push_back(message.text);
    }
    EXPECT_EQ(shown, row.messages);
    const std::vector<std::string> critical = test::CriticalLogLines();
    for (const std::string& text : row.messages) {
      EXPECT_NE(std::find(critical.begin(), critical.end(), text), critical.end()) << text;
    }
    EXPECT_EQ(s.engine.IsRecording(), row.recording);
    EXPECT_EQ(s.state.quit_requested, row.quit);
    if (row.quit) {  // "tmp" finished, not loaded
      EXPECT_EQ(test::RoutineLogLines().back(), kCaptureFailed);
    }
    EXPECT_EQ(s.engine.GetSampleCount(), row.samples);
    if (row.samples == kClipSamples) {  // loaded, back in the start directory
      const std::vector<std::string> routine = test::RoutineLogLines();
      EXPECT_NE(std::find(routine.begin(), routine.end(), "Starting Loading File"), routine.end());
      EXPECT_EQ(std::filesystem::current_path(), s.dir.path());
    }
    EXPECT_EQ(test::ReadBytes("tmp").size(), row.tmp_size);
    EXPECT_EQ(test::ReadBytes("clips/copy"),
              row.saves_copy ? test::ReadBytes(kClip) : std::vector<std::uint8_t>());
    ExpectShown(s, row);
  }
}

}  // namespace
