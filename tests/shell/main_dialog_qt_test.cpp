#include "shell/main_dialog_qt.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <variant>

#include "display/display_widget_qt.h"
#include "display/waveform_picture.h"
#include "engine/recording.h"
#include "shell/control_ids.h"
#include "shell/qt_shell_harness.h"
#include "shell/shell_loop.h"

namespace {

// The real main dialog over the fakes.
struct Harness : test::ShellParts {
  Harness() : dialog(CreateMainDialog(context)) {
    dialog->show();
    Settle();
  }
  ~Harness() { CloseDisplay(display); }
  // Lets posted work (check states, the Display command, repaints) run.
  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
    }
  }
  std::string Text(int id) const {
    return qobject_cast<QLineEdit*>(dialog->Control(id))->text().toStdString();
  }
  bool Checked(int id) const {
    return qobject_cast<QRadioButton*>(dialog->Control(id))->isChecked();
  }
  std::unique_ptr<MainDialog> dialog;
};

// What happens: a click on a control, the chooser's next answer, bytes the
// microphone captures (which the loop then polls), a turn of the main loop at
// a tick, or a capture that fails from then on.
struct Captured {
  std::uint32_t bytes;
};
struct TurnAt {
  std::uint32_t tick;
};
struct CaptureFails {};
using Step = std::variant<int, const char*, Captured, TurnAt, CaptureFails>;

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

// clang-format off
const CommandRow kCommands[] = {
    {.what = "Load", .steps = {kClip, kLoadButton}, .samples = kClipSamples},
    {.what = "Load during a recording finishes the recording first",
     .steps = {kRecButton, Captured{500}, kClip, kLoadButton},
     .samples = kClipSamples, .tmp_size = 544},
    {.what = "REC, STOP", .steps = {kRecButton, Captured{700}, kStopButton},
     .samples = 700, .tmp_size = 744},
    // The limit counts from the last REC, across the tick counter's wrap.
    {.what = "REC twice, up to the limit",
     .steps = {TurnAt{1000}, kRecButton, TurnAt{5000}, kRecButton, TurnAt{25000}},
     .recording = true},
    {.what = "REC past the limit",
     .steps = {TurnAt{1000}, kRecButton, Captured{400}, TurnAt{21001}},
     .messages = {kLimit}, .samples = 400, .tmp_size = 444},
    {.what = "REC past the limit across the wrap",
     .steps = {TurnAt{0xFFFFF000}, kRecButton, TurnAt{5000}, TurnAt{0xFFFFF000 + 20001}},
     .messages = {kLimit}, .tmp_size = 44},
    // A failed capture finishes "tmp", does not load it and ends the program.
    {.what = "REC, the capture fails",
     .steps = {kRecButton, Captured{400}, CaptureFails{}, TurnAt{100}},
     .messages = {"Failed To Capture Data"}, .samples = 400, .tmp_size = 444, .quit = true},
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
    {.what = "MS, BPS", .steps = {kMsRadio, kBpsRadio}},
    {.what = "Display off", .steps = {kDisplayCheckBox}, .display_shown = false},
    {.what = "Display off and on", .steps = {kDisplayCheckBox, kDisplayCheckBox}},
};
// clang-format on

void Take(Harness& s, const Step& step) {
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
  } else {
    s.audio.position_fails = true;
  }
  Harness::Settle();
}

TEST(MainDialogQt, Commands) {
  for (const CommandRow& row : kCommands) {
    SCOPED_TRACE(row.what);
    Harness s;
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
    const std::vector<std::string> critical = test::CriticalLogLines();
    EXPECT_EQ(s.notifier.shown.size(), row.messages.size());
    for (std::size_t i = 0; i < std::min(s.notifier.shown.size(), row.messages.size()); ++i) {
      EXPECT_EQ(s.notifier.shown[i].text, row.messages[i]);
      EXPECT_NE(std::find(critical.begin(), critical.end(), row.messages[i]), critical.end());
    }
    EXPECT_EQ(s.engine.IsRecording(), row.recording);
    EXPECT_EQ(s.state.quit_requested, row.quit);
    EXPECT_EQ(s.engine.GetSampleCount(), row.samples);
    if (row.samples == kClipSamples) {  // loaded, back from the chooser's folder
      EXPECT_EQ(std::filesystem::current_path(), s.dir.path());
    }
    EXPECT_EQ(test::ReadBytes("tmp").size(), row.tmp_size);
    EXPECT_EQ(test::ReadBytes("clips/copy"),
              row.saves_copy ? test::ReadBytes(kClip) : std::vector<std::uint8_t>());
    // Readouts and units as the engine gives them, the dialog 213 pixels
    // taller than its template with the display, and the first shot of a
    // clip at the view's left edge, drawn.
    for (const ReadoutText& readout : ReadoutTexts(s.engine, row.unit)) {
      EXPECT_EQ(s.Text(ReadoutField(readout.readout)), readout.text);
    }
    EXPECT_EQ(s.Text(kLowestUnitField), UnitText(row.unit));
    EXPECT_EQ(s.Checked(kMsRadio), row.unit == RateUnit::Ms);
    EXPECT_EQ(s.Checked(kBpsRadio), row.unit == RateUnit::Bps);
    const auto* display = s.dialog->findChild<DisplayWidget*>();
    EXPECT_EQ(display->isVisible(), row.display_shown);
    EXPECT_EQ(s.dialog->height(),
              s.dialog->TemplateSize().height() + (row.display_shown ? 213 : 0));
    EXPECT_EQ(display->ScrollBar()->isEnabled(), row.samples == kClipSamples);
    if (row.samples == kClipSamples && row.display_shown) {
      EXPECT_EQ(s.view.view_offset, AlignedOffset(s.engine.GetShot(0).position));
      EXPECT_EQ(display->Canvas()->Image().pixelColor(1, 100), QColor(0, 0, 255));
    }
  }
}

}  // namespace
