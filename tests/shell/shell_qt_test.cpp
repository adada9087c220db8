// The shell's Qt parts: the real main dialog and the shell's run over a fake
// microphone, chooser, clock and message boxes, the file chooser, the quit
// signals, and the real program on a private Xvfb server, where xwininfo
// (x11-utils) finds its window and SIGTERM ends it, and without a reachable
// display.

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <csignal>
#include <variant>

#include "display/display_widget_qt.h"
#include "display/display_window.h"
#include "display/waveform_picture.h"
#include "engine/recording.h"
#include "engine/sound_engine.h"
#include "shell/control_ids.h"
#include "shell/detector_choice.h"
#include "shell/dialog_font_qt.h"
#include "shell/file_chooser_qt.h"
#include "shell/group_frame_qt.h"
#include "shell/main_dialog_qt.h"
#include "shell/message_box_qt.h"
#include "shell/quit_signals_qt.h"
#include "shell/run_shell_qt.h"
#include "shell/shell_context.h"
#include "shell/shell_loop.h"
#include "shell/tick_source.h"
#include "support/fake_audio_system.h"
#include "support/shell_fixture.h"
#include "support/test_support.h"

namespace {

using test::Shell;

// What happens: a click on a control, the chooser's next answer, bytes the
// microphone captures (which the loop then polls; none: the capture fails
// from then on; the clip's shots or silence), a turn of the main loop at a
// tick, a drop, a key on the waveform, or a detector chosen.
struct Captured {
  std::uint32_t bytes;
  bool shots = false;
};
struct TurnAt {
  std::uint32_t tick;
};
// A file dropped on the dialog, made from the clip by FFmpeg's encoders.
struct Dropped {
  const char* path;
};
using Step = std::variant<int, const char*, Captured, TurnAt, Dropped, Qt::Key, Detector>;

struct CommandRow {
  std::vector<Step> steps = {};
  // Each also in the critical log, but for the analysis's box of a load
  // without samples.
  std::vector<std::string> messages = {};
  std::uint32_t samples = 0;
  std::size_t tmp_size = 0;
  RateUnit unit = RateUnit::Bps;
  Detector detector = Detector::Classic;  // that gave the figures
  bool display_shown = true;
  bool microphone = true;
  bool recording = false;
  bool quit = false;
};

constexpr const char* kClip = "clips/clip.wav";  // 3 seconds
constexpr std::uint32_t kClipSamples = 3 * 22050;
constexpr const char* kLimit = "Can Only Record 30 Second Clips";
constexpr const char* kNoData = "Failed To Analize Due To No Data Allocation";

// clang-format off
const CommandRow kCommands[] = {
    {.steps = {kClip, kLoadButton}, .samples = kClipSamples},
    // A new clip opens at its start, and a failed load shows nothing.
    {.steps = {kClip, kLoadButton, Qt::Key_End, kClip, kLoadButton}, .samples = kClipSamples},
    {.steps = {kClip, kLoadButton, "clips/none.wav", kLoadButton},
     .messages = {kNoData}},
    // Load during a recording finishes the recording first.
    {.steps = {kRecButton, Captured{500}, kClip, kLoadButton}, .samples = kClipSamples, .tmp_size = 544},
    {.steps = {kRecButton, Captured{700}, kStopButton}, .samples = 700, .tmp_size = 744},
    // The limit counts from the last REC (20000 ticks are not past it), and
    // across the tick counter's wrap. REC puts the clip held aside at once.
    {.steps = {kClip, kLoadButton, TurnAt{1000}, kRecButton, TurnAt{5000}, kRecButton, TurnAt{25000}}, .recording = true},
    {.steps = {TurnAt{1000}, kRecButton, Captured{kClipSamples, true}, TurnAt{21001}},
     .messages = {kLimit}, .samples = kClipSamples, .tmp_size = 44 + kClipSamples},
    {.steps = {TurnAt{1000}, kRecButton, Captured{400}, TurnAt{21001}},
     .messages = {kLimit}, .samples = 400, .tmp_size = 444},
    // Running figures while recording, the view following the newest sound.
    {.steps = {TurnAt{1000}, kRecButton, Captured{kClipSamples, true}, TurnAt{21000}}, .samples = kClipSamples, .recording = true},
    {.steps = {TurnAt{0xFFFFF000}, kRecButton, TurnAt{5000}, TurnAt{0xFFFFF000 + 20001}},
     .messages = {kLimit}, .tmp_size = 44},
    // A failed capture finishes "tmp" and ends the program.
    {.steps = {kRecButton, Captured{400}, Captured{0}, TurnAt{100}},
     .messages = {"Failed To Capture Data"}, .samples = 400, .tmp_size = 444, .quit = true},
    {.steps = {kRecButton}, .messages = {"Failed to create sound capture"}, .microphone = false},
    {.steps = {kSaveButton}, .messages = {"No Data Is Loaded"}},
    // Saved into a missing folder.
    {.steps = {kClip, kLoadButton, "missing/x.wav", kSaveButton},
     .messages = {"Failed To Save .wav File"}, .samples = kClipSamples},
    {.steps = {kMsRadio, kClip, kLoadButton}, .samples = kClipSamples, .unit = RateUnit::Ms},
    {.steps = {kDisplayCheckBox}, .display_shown = false},
    {.steps = {Dropped{"clips/clip.flac"}}, .samples = kClipSamples, .tmp_size = 44 + 2 * kClipSamples},
    // MP3 defeats the classic detector: the mark offers the robust result.
    {.steps = {Dropped{"clips/clip.mp3"}, kDetectorMark}, .samples = kClipSamples, .tmp_size = 44 + 2 * kClipSamples, .detector = Detector::Robust},
    {.steps = {Dropped{"clips/clip.mp3"}, kDetectorMark, Detector::Classic}, .samples = kClipSamples, .tmp_size = 44 + 2 * kClipSamples},
};
// clang-format on

TEST(MainDialogQt, Commands) {
  for (const CommandRow& row : kCommands) {
    SCOPED_TRACE(&row - kCommands);
    Shell s;
    const std::unique_ptr<MainDialog> dialog = CreateMainDialog(s.context);
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    QTest::qWait(5);  // posted work: check states, the Display command, repaints
    std::filesystem::create_directory("clips");
    std::vector<std::uint32_t> bursts(42);  // 15 BPS from 3000
    std::generate(bursts.begin(), bursts.end(),
                  [p = 3000U - 1470U]() mutable { return p += 1470; });
    const std::vector<std::uint8_t> train = test::MakeShotTrain(kClipSamples, bursts);
    test::WriteBytes(kClip, test::MakeWave8(22050, train));
    s.chooser.wander_to = s.dir.path() / "clips";
    s.audio.capture_available = row.microphone;
    for (const Step& step : row.steps) {
      if (const int* control = std::get_if<int>(&step)) {
        QTest::mouseClick(dialog->Control(*control), Qt::LeftButton);
      } else if (const auto* answer = std::get_if<const char*>(&step)) {
        s.chooser.answers.push_back((s.dir.path() / *answer).string());
      } else if (const auto* dropped = std::get_if<Dropped>(&step)) {
        const std::string path = (s.dir.path() / dropped->path).string();
        ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -i " + (s.dir.path() / kClip).string() +
                               " " + path)
                                  .c_str()),
                  0);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject*>(dialog.get())->event(&drop);  // past the drag manager
      } else if (const auto* turn = std::get_if<TurnAt>(&step)) {
        s.ticks.now = turn->tick;
        ServiceRecording(s.context);
      } else if (const auto* key = std::get_if<Qt::Key>(&step)) {
        QTest::keyClick(dialog->findChild<DisplayWidget*>(), *key);
      } else if (const auto* detector = std::get_if<Detector>(&step)) {
        // From the context menu, which keeps the choice for the next start.
        QSettings().remove("detector");
        QTimer::singleShot(0, [detector] {
          auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
          menu->actions().at(static_cast<int>(*detector))->trigger();
          menu->close();
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                                dialog->mapToGlobal(QPoint(10, 10)));
        static_cast<QObject*>(dialog.get())->event(&click);
        QApplication::setActiveWindow(dialog.get());  // back from the menu
        EXPECT_EQ(QSettings().value("detector").toString().toStdString(), DetectorName(*detector));
      } else {
        const Captured captured = std::get<Captured>(step);
        s.audio.Capture(captured.shots ? train : std::vector<std::uint8_t>(captured.bytes, 128));
        s.audio.position_fails = captured.bytes == 0;
        ServiceRecording(s.context);
      }
      QTest::qWait(5);
    }
    const std::vector<std::string> critical = test::CriticalLogLines();
    ASSERT_EQ(s.notifier.shown.size(), row.messages.size());
    for (std::size_t i = 0; i < row.messages.size(); ++i) {
      EXPECT_EQ(s.notifier.shown[i].text, row.messages[i]);
      EXPECT_TRUE(row.messages[i] == kNoData ||
                  std::find(critical.begin(), critical.end(), row.messages[i]) != critical.end());
    }
    EXPECT_EQ(s.engine.IsRecording(), row.recording);
    EXPECT_EQ(s.engine.detector, row.detector);
    EXPECT_EQ(s.state.quit_requested, row.quit);
    EXPECT_EQ(s.engine.GetSampleCount(), row.samples);
    EXPECT_EQ(test::ReadBytes("tmp").size(), row.tmp_size);
    // Readouts and units as the engine gives them (its running analysis while
    // recording, the view at the newest sound in its 568 pixels), REC down
    // and counting while recording, the dialog 213 pixels taller than its
    // template with the display, a picture that shows the clip held (its
    // trace across the middle) and a bar in view when shots are counted, and
    // a loaded clip's first shot at the view's left edge, back from the
    // chooser's folder.
    const auto text = [&](int id) { return qobject_cast<QLabel*>(dialog->Control(id))->text(); };
    for (const ReadoutText& readout : ReadoutTexts(ShownAnalysis(s.engine), row.unit)) {
      EXPECT_EQ(text(ReadoutField(readout.readout)).toStdString(), readout.text);
    }
    EXPECT_EQ(text(kLowestUnitField).toStdString(), UnitText(row.unit));
    EXPECT_EQ(dialog->Control(kRecButton)->property("checked"), row.recording);
    // The rows left recording are 20 s past their last REC.
    EXPECT_EQ(dialog->Control(kRecButton)->property("text"), row.recording ? "REC 20/20" : "REC");
    const auto* display = dialog->findChild<DisplayWidget*>();
    EXPECT_EQ(display->isVisible(), row.display_shown);
    EXPECT_EQ(dialog->height(), dialog->TemplateSize().height() + (row.display_shown ? 213 : 0));
    const QImage image = display->Canvas()->Image();
    EXPECT_EQ(image.pixelColor(100, 64) == QColor(0, 255, 0), ShownAnalysis(s.engine).HasData());
    EXPECT_TRUE(!row.recording ||
                s.view.view_offset == std::min(1, LowerBound(row.samples, 568, s.view.zoom)));
    EXPECT_EQ(image.pixelColor(1, 120) == Qt::blue, !row.recording && s.engine.number_of_shots > 1);
    if (row.samples == kClipSamples && s.engine.GetNumberOfShots() >= 2) {
      EXPECT_EQ(std::filesystem::current_path(), s.dir.path());
      EXPECT_EQ(s.view.view_offset, AlignedOffset(s.engine.GetShot(0).position));
    }
    // The waveform is the last tab stop, before the first control, and
    // frames itself when it has the focus.
    const QColor unfocused = display->Canvas()->grab().toImage().pixelColor(1, 50);
    dialog->Control(kLoadButton)->setFocus();
    QTest::keyClick(dialog->Control(kLoadButton), Qt::Key_Backtab);
    EXPECT_EQ(display->Canvas()->grab().toImage().pixelColor(1, 50) != unfocused,
              row.display_shown);
    CloseDisplay(s.display);
  }
}

