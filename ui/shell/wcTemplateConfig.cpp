#include "ui/shell/wcTemplateConfig.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <bit>

#include "model/project.h"
#include "media/datalog/datalog_queries.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/util/ui_utils.h"

namespace {

struct OptionRow {
  uint32_t bit;
  const char* title;
  const char* note; // shown when the data input lacks the channel
};

// In the order the window lists them.
constexpr OptionRow kRows[] = {
    {kOptSpeed, "Speedometer", "No speed channel in this data"},
    {kOptTach, "Tachometer", "No engine speed channel in this data"},
    {kOptShiftLight, "Shift Light", "No engine speed channel in this data"},
    {kOptGear, "Gear", "No gear channel in this data"},
    {kOptThrottle, "Throttle", "No throttle channel in this data"},
    {kOptGForce, "G-Force", "No acceleration channel in this data"},
    {kOptMap, "Track Map", "No position channels in this data"},
    {kOptLapCount, "Lap Number", "No laps in this data"},
    {kOptLapTime, "Lap Time", "No laps in this data"},
    {kOptLapBest, "Best Lap", "No laps in this data"},
    {kOptLapBestSoFar, "Best Lap So Far", "No laps in this data"},
    {kOptLimitClutter, "Limit Clutter", ""},
};

int slotOf(uint32_t option) { return std::countr_zero(option); }

QString shown(double value) { return QString::number(value, 'g', 10); }

} // namespace

wcTemplateConfig::wcTemplateConfig() : WindowController("wcTemplateConfig", kOpenCentred) {}

QWidget* wcTemplateConfig::makeWindow() {
  QDialog* dialog = makeDialog("Template Options");
  auto* layout = new QVBoxLayout(dialog);
  auto* intro = new QLabel("Choose the displays this template shows. Displays whose data channel is missing are "
                           "marked; they show nothing until the channel is mapped.",
                           dialog);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  auto* grid = new QGridLayout();
  grid->setColumnStretch(1, 1);
  int line = 0;
  for (const OptionRow& row : kRows) {
    const int slot = slotOf(row.bit);
    boxes_[slot] = new QCheckBox(row.title, dialog);
    notes_[slot] = new QLabel(row.note, dialog);
    notes_[slot]->setStyleSheet("color: #b05000;");
    grid->addWidget(boxes_[slot], line, 0);
    grid->addWidget(notes_[slot], line, 1);
    ++line;
  }
  auto valueField = [dialog](TextField*& field, RealStepper*& stepper, double lo, double hi, double step) {
    field = new TextField(dialog);
    field->setFixedWidth(70);
    field->setAlignment(Qt::AlignRight);
    stepper = new RealStepper(lo, hi, step, dialog);
    stepper->setFixedHeight(field->sizeHint().height());
    auto* box = new QHBoxLayout();
    box->setSpacing(2);
    box->addWidget(field);
    box->addWidget(stepper);
    return box;
  };
  grid->addWidget(new QLabel("Maximum:", dialog), 0, 2, Qt::AlignRight);
  grid->addLayout(valueField(values_.speedMax, values_.speedStepper, 10, 1000, 10), 0, 3);
  grid->addWidget(new QLabel("Maximum:", dialog), 1, 2, Qt::AlignRight);
  grid->addLayout(valueField(values_.tachMax, values_.tachStepper, 1000, 30000, 500), 1, 3);
  grid->addWidget(new QLabel("Red line:", dialog), 1, 4, Qt::AlignRight);
  grid->addLayout(valueField(values_.tachRed, values_.redStepper, 500, 30000, 100), 1, 5);
  layout->addLayout(grid);
  extrasLabel_ = new QLabel("Extras:", dialog);
  extra1_ = new QCheckBox("Extra 1", dialog);
  extra2_ = new QCheckBox("Extra 2", dialog);
  shiftLightLabel_ = new QLabel("Shift light", dialog);
  for (QWidget* unused : {static_cast<QWidget*>(extrasLabel_), static_cast<QWidget*>(extra1_),
                          static_cast<QWidget*>(extra2_), static_cast<QWidget*>(shiftLightLabel_)}) {
    unused->hide();
    layout->addWidget(unused);
  }
  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  okButton_ = buttons.ok;
  cancelButton_ = buttons.cancel;
  auto* reset = new QPushButton("Reset", dialog);
  reset->setObjectName("ResetButton");
  buttons.row->insertWidget(0, reset);

  connect(okButton_, &QPushButton::clicked, this, &wcTemplateConfig::OkButton_Pressed);
  connect(cancelButton_, &QPushButton::clicked, this, &wcTemplateConfig::CancelButton_Pressed);
  connect(reset, &QPushButton::clicked, this, &wcTemplateConfig::ResetButton_Pressed);
  connect(values_.speedMax, &TextField::changed, this, &wcTemplateConfig::SpeedMax_Changed);
  connect(values_.tachMax, &TextField::changed, this, &wcTemplateConfig::TachMax_Changed);
  connect(values_.tachRed, &TextField::changed, this, &wcTemplateConfig::TachRed_Changed);
  connect(values_.speedStepper, &RealStepper::changed, this, &wcTemplateConfig::SpeedMaxStepper_Changed);
  connect(values_.tachStepper, &RealStepper::changed, this, &wcTemplateConfig::TachMaxStepper_Changed);
  connect(values_.redStepper, &RealStepper::changed, this, &wcTemplateConfig::TachRedStepper_Changed);
  connect(Box(kOptLapBest), &QCheckBox::clicked, this, &wcTemplateConfig::LapBest_Changed);
  connect(Box(kOptLapBestSoFar), &QCheckBox::clicked, this, &wcTemplateConfig::LapBestSoFar_Changed);
  return dialog;
}

