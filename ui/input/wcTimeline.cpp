#include "ui/input/wcTimeline.h"

#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "model/project.h"
#include "render/preview/main_preview.h"
#include "render/preview/timeline_view.h"
#include "ui/controls/real_slider.h"
#include "ui/seams/desktop.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"

namespace {

constexpr double kSpanAtZoomOne = kTimelineSpanSeconds;
constexpr double kShortProject = 0.1; // below this the chart shows its plain 300 s
constexpr double kTimeResolution = 0.01;
constexpr int kRowSliderMaximum = -1; // the first row, at the top

} // namespace

wcTimeline::wcTimeline() : WindowController("wcTimeline", kOpenBelowMain) {}

// The engine draws into the image view from its own thread until it ends.
wcTimeline::~wcTimeline() {
  if (isWindowLoaded()) TimelineViewEnd();
}

wcMain* wcTimeline::main() { return AppWindows().wndMain(); }

QWidget* wcTimeline::makeWindow() {
  QDialog* dialog = makeDialog("Timeline");
  dialog->setModal(false);
  dialog->setSizeGripEnabled(true);
  dialog->resize(960, 300);
  dialog->setMinimumSize(480, 160);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(makeCommandRow(dialog));
  auto* chart = new QGridLayout();
  chart->setSpacing(2);
  TimelineImage = new NSImageViewCustom(dialog);
  TimelineImage->setObjectName("TimelineImage");
  TimelineImage->setMinimumSize(200, 64);
  TimelineImage->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  TimelineImage->installEventFilter(this);
  TimelineYSlider = new RealSlider(Qt::Vertical, dialog);
  TimelineYSlider->setObjectName("TimelineYSlider");
  TimelineYSlider->setRange(kRowSliderMaximum, kRowSliderMaximum, 1);
  TimelineYSlider->setToolTip("Scroll through the display objects");
  // Its top is the first row, so the style's fill below the knob would
  // paint the whole groove: the fill takes the groove's own colour.
  QPalette plain = TimelineYSlider->knob()->palette();
  plain.setColor(QPalette::Highlight, plain.color(QPalette::Mid));
  TimelineYSlider->knob()->setPalette(plain);
  TimelineTimeSlider = new RealSlider(Qt::Horizontal, dialog);
  TimelineTimeSlider->setObjectName("TimelineTimeSlider");
  TimelineTimeSlider->setRange(0, 0, kTimeResolution);
  TimelineTimeSlider->setToolTip("Scroll through the project's time");
  chart->addWidget(TimelineImage, 0, 0);
  chart->addWidget(TimelineYSlider, 0, 1);
  chart->addWidget(TimelineTimeSlider, 1, 0);
  layout->addLayout(chart, 1);
  connect(TimelineTimeSlider, &RealSlider::changed, this, &wcTimeline::TimelineTimeSlider_Changed);
  connect(TimelineYSlider, &RealSlider::changed, this, &wcTimeline::TimelineYSlider_Changed);
  return dialog;
}

QWidget* wcTimeline::makeCommandRow(QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto add = [this, row, layout](const char* title, const char* name, const char* tip, void (wcTimeline::*action)()) {
    auto* button = new QPushButton(title, row);
    button->setObjectName(name);
    button->setToolTip(tip);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, action);
  };
  layout->addWidget(new QLabel("Segment:", row));
  add("Add...", "SegmentAddButton", "Add a timeline segment to the selected display object", &wcTimeline::SegmentAdd_Pressed);
  add("Edit...", "SegmentEditButton", "Edit the selected timeline segment", &wcTimeline::SegmentEdit_Pressed);
  add("Shift...", "SegmentShiftButton", "Move the selected segment and all later ones",
      &wcTimeline::SegmentShift_Pressed);
  add("Remove", "SegmentRemoveButton", "Remove the selected timeline segment", &wcTimeline::SegmentRemove_Pressed);
  layout->addStretch(1);
  add("Project Length...", "ProjectLengthButton", "Set the length of the project",
      &wcTimeline::ProjectLength_Pressed);
  layout->addSpacing(12);
  add("Zoom In", "ZoomInButton", "Show half the time across the chart", &wcTimeline::ZoomIn_Pressed);
  add("Zoom Out", "ZoomOutButton", "Show twice the time across the chart", &wcTimeline::ZoomOut_Pressed);
  add("Whole Project", "ZoomResetButton", "Show the whole project across the chart", &wcTimeline::ZoomReset_Pressed);
  return row;
}

bool wcTimeline::eventFilter(QObject* watched, QEvent* event) {
  // A drag of the window's edge brings many sizes: the chart is rebuilt
  // once, for the last.
  if (watched == TimelineImage && event->type() == QEvent::Resize && !state_.resizeQueued) {
    state_.resizeQueued = true;
    QTimer::singleShot(0, this, [this]() {
      state_.resizeQueued = false;
      if (AppDelegate::IsWindowVisible(this)) windowDidResize();
    });
  }
  return WindowController::eventFilter(watched, event);
}

void wcTimeline::windowDidOpen() {
  keepOnScreen();
  TimelineImage->setDelegate(this);
  windowDidResize();
}

