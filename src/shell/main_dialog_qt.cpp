#include "shell/main_dialog_qt.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QUrl>
#include <algorithm>

#include "display/display_widget_qt.h"
#include "display/display_window.h"
#include "display/waveform_picture.h"
#include "display/waveform_view.h"
#include "engine/sound_engine.h"
#include "shell/control_ids.h"
#include "shell/control_tooltips.h"
#include "shell/detector_choice.h"
#include "shell/dialog_commands.h"
#include "shell/dialog_font_qt.h"
#include "shell/group_frame_qt.h"
#include "shell/held_button_qt.h"
#include "shell/read_only_field_qt.h"
#include "shell/shell_context.h"
#include "shell/shot_review_qt.h"

namespace {

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The one local file of a drag, or an empty text.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
    return {};
  }
  const QUrl url = data->urls().front();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

// The detector loads use, kept between runs.
constexpr const char* kDetectorSetting = "detector";
// Pixels between the detector mark and the waveform's edges.
constexpr int kMarkMargin = 6;

}  // namespace

QPixmap ArtworkPixmap(int bitmap_id, qreal device_pixel_ratio) {
  if (device_pixel_ratio > 1.0) {
    // Loaded from its "@2x" name, it has two pixels to a point.
    QPixmap sharp(QStringLiteral(":/bitmaps/%1@2x.png").arg(bitmap_id));
    if (!sharp.isNull()) {
      return sharp;
    }
  }
  return QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(bitmap_id));
}

MainDialog::MainDialog(ShellContext& context, const QFont& font)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      context_(context),
      base_units_(DialogBaseUnits(font)) {
  setObjectName(QStringLiteral("MainDialog"));
  setFont(font);
  setWindowTitle(FromView(kDialogCaption));
  setAcceptDrops(true);
  const QString chosen = QSettings().value(kDetectorSetting).toString();
  context_.engine.chosen_detector = DetectorNamed(chosen.toStdString()).value_or(Detector::Classic);
  const PixelRect size = DialogUnitsToPixels(kDialogSize, base_units_);
  template_size_ = QSize(size.width, size.height);
  setFixedSize(template_size_);

  std::vector<QWidget*> made;
  QWidget* previous_tab_stop = nullptr;
  for (const ControlTemplate& control : MainDialogControls()) {
    QWidget* widget = MakeControl(control);
    made.push_back(widget);
    if (control.id != kNoControlId) {
      controls_[control.id] = widget;
      widget->setObjectName(QStringLiteral("control_%1").arg(control.id));
    }
    if (widget->focusPolicy() & Qt::TabFocus) {
      if (previous_tab_stop != nullptr) {
        setTabOrder(previous_tab_stop, widget);
      }
      previous_tab_stop = widget;
    }
  }
  // Every figure the analysis can give must show whole in the narrowest field.
  int readout_width = template_size_.width();
  for (const int field : kReadoutFields) {
    readout_width = std::min(readout_width, Control(field)->contentsRect().width());
  }
  const QFont readout_font = ReadoutFont(font, readout_width);
  for (const int field : kReadoutFields) {
    Control(field)->setFont(readout_font);
  }
  // The first control of the template lies on top: where frames and
  // labels overlap, that decides what shows. (No ranges view: clang 14
  // can't compile one with this standard library.)
  std::for_each(made.rbegin(), made.rend(), [](QWidget* widget) { widget->raise(); });

  review_action_ = new QAction(QStringLiteral("Shot Review..."), this);
  review_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  review_action_->setShortcutContext(Qt::WindowShortcut);
  review_action_->setToolTip(QStringLiteral("Every shot in a table, with plots and export"));
  addAction(review_action_);
  connect(review_action_, &QAction::triggered, this, &MainDialog::OpenReview);
  context_.display.view_moved = [this] {
    if (review_ != nullptr && review_->isVisible()) {
      review_->FollowView(ShotInView(context_.view, context_.engine, context_.display));
    }
  };
}

// The display window outlives the dialog; the review goes with it.
MainDialog::~MainDialog() { context_.display.view_moved = nullptr; }