QCheckBox* wcTemplateConfig::Box(uint32_t option) const {
  const int slot = slotOf(option);
  return slot < kOptions ? boxes_[slot] : nullptr;
}

QLabel* wcTemplateConfig::Note(uint32_t option) const {
  const int slot = slotOf(option);
  return slot < kOptions ? notes_[slot] : nullptr;
}

void wcTemplateConfig::SetData(uint32_t inputID, bool noCancel) {
  window();
  inputID_ = inputID;
  noCancel_ = noCancel;
  cancelButton_->setVisible(!noCancel);
  const uint32_t scan = ProjectWizScanInput(inputID);
  uint32_t mask = 0;
  float speedMax = ProjectGetSpeedUnit() == kSpeedKmh ? 250.0f : 160.0f;
  float tachMax = 8000.0f;
  float tachRed = 6500.0f;
  if (ProjectWizGetOpts(&mask, &speedMax, &tachMax, &tachRed) < 0) mask = scan;
  auto note = [this](uint32_t option, bool has) { Note(option)->setVisible(!has); };
  note(kOptSpeed, scan & kOptSpeed);
  note(kOptTach, scan & kOptTach);
  note(kOptShiftLight, scan & kOptTach);
  note(kOptGear, (scan & kOptGear) || ((scan & kOptSpeed) && (scan & kOptTach)));
  note(kOptThrottle, scan & kOptThrottle);
  note(kOptGForce, scan & kOptGForce);
  note(kOptMap, scan & kOptMap);
  for (uint32_t lap : {kOptLapCount, kOptLapTime, kOptLapBest, kOptLapBestSoFar})
    note(lap, scan & (kOptMap | kOptLapCount));
  note(kOptLimitClutter, true);
  SetControls(mask, true, speedMax, tachMax, tachRed);
  // The shift light is never offered; its bit keeps the value it was given.
  for (QWidget* hidden : {static_cast<QWidget*>(extrasLabel_), static_cast<QWidget*>(extra1_),
                          static_cast<QWidget*>(extra2_), static_cast<QWidget*>(Box(kOptShiftLight)),
                          static_cast<QWidget*>(shiftLightLabel_), static_cast<QWidget*>(Note(kOptShiftLight))})
    hidden->hide();
}

void wcTemplateConfig::SetControls(uint32_t mask, bool doValues, float speedMax, float tachMax, float tachRed) {
  window();
  for (const OptionRow& row : kRows) Box(row.bit)->setChecked((mask & row.bit) != 0);
  if (!doValues) return;
  values_.speedStepper->setValue(speedMax);
  values_.speedMax->setText(shown(speedMax));
  values_.tachStepper->setValue(tachMax);
  values_.tachMax->setText(shown(tachMax));
  values_.redStepper->setValue(tachRed);
  values_.tachRed->setText(shown(tachRed));
}

uint32_t wcTemplateConfig::Mask() const {
  uint32_t mask = 0;
  for (const OptionRow& row : kRows)
    if (Box(row.bit)->isChecked()) mask |= row.bit;
  return mask;
}

void wcTemplateConfig::Save() {
  ProjectWizSetOpts(Mask(), NSStringToFloat(values_.speedMax->text()), NSStringToFloat(values_.tachMax->text()),
                    NSStringToFloat(values_.tachRed->text()));
}

void wcTemplateConfig::OkButton_Pressed() {
  Save();
  noCancel_ = false;
  close();
}

void wcTemplateConfig::CancelButton_Pressed() { close(); }

void wcTemplateConfig::ResetButton_Pressed() { SetControls(ProjectWizScanInput(inputID_)); }

void wcTemplateConfig::fieldEdited(TextField* field, RealStepper* stepper, uint32_t option) {
  const double typed = NSStringToDouble(field->text());
  if (typed == stepper->value()) return;
  Box(option)->setChecked(true);
  if (typed < stepper->minimum()) field->setText(shown(stepper->minimum()));
  if (typed > stepper->maximum()) field->setText(shown(stepper->maximum()));
  stepper->setValue(NSStringToDouble(field->text()));
}

void wcTemplateConfig::stepperChanged(TextField* field, RealStepper* stepper, uint32_t option) {
  field->setText(shown(stepper->value()));
  Box(option)->setChecked(true);
}

void wcTemplateConfig::SpeedMax_Changed() { fieldEdited(values_.speedMax, values_.speedStepper, kOptSpeed); }
void wcTemplateConfig::TachMax_Changed() { fieldEdited(values_.tachMax, values_.tachStepper, kOptTach); }
void wcTemplateConfig::TachRed_Changed() { fieldEdited(values_.tachRed, values_.redStepper, kOptTach); }
void wcTemplateConfig::SpeedMaxStepper_Changed() { stepperChanged(values_.speedMax, values_.speedStepper, kOptSpeed); }
void wcTemplateConfig::TachMaxStepper_Changed() { stepperChanged(values_.tachMax, values_.tachStepper, kOptTach); }
void wcTemplateConfig::TachRedStepper_Changed() { stepperChanged(values_.tachRed, values_.redStepper, kOptTach); }

void wcTemplateConfig::LapBest_Changed() {
  if (Box(kOptLapBest)->isChecked()) Box(kOptLapBestSoFar)->setChecked(false);
}

void wcTemplateConfig::LapBestSoFar_Changed() {
  if (Box(kOptLapBestSoFar)->isChecked()) Box(kOptLapBest)->setChecked(false);
}

void wcTemplateConfig::windowWillClose() {
  if (noCancel_) Save();
}