// Under a main window that fills the screen the chart would open out of
// sight: it rises until its bottom edge is on the screen.
void wcTimeline::keepOnScreen() {
  QWidget* w = window();
  const QRect screen = ScreenVisibleFrame(w);
  if (screen.isEmpty()) return;
  const QRect frame = w->frameGeometry();
  const int bottomOver = frame.bottom() - screen.bottom();
  if (bottomOver > 0) w->move(frame.x(), std::max(screen.top(), frame.y() - bottomOver));
}

void wcTimeline::windowDidResize() {
  state_.chartWidth = std::max(1, TimelineImage->width());
  state_.chartHeight = std::max(1, TimelineImage->height());
  if (TimelineViewInit(TimelineImage->viewHandle(), static_cast<uint32_t>(state_.chartWidth),
                       static_cast<uint32_t>(state_.chartHeight)) != 0)
    ErrorShowLast();
  TimelineViewSetSelection(state_.SelectedDispObjID, state_.SelectedSegmentID);
  setPosition();
}

void wcTimeline::setPosition() { TimelineViewSetPosition(state_.TimelineY, state_.TimelineTime, state_.TimelineZoom); }

void wcTimeline::setZoom(double zoom) {
  const double closest = kSpanAtZoomOne / kShortestSpan, farthest = kSpanAtZoomOne / kLongestSpan;
  state_.TimelineZoom = static_cast<float>(std::clamp(zoom, farthest, closest));
}

int wcTimeline::rowSliderMinimum() const {
  return std::min(-TimelineViewGetMaxY(), static_cast<int32_t>(TimelineYSlider->maximum()));
}

void wcTimeline::SetData() {
  window()->layout()->activate();
  windowDidResize();
  ClearSelection();
  state_.TimelineY = 1;
  state_.TimelineZoom = 1.0f;
  TimelineYSlider->setRange(rowSliderMinimum(), kRowSliderMaximum, 1);
  TimelineYSlider->setValue(-1);
  UpdateTimeScrollbar();
  ZoomReset_Pressed();
}

void wcTimeline::ClearSelection() {
  if (state_.selecting) return;
  state_.SelectedDispObjID = kNone;
  state_.SelectedSegmentID = kNone;
  showSelection();
}

void wcTimeline::showSelection() { TimelineViewSetSelection(state_.SelectedDispObjID, state_.SelectedSegmentID); }

void wcTimeline::RefreshView() {
  if (!isWindowLoaded()) return;
  const int lowest = rowSliderMinimum();
  if (TimelineYSlider->intValue() < lowest) {
    TimelineYSlider->setValue(lowest);
    state_.TimelineY = static_cast<uint32_t>(-lowest);
    setPosition();
  }
  TimelineYSlider->setRange(lowest, TimelineYSlider->maximum(), 1);
  UpdateTimeScrollbar();
  TimelineViewRefresh(0);
}

void wcTimeline::UpdateTimeScrollbar() {
  TimelineTimeSlider->setRange(0, ProjectGetLength(0), kTimeResolution);
  TimelineTimeSlider->setValue(state_.TimelineTime);
}

void wcTimeline::TimelineTimeSlider_Changed() {
  state_.TimelineTime = static_cast<float>(TimelineTimeSlider->value());
  setPosition();
}

void wcTimeline::TimelineYSlider_Changed() {
  state_.TimelineY = static_cast<uint32_t>(std::max(1, -TimelineYSlider->intValue()));
  TimelineYSlider->setValue(-static_cast<double>(state_.TimelineY));
  setPosition();
}

void wcTimeline::ZoomIn_Pressed() {
  setZoom(state_.TimelineZoom * 2.0);
  setPosition();
}

void wcTimeline::ZoomOut_Pressed() {
  setZoom(state_.TimelineZoom * 0.5);
  setPosition();
}

void wcTimeline::ZoomReset_Pressed() {
  const double length = ProjectGetLength(0);
  setZoom(length > kShortProject ? kSpanAtZoomOne / length : 1.0);
  state_.TimelineTime = 0;
  UpdateTimeScrollbar();
  setPosition();
}

void wcTimeline::ProjectLength_Pressed() {
  const float before = ProjectGetLength(0);
  if (main() != nullptr) main()->ProjectLengthButton_Pressed();
  if (ProjectGetLength(0) != before) ZoomReset_Pressed();
}

void wcTimeline::imageMouseDown(QPointF point) {
  // View points count from the top; the engine's from the bottom.
  const auto x = static_cast<uint32_t>(std::max(0.0, std::trunc(point.x())));
  const int top = std::clamp(static_cast<int>(std::trunc(point.y())), 0, state_.chartHeight - 1);
  const auto y = static_cast<uint32_t>(state_.chartHeight - 1 - top);
  uint32_t object = kNone, segment = kNone;
  float time = 0;
  if (TimelineViewFindXY(x, y, &object, &segment, &time) != 0) {
    state_.SelectedDispObjID = state_.SelectedSegmentID = kNone;
    showSelection();
    return;
  }
  state_.SelectedDispObjID = object;
  state_.SelectedSegmentID = segment;
  showSelection();
  time = std::clamp(time, 0.0f, ProjectGetLength(0));
  PreviewStop();
  state_.selecting = true;
  if (main() != nullptr) {
    main()->setPreviewTime(time);
    main()->PreviewRefresh();
    if (object != kNone) main()->DispObjSelect(object);
  }
  state_.selecting = false;
}

void wcTimeline::imageMouseDoubleClick(QPointF) {
  if (state_.SelectedDispObjID != kNone && main() != nullptr) main()->DispObjEdit(true);
}