// Every figure whole in every readout, a tooltip on each control with an
// identifier, controls below their frames' top lines, artwork with twice the
// pixels for two to a point, the first size (display area included) centred
// on the screen, and the client size kept on each Display toggle inside a frame.
TEST(MainDialogQt, Looks) {
  Shell s;
  const std::unique_ptr<MainDialog> dialog = CreateMainDialog(s.context);
  QCoreApplication::sendPostedEvents();  // the first Display command, before any frame
  const QPoint off_centre =
      dialog->geometry().center() - dialog->screen()->availableGeometry().center();
  EXPECT_LE(off_centre.manhattanLength(), 2);
  for (const ControlTemplate& control : MainDialogControls()) {
    const QWidget* widget = dialog->Control(control.id);
    EXPECT_TRUE(widget == nullptr || !widget->toolTip().isEmpty()) << control.id;
  }
  for (const int field : kReadoutFields) {
    const QWidget* readout = dialog->Control(field);
    for (const std::string& text : WidestReadoutTexts()) {
      EXPECT_LE(QFontMetrics(readout->font()).horizontalAdvance(QString::fromStdString(text)),
                readout->contentsRect().width());
    }
  }
  for (const auto* frame : dialog->findChildren<GroupFrame*>()) {
    for (const auto* inside : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      EXPECT_TRUE(inside == frame || !frame->geometry().contains(inside->geometry()) ||
                  inside->y() > frame->y() + frame->FrameTop());
    }
  }
  for (const int bitmap : {kReadoutBitmap, kTitleBitmap}) {
    const QPixmap sharp = ArtworkPixmap(bitmap, 2.0);
    EXPECT_EQ(sharp.size(), QSize(BitmapSizeOf(bitmap).width, BitmapSizeOf(bitmap).height) * 2);
    EXPECT_EQ(sharp.deviceIndependentSize().toSize() * 2, sharp.size());
  }
  dialog->show();
  for (const bool shown : {false, true, false}) {
    QTest::mouseClick(dialog->Control(kDisplayCheckBox), Qt::LeftButton);
    EXPECT_EQ(dialog->size(), dialog->TemplateSize() + QSize(0, shown ? 213 : 0));
  }
  CloseDisplay(s.display);
}

