#include "ui/input/wcInputSetLap.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "base/util.h"
#include "model/inputs.h"
#include "media/datalog/datalog_queries.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kViewWidth = 480;
constexpr int kViewHeight = 360;
constexpr uint32_t kPreviewQuality = 1;
constexpr uint32_t kMapWithMarker = 0;
constexpr uint32_t kMapWithoutMarker = 4;
constexpr double kStepSeconds = 0.1;
constexpr int kNearestLapsCompared = 20;

// Data queries of the log (input time).
constexpr uint32_t kQueryPosX = 1, kQueryPosY = 2, kQueryLapCount = 7, kQueryLapStart = 8, kQueryHeading = 16,
                   kQuerySpanX = 22, kQuerySpanY = 23;

constexpr uint8_t kLapSetByHand = 0x01, kLapGpsEnhanced = 0x02, kLapTyped = 0x80;
// Undo keeps the GPS-enhanced switch and the bits other settings own.
constexpr uint8_t kLapUndoMask = 0x7E;

// Tolerances: the smallest is a centimetre in degrees, far below any log's
// noise; the heading's range is a half turn either way.
constexpr double kSmallestTolerance = 0.0000001;
constexpr float kDefaultHeadTolerance = 30.0f;
constexpr float kSmallestHeadTolerance = 0.1f;
constexpr double kSpanPerTolerance = 40.0;

} // namespace

wcInputSetLap::wcInputSetLap() : WindowController("wcInputSetLap", kOpenCentred) {}

// Slots are closed with the window; the engine frees any left when it ends.
wcInputSetLap::~wcInputSetLap() = default;