void MainDialog::OpenReview() {
  if (review_ == nullptr) {
    ReviewHooks hooks;
    hooks.show_shot = [this](std::uint32_t shot) {
      ScrollToShot(context_.view, context_.engine, context_.display, shot);
    };
    hooks.waveform_image = [this] {
      const auto* canvas = findChild<DisplayCanvas*>();
      return canvas != nullptr && canvas->isVisible() ? canvas->Image() : QImage();
    };
    review_ = new ShotReviewWindow(this, context_, std::move(hooks));
  }
  review_->ShowClip(context_.state.clip_name);
  review_->show();
  review_->raise();
  review_->activateWindow();
}

void MainDialog::ReviewNewClip() {
  if (review_ != nullptr && review_->isVisible()) {
    review_->ShowClip(context_.state.clip_name);
  }
}

QAbstractButton* MainDialog::Connected(QAbstractButton* button, int control_id) {
  connect(button, &QAbstractButton::clicked, this, [this, control_id] { RunCommand(control_id); });
  return button;
}

QWidget* MainDialog::NewControlWidget(const ControlTemplate& control) {
  const QString text = FromView(control.text);
  switch (control.kind) {
    case ControlKind::PushButton: {
      // REC stays down while a recording runs.
      auto* button =
          control.id == kRecButton ? new HeldButton(text, this) : new QPushButton(text, this);
      button->setAutoDefault(false);
      button->setFocusPolicy(Qt::StrongFocus);
      return Connected(button, control.id);
    }
    case ControlKind::GroupBox:
      return new GroupFrame(text, this);
    case ControlKind::Label: {
      auto* label = new QLabel(text, this);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::ReadOnlyEdit: {
      auto* field = new ReadOnlyField(this);
      // The dialog's own menu (the detector) instead of the text's.
      field->setContextMenuPolicy(Qt::NoContextMenu);
      return field;
    }
    case ControlKind::RadioButton: {
      auto* radio = new QRadioButton(text, this);
      radio->setFocusPolicy(Qt::ClickFocus);  // in the group, not a tab stop
      return Connected(radio, control.id);
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(text, this);
      box->setFocusPolicy(Qt::StrongFocus);
      return Connected(box, control.id);
    }
    case ControlKind::Picture: {
      auto* picture = new QLabel(this);
      picture->setPixmap(ArtworkPixmap(control.bitmap_id, devicePixelRatioF()));
      return picture;
    }
  }
  return nullptr;
}

QWidget* MainDialog::MakeControl(const ControlTemplate& control) {
  QWidget* widget = NewControlWidget(control);
  const PixelRect rect = DialogUnitsToPixels(control.rect, base_units_);
  if (control.kind == ControlKind::Picture) {
    // A picture control takes its bitmap's size.
    const BitmapSize bitmap = BitmapSizeOf(control.bitmap_id);
    widget->setGeometry(rect.x, rect.y, bitmap.width, bitmap.height);
  } else {
    widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
  }
  widget->setToolTip(FromView(ControlTooltip(control.id)));
  if (control.id == kNoControlId) {
    // Frames, labels and pictures let clicks through to what lies under them.
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    widget->setFocusPolicy(Qt::NoFocus);
  }
  return widget;
}

QWidget* MainDialog::Control(int control_id) const {
  const auto found = controls_.find(control_id);
  return found == controls_.end() ? nullptr : found->second;
}

void MainDialog::RunCommand(int control_id) {
  RunDialogCommand(context_, control_id);
  emit CommandDone();
}

void MainDialog::SetItemText(int control_id, std::string_view text) {
  QWidget* widget = Control(control_id);
  const QString value = FromView(text);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(value);
  }
}

void MainDialog::PostCheck(int control_id, bool checked) {
  QPointer<QAbstractButton> button = qobject_cast<QAbstractButton*>(Control(control_id));
  if (button.isNull()) {
    return;
  }
  QMetaObject::invokeMethod(
      this,
      [button, checked] {
        if (!button.isNull()) {
          button->setChecked(checked);
        }
      },
      Qt::QueuedConnection);
}