// A close button only (without the customising flag Qt asks for the usual
// buttons), and room for the caption in a title bar's bold face beside its
// icon, buttons and margins.
TEST(MessageBoxNotifierQt, HasRoomForItsCaption) {
  QTimer::singleShot(0, [] {
    QWidget* box = QApplication::activeModalWidget();
    QFont caption = box->font();
    caption.setBold(true);
    EXPECT_EQ(box->windowFlags() & (Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint |
                                    Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
              Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    EXPECT_GE(box->width(), QFontMetrics(caption).horizontalAdvance("TAMBRIX") + 110);
    box->close();
  });
  MessageBoxNotifier().ShowMessage("No Data Is Loaded", "");
}

// Ended by SIGINT, or closed during a recording of `bytes`: "tmp" is finished
// but not loaded (no reader lines).
TEST(RunShellQt, EndsInOrder) {
  for (const auto& [signal, bytes] : {std::pair{SIGINT, 0U}, std::pair{0, 250U}}) {
    Shell s;
    QTimer starter;  // acts once the dialog is open, however late
    QObject::connect(&starter, &QTimer::timeout, [&, signal = signal, bytes = bytes] {
      if (auto* dialog = qobject_cast<MainDialog*>(QApplication::activeWindow())) {
        starter.stop();
        if (bytes > 0) {
          QTest::mouseClick(dialog->Control(kRecButton), Qt::LeftButton);
          s.audio.Capture(std::vector<std::uint8_t>(bytes, 128));
        }
        signal != 0 ? static_cast<void>(std::raise(signal)) : static_cast<void>(dialog->close());
      }
    });
    starter.start(20);
    EXPECT_EQ(RunShell(s.engine, s.display, s.services), 0);
    std::vector<std::string> lines = test::RoutineLogLines();
    EXPECT_EQ(std::erase(lines, "Recieved Done Message, Exiting Loop"), signal != 0 ? 1U : 0U);
    EXPECT_EQ(lines, (std::vector<std::string>{"TAMBRIX Started", "Display Window Destroyed",
                                               "TAMBRIX Ended"}));
    EXPECT_EQ(test::ReadBytes("tmp").size(), bytes > 0 ? bytes + 44 : 0);
  }
}

// Reading a listed file can block for good (/proc/kmsg). A file without an
// extension is one whose type only its contents could tell.
TEST(FileChooserQt, ListsAFolderWithoutOpeningItsFiles) {
  test::ScopedWorkDir dir;
  test::WriteBytes("notes", {1, 2, 3});
  test::WriteBytes("a-rather-long-recording-name-from-the-range-day.wav", {1, 2, 3});
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(inotify_add_watch(watch, dir.path().c_str(), IN_OPEN), 0);
  const QString path = QString::fromStdString(dir.path().string());
  QSettings(QSettings::UserScope, "QtProject").remove("FileDialog");  // column widths kept
  QFileDialog dialog(nullptr, QString(), path);
  ConfigureFileDialog(dialog, kLoadChooser);
  // Every loadable kind first, in either case, then the WAVE filter.
  const QStringList filters = dialog.nameFilters();
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters[0].startsWith("All sound and video files (*.wav *.WAV *.avi *.AVI *.mp4"));
  EXPECT_TRUE(filters[0].contains("*.opus *.OPUS") && filters[0].contains("*.flac *.FLAC"));
  QSignalSpy loaded(dialog.findChild<QFileSystemModel*>(), &QFileSystemModel::directoryLoaded);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.contains({path}); }, 10000));
  // In the dialog's font, every column as wide as its texts.
  EXPECT_EQ(dialog.font(), DialogFont());
  const auto* list = dialog.findChild<QTreeView*>("treeView");
  ASSERT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) > 0; }));
  for (int column = 0; column < list->header()->count(); ++column) {
    EXPECT_GE(list->header()->sectionSize(column),
              static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(column));
  }
  dialog.close();
  alignas(inotify_event) std::array<char, 4096> events{};
  const ssize_t size = ::read(watch, events.data(), events.size());
  ::close(watch);
  for (ssize_t at = 0; at < size;) {
    const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
    EXPECT_EQ(event->len, 0U) << event->name;  // only the folder itself
    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
  }
}