QWidget* wcInputSetLap::makeWindow() {
  QDialog* dialog = makeDialog("Set Start/Finish Line");
  auto* layout = new QHBoxLayout(dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  auto* left = new QVBoxLayout();
  ui_.PreviewImage = new NSImageViewCustom(dialog);
  ui_.PreviewImage->setObjectName("PreviewImage");
  ui_.PreviewImage->setFixedSize(kViewWidth, kViewHeight);
  left->addWidget(ui_.PreviewImage);
  auto* slider = new QHBoxLayout();
  ui_.StepBackward = new QPushButton("<", dialog);
  ui_.StepBackward->setObjectName("StepBackward");
  ui_.StepBackward->setToolTip("A tenth of a second back");
  ui_.StepBackward->setFixedWidth(32);
  ui_.StepForward = new QPushButton(">", dialog);
  ui_.StepForward->setObjectName("StepForward");
  ui_.StepForward->setToolTip("A tenth of a second on");
  ui_.StepForward->setFixedWidth(32);
  ui_.TimeSlider = new RealSlider(0, 1, 0.01, dialog);
  ui_.TimeSlider->setObjectName("TimeSlider");
  slider->addWidget(ui_.StepBackward);
  slider->addWidget(ui_.TimeSlider, 1);
  slider->addWidget(ui_.StepForward);
  left->addLayout(slider);
  layout->addLayout(left);

  auto* right = new QVBoxLayout();
  right->addWidget(makePointBox(dialog));
  right->addWidget(makeToleranceBox(dialog));
  ui_.GpsEnhancedCheck = new QCheckBox("GPS-enhanced timing", dialog);
  ui_.GpsEnhancedCheck->setObjectName("GpsEnhancedCheck");
  ui_.GpsEnhancedCheck->setToolTip("Times each crossing of the line between two GPS samples");
  right->addWidget(ui_.GpsEnhancedCheck, 0, Qt::AlignLeft);
  right->addStretch(1);
  auto* undo = new QPushButton("Undo Start/Finish", dialog);
  undo->setObjectName("UndoStartFinishButton");
  undo->setToolTip("Take the laps from the log again");
  undo->setAutoDefault(false);
  right->addWidget(undo, 0, Qt::AlignLeft);
  const DialogButtons buttons = AddOkCancelRow(right, dialog);
  layout->addLayout(right);

  connect(ui_.ModeGroup, &QButtonGroup::idClicked, this, &wcInputSetLap::ModeGroup_Changed);
  connect(ui_.TimeSlider, &RealSlider::changed, this, &wcInputSetLap::TimeSlider_Changed);
  connect(ui_.StepBackward, &QPushButton::clicked, this, &wcInputSetLap::StepBackward_Pressed);
  connect(ui_.StepForward, &QPushButton::clicked, this, &wcInputSetLap::StepForward_Pressed);
  connect(ui_.PosXText, &TextField::changed, this, &wcInputSetLap::PosXText_Changed);
  connect(ui_.PosYText, &TextField::changed, this, &wcInputSetLap::PosYText_Changed);
  connect(ui_.HeadingText, &TextField::changed, this, &wcInputSetLap::HeadingText_Changed);
  connect(ui_.HeadingAutoCheck, &QCheckBox::clicked, this, &wcInputSetLap::HeadingAutoCheck_Changed);
  connect(ui_.PosXTol.text, &TextField::changed, this, &wcInputSetLap::PosXTolText_Changed);
  connect(ui_.PosXTol.stepper, &RealStepper::changed, this, &wcInputSetLap::PosXTolStepper_Changed);
  connect(ui_.PosXTol.reset, &QPushButton::clicked, this, &wcInputSetLap::PosXTolReset_Pressed);
  connect(ui_.PosYTol.text, &TextField::changed, this, &wcInputSetLap::PosYTolText_Changed);
  connect(ui_.PosYTol.stepper, &RealStepper::changed, this, &wcInputSetLap::PosYTolStepper_Changed);
  connect(ui_.PosYTol.reset, &QPushButton::clicked, this, &wcInputSetLap::PosYTolReset_Pressed);
  connect(ui_.HeadTol.text, &TextField::changed, this, &wcInputSetLap::HeadTolText_Changed);
  connect(ui_.HeadTol.stepper, &RealStepper::changed, this, &wcInputSetLap::HeadTolStepper_Changed);
  connect(ui_.GpsEnhancedCheck, &QCheckBox::clicked, this, &wcInputSetLap::GpsEnhancedCheck_Changed);
  connect(undo, &QPushButton::clicked, this, &wcInputSetLap::UndoStartFinishButton);
  connect(buttons.ok, &QPushButton::clicked, this, &wcInputSetLap::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcInputSetLap::CancelButton_Pressed);
  return dialog;
}

QWidget* wcInputSetLap::makePointBox(QWidget* parent) {
  auto* box = new QGroupBox("Start/Finish Point", parent);
  auto* grid = new QGridLayout(box);
  ui_.ModeGroup = new QButtonGroup(box);
  ui_.SliderModeButton = new QRadioButton("Where the log is at the slider's time", box);
  ui_.SliderModeButton->setObjectName("SliderModeButton");
  ui_.ManualModeButton = new QRadioButton("Typed position and heading", box);
  ui_.ManualModeButton->setObjectName("ManualModeButton");
  ui_.ModeGroup->addButton(ui_.SliderModeButton, 0);
  ui_.ModeGroup->addButton(ui_.ManualModeButton, 1);
  grid->addWidget(ui_.SliderModeButton, 0, 0, 1, 3);
  grid->addWidget(ui_.ManualModeButton, 1, 0, 1, 3);
  auto field = [box](const char* name) {
    auto* made = new TextField(box);
    made->setObjectName(name);
    made->setFixedWidth(130);
    return made;
  };
  ui_.PosXText = field("PosXText");
  ui_.PosYText = field("PosYText");
  ui_.HeadingText = field("HeadingText");
  ui_.HeadingAutoCheck = new QCheckBox("Automatic", box);
  ui_.HeadingAutoCheck->setObjectName("HeadingAutoCheck");
  ui_.HeadingAutoCheck->setToolTip("The direction of the first pass counts");
  grid->addWidget(new QLabel("X (longitude):", box), 2, 0);
  grid->addWidget(ui_.PosXText, 2, 1);
  grid->addWidget(new QLabel("Y (latitude):", box), 3, 0);
  grid->addWidget(ui_.PosYText, 3, 1);
  grid->addWidget(new QLabel("Heading (°):", box), 4, 0);
  grid->addWidget(ui_.HeadingText, 4, 1);
  grid->addWidget(ui_.HeadingAutoCheck, 4, 2);
  grid->setColumnStretch(2, 1);
  return box;
}

QWidget* wcInputSetLap::makeToleranceBox(QWidget* parent) {
  auto* box = new QGroupBox("Tolerances", parent);
  auto* grid = new QGridLayout(box);
  auto row = [box, grid](Tolerance& tolerance, const char* name, const QString& title, int line, bool reset) {
    tolerance.text = new TextField(box);
    tolerance.text->setObjectName(QString(name) + "Text");
    tolerance.text->setFixedWidth(110);
    tolerance.stepper = new RealStepper(kSmallestTolerance, 100, 1, box);
    tolerance.stepper->setObjectName(QString(name) + "Stepper");
    grid->addWidget(new QLabel(title, box), line, 0);
    grid->addWidget(tolerance.text, line, 1);
    grid->addWidget(tolerance.stepper, line, 2);
    if (!reset) return;
    tolerance.reset = new QPushButton("Reset", box);
    tolerance.reset->setObjectName(QString(name) + "Reset");
    tolerance.reset->setToolTip("A fortieth of the track's extent");
    tolerance.reset->setAutoDefault(false);
    grid->addWidget(tolerance.reset, line, 3);
  };
  row(ui_.PosXTol, "PosXTol", "X:", 0, true);
  row(ui_.PosYTol, "PosYTol", "Y:", 1, true);
  row(ui_.HeadTol, "HeadTol", "Heading (°):", 2, false);
  ui_.HeadTol.stepper->setRange(kSmallestHeadTolerance, 180);
  grid->setColumnStretch(4, 1);
  return box;
}

double wcInputSetLap::query(uint32_t type, double time) const {
  return InputHandlerGetDataTypeValue(state_.OurIndex, 1, type, static_cast<float>(time));
}

void wcInputSetLap::store(const DataStruct& record) const {
  // Every store re-reads the log's channels and laps: skip one that changes nothing.
  const DataStruct* held = InputGetData(state_.OurIndex);
  if (held != nullptr && std::memcmp(held, &record, sizeof record) == 0) return;
  if (InputSetData(state_.OurIndex, &record) != 0) ErrorShowLast();
}

void wcInputSetLap::SetInput(int input) {
  window();
  state_.Success = false;
  state_.PreviewTime = 0;
  state_.OurIndex = input >= 0 && input < static_cast<int>(kNoInput) ? static_cast<uint32_t>(input) : kNoInput;
  state_.BlockPreview = true;
  const MainStruct* main = InputGetMain(state_.OurIndex);
  const DataStruct* data = main != nullptr ? InputGetData(state_.OurIndex) : nullptr;
  if (main == nullptr || data == nullptr) {
    ErrorShowLast();
    state_.OurIndex = kNoInput;
    return;
  }
  records_.Main = *main;
  records_.Data = *data;
  records_.DataStructRevert = *data;
  DataStruct& lap = records_.Data;
  if (lap.LapHeadTol < kSmallestHeadTolerance) lap.LapHeadTol = kDefaultHeadTolerance;
  ui_.HeadTol.stepper->setValue(lap.LapHeadTol);
  ui_.HeadTol.text->setText(QString::asprintf("%.01f", ui_.HeadTol.stepper->value()));

  state_.RangeX = query(kQuerySpanX, 0);
  state_.RangeY = query(kQuerySpanY, 0);
  rangeTolerance(ui_.PosXTol.stepper, state_.RangeX, lap.LapTolX);
  rangeTolerance(ui_.PosYTol.stepper, state_.RangeY, lap.LapTolY);
  showTolerance(ui_.PosXTol, lap.LapTolX, state_.RangeX);
  showTolerance(ui_.PosYTol, lap.LapTolY, state_.RangeY);
  ui_.GpsEnhancedCheck->setChecked((lap.LapManual & kLapGpsEnhanced) != 0);
  state_.UseSlider = (lap.LapManual & kLapTyped) == 0;
  (state_.UseSlider ? ui_.SliderModeButton : ui_.ManualModeButton)->setChecked(true);
  UpdateMode();
  state_.BlockPreview = false;
  UpdatePreview(true);
}

void wcInputSetLap::rangeTolerance(RealStepper* stepper, double span, double tolerance) {
  stepper->setIncrement(span > 0 ? span / 200 : 1.0);
  const double minimum = stepper->minimum();
  double maximum = minimum + 100;
  if (span * 0.25 > minimum) maximum = span * 0.25;
  else if (tolerance * 20 > minimum) maximum = tolerance * 20;
  stepper->setRange(minimum, maximum);
}

// A tolerance not yet set (0 or less) takes its share of the span.
void wcInputSetLap::showTolerance(Tolerance& tolerance, double& field, double span) {
  if (field <= 0) return resetTolerance(tolerance, field, span);
  tolerance.stepper->setValue(field);
  tolerance.text->setText(QString::asprintf("%.07f", tolerance.stepper->value()));
}

double wcInputSetLap::nearestLapStart() const {
  const long laps = RoundToInt(query(kQueryLapCount, 0));
  if (laps < 2) return state_.PreviewTime;
  double best = 9999999999.9;
  double chosen = state_.PreviewTime;
  for (long k = 1; k <= std::min<long>(laps, kNearestLapsCompared); ++k) {
    const double start = query(kQueryLapStart, static_cast<double>(k));
    const double dx = query(kQueryPosX, start) - records_.Data.LapX;
    const double dy = query(kQueryPosY, start) - records_.Data.LapY;
    const double distance = dx * dx + dy * dy;
    // Of two equally near starts the earlier lap keeps its place.
    if (distance < best) {
      best = distance;
      chosen = start;
    }
  }
  return chosen;
}

void wcInputSetLap::UpdateMode() {
  const bool slider = state_.UseSlider;
  for (QWidget* w : std::initializer_list<QWidget*>{ui_.PosXText, ui_.PosYText, ui_.HeadingText, ui_.HeadingAutoCheck})
    UISetControlEnabled(w, !slider);
  for (QWidget* w : std::initializer_list<QWidget*>{ui_.TimeSlider, ui_.StepBackward, ui_.StepForward})
    UISetControlEnabled(w, slider);
  EndPreview();
  if (slider) {
    state_.PreviewTime = nearestLapStart();
    ui_.TimeSlider->setRange(0, std::max(0.0f, records_.Main.Length), 0.01);
    ui_.TimeSlider->setValue(state_.PreviewTime);
    openPreview(kMapWithMarker);
    return;
  }
  const DataStruct& lap = records_.Data;
  ui_.PosXText->setText(QString::asprintf("%.07f", lap.LapX));
  ui_.PosYText->setText(QString::asprintf("%.07f", lap.LapY));
  ui_.HeadingAutoCheck->setChecked(lap.LapHeading < 0);
  ui_.HeadingText->setText(lap.LapHeading < 0 ? QString("0.0") : QString::asprintf("%.01f", lap.LapHeading));
  openPreview(kMapWithoutMarker);
}

void wcInputSetLap::openPreview(uint32_t displayMode) {
  preview_.hold(SimplePreviewCreateForInput(state_.OurIndex, ui_.PreviewImage->viewHandle(), kViewWidth,
                                            kViewHeight, 1, displayMode));
}

void wcInputSetLap::drawPreview(double time) { preview_.draw(1, kPreviewQuality, static_cast<float>(time)); }

void wcInputSetLap::UpdatePreview(bool force) {
  if (state_.BlockPreview || state_.OurIndex == kNoInput) return;
  DataStruct& lap = records_.Data;
  if (state_.UseSlider) {
    // The point follows the slider; it reaches the engine only with OK.
    lap.LapX = query(kQueryPosX, state_.PreviewTime);
    lap.LapY = query(kQueryPosY, state_.PreviewTime);
    lap.LapHeading = static_cast<float>(query(kQueryHeading, state_.PreviewTime));
    ui_.PosXText->setText(QString::asprintf("%.07f", lap.LapX));
    ui_.PosYText->setText(QString::asprintf("%.07f", lap.LapY));
    ui_.HeadingText->setText(QString::asprintf("%.01f", lap.LapHeading));
    drawPreview(state_.PreviewTime);
    return;
  }
  const double x = NSStringToDouble(ui_.PosXText->text());
  const double y = NSStringToDouble(ui_.PosYText->text());
  const float heading = ui_.HeadingAutoCheck->isChecked() ? -1.0f : NSStringToFloat(ui_.HeadingText->text());
  if (x == lap.LapX && y == lap.LapY && heading == lap.LapHeading) {
    if (force) drawPreview(0);
    return;
  }
  lap.LapX = x;
  lap.LapY = y;
  lap.LapHeading = heading;
  SetStartFinish();
  drawPreview(0);
}

void wcInputSetLap::SetStartFinish() {
  records_.Data.LapManual |= kLapSetByHand;
  store(records_.Data);
}

void wcInputSetLap::ModeGroup_Changed() {
  state_.UseSlider = ui_.ModeGroup->checkedButton() != ui_.ManualModeButton;
  uint8_t& flags = records_.Data.LapManual;
  flags = static_cast<uint8_t>(state_.UseSlider ? flags & ~kLapTyped : flags | kLapTyped);
  UpdateMode();
  UpdatePreview(true);
}

void wcInputSetLap::TimeSlider_Changed() {
  state_.PreviewTime = ui_.TimeSlider->value();
  UpdatePreview();
}

void wcInputSetLap::StepBackward_Pressed() {
  state_.PreviewTime = std::max(state_.PreviewTime - kStepSeconds, 0.0);
  ui_.TimeSlider->setValue(state_.PreviewTime);
  UpdatePreview();
}

void wcInputSetLap::StepForward_Pressed() {
  state_.PreviewTime = std::min(state_.PreviewTime + kStepSeconds, static_cast<double>(records_.Main.Length));
  ui_.TimeSlider->setValue(state_.PreviewTime);
  UpdatePreview();
}

void wcInputSetLap::HeadingText_Changed() {
  ui_.HeadingAutoCheck->setChecked(false);
  UpdatePreview();
}

// A tolerance's typed text goes through its stepper, which holds it in
// range; the stepper's value is what the field keeps.
void wcInputSetLap::takeToleranceText(Tolerance& tolerance) {
  tolerance.stepper->setValue(NSStringToDouble(tolerance.text->text()));
}

void wcInputSetLap::storeTolerance(Tolerance& tolerance, double& field) {
  tolerance.text->setText(QString::asprintf("%.07f", tolerance.stepper->value()));
  field = tolerance.stepper->value();
  UpdatePreview();
}

void wcInputSetLap::resetTolerance(Tolerance& tolerance, double& field, double span) {
  field = span / kSpanPerTolerance;
  tolerance.stepper->setValue(field);
  storeTolerance(tolerance, field);
}

void wcInputSetLap::PosXTolText_Changed() {
  takeToleranceText(ui_.PosXTol);
  PosXTolStepper_Changed();
}

void wcInputSetLap::PosXTolStepper_Changed() { storeTolerance(ui_.PosXTol, records_.Data.LapTolX); }

void wcInputSetLap::PosXTolReset_Pressed() { resetTolerance(ui_.PosXTol, records_.Data.LapTolX, state_.RangeX); }

void wcInputSetLap::PosYTolText_Changed() {
  takeToleranceText(ui_.PosYTol);
  PosYTolStepper_Changed();
}

void wcInputSetLap::PosYTolStepper_Changed() { storeTolerance(ui_.PosYTol, records_.Data.LapTolY); }

void wcInputSetLap::PosYTolReset_Pressed() { resetTolerance(ui_.PosYTol, records_.Data.LapTolY, state_.RangeY); }

void wcInputSetLap::HeadTolText_Changed() {
  takeToleranceText(ui_.HeadTol);
  HeadTolStepper_Changed();
}

void wcInputSetLap::HeadTolStepper_Changed() {
  ui_.HeadTol.text->setText(QString::asprintf("%.01f", ui_.HeadTol.stepper->value()));
  records_.Data.LapHeadTol = static_cast<float>(ui_.HeadTol.stepper->value());
  UpdatePreview();
}

void wcInputSetLap::GpsEnhancedCheck_Changed() {
  uint8_t& flags = records_.Data.LapManual;
  flags = static_cast<uint8_t>(ui_.GpsEnhancedCheck->isChecked() ? flags | kLapGpsEnhanced : flags & ~kLapGpsEnhanced);
  if (!state_.UseSlider) SetStartFinish();
  UpdatePreview(true);
}

void wcInputSetLap::OkButton_Pressed() {
  if (state_.OurIndex == kNoInput) return close();
  // Typed tolerances count even when their field still has the focus.
  PosXTolText_Changed();
  PosYTolText_Changed();
  HeadTolText_Changed();
  UpdatePreview();
  SetStartFinish();
  state_.Success = true;
  close();
}

// The record goes back as the window closes.
void wcInputSetLap::CancelButton_Pressed() { close(); }

void wcInputSetLap::UndoStartFinishButton() {
  if (state_.OurIndex == kNoInput) return close();
  records_.DataStructRevert.LapManual &= kLapUndoMask;
  store(records_.DataStructRevert);
  state_.Success = true;
  close();
}

void wcInputSetLap::windowWillClose() {
  EndPreview();
  if (!state_.Success && state_.OurIndex != kNoInput) store(records_.DataStructRevert);
}