void MainDialog::PostCommand(int control_id) {
  QMetaObject::invokeMethod(
      this, [this, control_id] { RunCommand(control_id); }, Qt::QueuedConnection);
}

WindowRect MainDialog::GetWindowRect() const {
  const QRect client = geometry();
  return WindowRect{client.left(), client.top(), client.left() + client.width(),
                    client.top() + client.height()};
}

void MainDialog::MoveWindow(const WindowRect& client) {
  setFixedSize(std::max(client.right - client.left, 0), std::max(client.bottom - client.top, 0));
  // move() places the frame: shifted by as much as the client area must go.
  const QPoint shift = QPoint(client.left, client.top) - geometry().topLeft();
  if (!shift.isNull()) {
    move(pos() + shift);
  }
}

void MainDialog::Invalidate() { update(); }

void MainDialog::Activate() {
  if (isVisible()) {
    activateWindow();
  }
}

void MainDialog::Hide() { hide(); }

void MainDialog::ShowDetectorMark(std::string_view text, bool offers_other) {
  if (detector_mark_ == nullptr) {
    detector_mark_ = new QPushButton(this);
    detector_mark_->setObjectName(QStringLiteral("DetectorMark"));
    controls_[kDetectorMark] = detector_mark_;
    detector_mark_->setFlat(true);
    detector_mark_->setFocusPolicy(Qt::NoFocus);
    connect(detector_mark_, &QPushButton::clicked, this, [this] {
      ShowOtherDetectorResult(context_);
      emit CommandDone();
    });
  }
  detector_mark_->setText(FromView(text));
  detector_mark_->setEnabled(offers_other);
  detector_mark_->setToolTip(offers_other ? QStringLiteral("Analyse this clip with it")
                                          : QString());
  detector_mark_->adjustSize();
  // Over the top right corner of the waveform, below the fixed controls.
  detector_mark_->move(template_size_.width() - detector_mark_->width() - kMarkMargin,
                       template_size_.height() + kMarkMargin);
  detector_mark_->setVisible(!text.empty());
  detector_mark_->raise();
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  auto* detectors = new QActionGroup(&menu);
  for (const Detector detector : {Detector::Classic, Detector::Robust}) {
    QAction* action =
        menu.addAction(FromView(DetectorName(detector)) + QStringLiteral(" detector"));
    action->setCheckable(true);
    action->setChecked(context_.engine.chosen_detector == detector);
    detectors->addAction(action);
    connect(action, &QAction::triggered, this, [this, detector] {
      QSettings().setValue(kDetectorSetting, FromView(DetectorName(detector)));
      ChooseDetector(context_, detector);
      emit CommandDone();
    });
  }
  menu.addSeparator();
  menu.addAction(review_action_);
  menu.exec(event->globalPos());
}

std::unique_ptr<DisplaySurface> MainDialog::CreateDisplay(WaveformView& view,
                                                          const SoundEngine& engine,
                                                          DisplayWindow& display) {
  return CreateDisplayWidget(this, view, engine, display);
}

void MainDialog::closeEvent(QCloseEvent* event) {
  CloseDialog(context_);
  event->accept();
  emit CommandDone();
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void MainDialog::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (path.isEmpty()) {
    return;
  }
  event->acceptProposedAction();
  LoadChosenFile(context_, QFile::encodeName(path).toStdString());
  emit CommandDone();
}

std::unique_ptr<MainDialog> CreateMainDialog(ShellContext& context) {
  if (QApplication::instance() == nullptr) {
    return nullptr;
  }
  auto dialog = std::make_unique<MainDialog>(context, DialogFont());
  // Centred on the screen, as the template asks, at the size it opens with
  // (the display area included); its top left corner on the screen if it is
  // larger.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize base = dialog->TemplateSize();
    const QSize first(base.width(), context.state.display_shown ? HeightWithDisplay(base.height())
                                                                : base.height());
    const QRect area = screen->availableGeometry();
    const QRect centred = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, first, area);
    dialog->move(std::max(centred.left(), area.left()), std::max(centred.top(), area.top()));
  }
  OpeningSequence(context, *dialog);
  return dialog;
}