// With the loop blocked, a second signal must end the program by itself.
TEST(QuitSignalWatcherDeathTest, ASecondSignalEndsABlockedProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto twice = [] {
    const QuitSignalWatcher watcher([] {});
    std::raise(SIGINT);
    std::raise(SIGINT);
    ::sleep(5);
  };
  EXPECT_EXIT(twice(), testing::KilledBySignal(SIGINT), "");
}

using Lines = std::vector<std::string>;

// Starts the program in the current directory with DISPLAY and
// QT_QPA_PLATFORM as given (empty as unset) and no Wayland display.
void StartProgram(QProcess& program, const QString& display, const QString& platform) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("WAYLAND_DISPLAY", "");
  environment.insert("DISPLAY", display);
  environment.insert("QT_QPA_PLATFORM", platform);
  program.setProcessEnvironment(environment);
  program.start(TAMBRIX_PROGRAM_PATH, {});
}

TEST(ProgramOnXvfb, ShowsItsWindowAndEndsInOrderOnSigterm) {
  QProcess server;  // writes its display number once ready
  server.start("Xvfb", QString("-displayfd 1 -screen 0 1024x768x24 -nolisten tcp").split(' '));
  while (!server.canReadLine() && server.waitForReadyRead(15000)) {
  }
  const QString display = ":" + QString::fromLatin1(server.readLine().trimmed());
  ASSERT_GT(display.size(), 1) << "Xvfb did not start";
  test::ScopedWorkDir dir;
  QProcess program;
  StartProgram(program, display, "xcb");
  const QString caption = QString::fromUtf8(kDialogCaption.data(), kDialogCaption.size());
  QString window;  // xwininfo's account of the window, once it is mapped
  for (int tries = 0; tries < 100 && !window.contains("IsViewable"); ++tries, QTest::qWait(200)) {
    QProcess info;
    info.start("xwininfo", {"-display", display, "-name", caption});
    info.waitForFinished(10000);
    window = QString::fromUtf8(info.readAllStandardOutput());
  }
  EXPECT_TRUE(window.contains("Map State: IsViewable")) << program.readAllStandardError().data();
  // The display area is open below the controls.
  EXPECT_GT(QRegularExpression("Height: (\\d+)").match(window).captured(1).toInt(), 400)
      << window.toStdString();
  program.terminate();
  ASSERT_TRUE(program.waitForFinished(20000));
  // A crash would give its signal as the exit code.
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(test::RoutineLogLines(),
            (Lines{"TAMBRIX Started", "Recieved Done Message, Exiting Loop",
                   "Display Window Destroyed", "TAMBRIX Ended"}));
  server.terminate();
  server.waitForFinished(5000);
}

TEST(ProgramWithoutDisplay, ExitsWithOneAndSaysWhy) {
  // No display, displays without a server, and a platform the toolkit lacks.
  for (const auto& [display, platform, says] :
       {std::tuple{"", "", "no display"}, std::tuple{"garbage", "xcb", "no display"},
        std::tuple{"", "nonesuch", "window system could not be started"}}) {
    SCOPED_TRACE(std::string(display) + " " + platform);
    test::ScopedWorkDir dir;
    QProcess program;
    StartProgram(program, display, platform);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains(says));
    EXPECT_EQ(test::RoutineLogLines(), (Lines{"TAMBRIX Started", "Failed To Create Dialog"}));
  }
}

}  // namespace
