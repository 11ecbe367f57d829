#include "ui/input/input_data_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/error.h"
#include "io/files/profile.h"
#include "model/inputs.h"
#include "media/datalog/datalog_queries.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/input/data_channels.h"
#include "ui/input/wcInputEdit.h"
#include "ui/input/wcInputSetLap.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

using namespace data_channels;

namespace {

constexpr uint32_t kMaxColumns = 128; // field numbers the choosers list at most
constexpr uint8_t kLapSetByHand = 0x01;
constexpr uint8_t kBoost = 0x01, kBoostGps = 0x02, kBoostCurve = 0x04;

} // namespace

QGroupBox* InputDataGroup::Build(QWidget* parent) {
  roles_ = {{
      {"TimeSelection", "Time:", &DataStruct::Time, {kAutomatic}},
      {"PosXSelection", "Longitude (X):", &DataStruct::PosX, {kAutomatic}},
      {"PosYSelection", "Latitude (Y):", &DataStruct::PosY, {kAutomatic}},
      {"PosZSelection", "Altitude:", &DataStruct::PosZ, {kAutomatic}},
      {"GpsAccSelection", "GPS accuracy:", &DataStruct::GpsAcc, {kAutomatic}},
      {"LapSelection", "Lap trigger:", &DataStruct::Lap, {kAutomatic, kManual}},
      {"SpeedSelection", "Speed:", &DataStruct::Speed, {kAutomatic, kCalculateMph}},
      {"HeadingSelection", "Heading:", &DataStruct::Heading, {kAutomatic, kCalculate}},
      {"RpmSelection", "Engine speed:", &DataStruct::RPM, {kAutomatic}},
      {"GearSelection", "Gear:", &DataStruct::Gear, {kAutomatic, kCalculate}},
      {"GForceXSelection", "Acceleration X:", &DataStruct::GForceX, {kAutomatic, kCalculate}},
      {"GForceYSelection", "Acceleration Y:", &DataStruct::GForceY, {kAutomatic, kCalculate}},
      {"ThrottleSelection", "Throttle:", &DataStruct::Throttle, {kAutomatic}},
  }};
  auto* box = new QGroupBox("Data Channels", parent);
  box->setObjectName("DataGroup");
  auto* layout = new QVBoxLayout(box);
  auto* columns = new QHBoxLayout();
  columns->addWidget(makeRoleColumn(box, {kTime, kPosX, kPosY, kPosZ, kGpsAcc, kLap}), 1, Qt::AlignTop);
  columns->addSpacing(8);
  columns->addWidget(makeRoleColumn(box, {kSpeed, kHeading, kRpm, kGear, kGForceX, kGForceY, kThrottle}), 1,
                     Qt::AlignTop);
  layout->addLayout(columns);
  layout->addWidget(custom_.Build(box));
  layout->addLayout(makeOptionsRow(box));
  layout->addStretch(1);
  connectActions(box);
  return box;
}

QWidget* InputDataGroup::makeRoleColumn(QWidget* parent, std::initializer_list<RoleIndex> roles) {
  auto* column = new QWidget(parent);
  auto* grid = new QGridLayout(column);
  grid->setContentsMargins(0, 0, 0, 0);
  int row = 0;
  for (RoleIndex index : roles) {
    Role& role = roles_.at(index);
    role.label = new QLabel(role.title, column);
    role.box = MakeColumnChooser(role.name, column);
    grid->addWidget(role.label, row, 0);
    grid->addWidget(role.box, row, 1, 1, 4);
    row = addRoleExtras(grid, index, row + 1, column);
  }
  grid->setColumnStretch(1, 1);
  return column;
}

// The unit factor, correction or lap options of a role, on the rows below
// it; the next free row.
int InputDataGroup::addRoleExtras(QGridLayout* grid, RoleIndex role, int row, QWidget* parent) {
  auto label = [parent](const char* name, const QString& text) {
    auto* made = new QLabel(text, parent);
    made->setObjectName(name);
    return made;
  };
  auto field = [parent](const char* name, int width) {
    auto* made = new TextField(parent);
    made->setObjectName(name);
    made->setFixedWidth(width);
    return made;
  };
  auto* line = new QHBoxLayout();
  switch (role) {
  case kTime:
    units_.TimeUnitsLabel = label("TimeUnitsLabel", "Seconds per unit:");
    units_.TimeUnitsText = field("TimeUnitsText", 80);
    units_.TimeUnitsLabel->setToolTip("Used when a column is chosen for the time");
    line->addWidget(units_.TimeUnitsLabel);
    line->addWidget(units_.TimeUnitsText);
    break;
  case kGpsAcc:
    units_.GpsAccConvLabel = label("GpsAccConvLabel", "Factor:");
    units_.GpsAccConvText = field("GpsAccConvText", 80);
    line->addWidget(units_.GpsAccConvLabel);
    line->addWidget(units_.GpsAccConvText);
    break;
  case kSpeed: {
    units_.SpeedConvLabel = label("SpeedConvLabel", "Factor:");
    units_.SpeedConvText = field("SpeedConvText", 80);
    units_.SpeedConvText->setToolTip("Miles per hour per unit of the speed column");
    line->addWidget(units_.SpeedConvLabel);
    line->addWidget(units_.SpeedConvText);
    line->addStretch(1);
    grid->addLayout(line, row, 1, 1, 4);
    // The calculator sets the factor from a pair of units.
    line = new QHBoxLayout();
    ++row;
    units_.SpeedFromLabel = label("SpeedFromLabel", "From:");
    units_.SpeedFrom = new QComboBox(parent);
    units_.SpeedFrom->setObjectName("SpeedFrom");
    units_.SpeedToLabel = label("SpeedToLabel", "To:");
    units_.SpeedTo = new QComboBox(parent);
    units_.SpeedTo->setObjectName("SpeedTo");
    for (QComboBox* unit : {units_.SpeedFrom, units_.SpeedTo}) unit->setMinimumWidth(90);
    for (QWidget* w : std::initializer_list<QWidget*>{units_.SpeedFromLabel, units_.SpeedFrom, units_.SpeedToLabel,
                                                     units_.SpeedTo})
      line->addWidget(w);
    break;
  }
  case kHeading:
    fix_.HeadingAdjustLabel = label("HeadingAdjustLabel", "Adjust:");
    fix_.HeadingAdjustText = field("HeadingAdjustText", 64);
    fix_.HeadingAdjustStepper = new RealStepper(-360, 360, 1, parent);
    fix_.HeadingAdjustStepper->setObjectName("HeadingAdjustStepper");
    fix_.HeadingAdjustDegLabel = label("HeadingAdjustDegLabel", "°");
    fix_.HeadingFlipCheck = new QCheckBox("Reverse", parent);
    fix_.HeadingFlipCheck->setObjectName("HeadingFlipCheck");
    for (QWidget* w : std::initializer_list<QWidget*>{fix_.HeadingAdjustLabel, fix_.HeadingAdjustText,
                                                     fix_.HeadingAdjustStepper, fix_.HeadingAdjustDegLabel})
      line->addWidget(w);
    line->addSpacing(12);
    line->addWidget(fix_.HeadingFlipCheck);
    break;
  case kGear:
    fix_.GearAdjustLabel = label("GearAdjustLabel", "Gears added:");
    fix_.GearAdjustText = field("GearAdjustText", 44);
    fix_.GearAdjustStepper = new RealStepper(-9, 9, 1, parent);
    fix_.GearAdjustStepper->setObjectName("GearAdjustStepper");
    line->addWidget(fix_.GearAdjustLabel);
    line->addWidget(fix_.GearAdjustText);
    line->addWidget(fix_.GearAdjustStepper);
    break;
  case kLap:
    fix_.LapIgnoreTriggersText = field("LapIgnoreTriggersText", 44);
    fix_.LapIgnoreTriggersStepper = new RealStepper(0, 255, 1, parent);
    fix_.LapIgnoreTriggersStepper->setObjectName("LapIgnoreTriggersStepper");
    line->addWidget(label("LapIgnoreTriggersLabel", "Ignore first:"));
    line->addWidget(fix_.LapIgnoreTriggersText);
    line->addWidget(fix_.LapIgnoreTriggersStepper);
    line->addWidget(new QLabel("triggers", parent));
    line->addStretch(1);
    grid->addLayout(line, row, 1, 1, 4);
    line = new QHBoxLayout();
    ++row;
    fix_.LapManual = new QPushButton("Set Start/Finish Line...", parent);
    fix_.LapManual->setObjectName("LapManual");
    fix_.LapManual->setToolTip("Place the start/finish line on the track map");
    line->addWidget(fix_.LapManual);
    break;
  default:
    delete line;
    return row;
  }
  line->addStretch(1);
  grid->addLayout(line, row, 1, 1, 4);
  return row + 1;
}

QLayout* InputDataGroup::makeOptionsRow(QWidget* parent) {
  auto check = [parent](const char* name, const QString& title) {
    auto* made = new QCheckBox(title, parent);
    made->setObjectName(name);
    return made;
  };
  fix_.BoostSampleRateCheck = check("BoostSampleRateCheck", "Boost sample rate");
  fix_.BoostSampleRateGpsCheck = check("BoostSampleRateGpsCheck", "Also GPS channels");
  fix_.BoostSampleRateCurveCheck = check("BoostSampleRateCurveCheck", "Smooth curves");
  auto* row = new QHBoxLayout();
  row->addWidget(fix_.BoostSampleRateCheck);
  row->addWidget(fix_.BoostSampleRateGpsCheck);
  row->addWidget(fix_.BoostSampleRateCurveCheck);
  row->addStretch(1);
  auto* import = new QPushButton("Import Profile...", parent);
  import->setObjectName("DataImport");
  auto* exportButton = new QPushButton("Export Profile...", parent);
  exportButton->setObjectName("DataExport");
  row->addWidget(import);
  row->addWidget(exportButton);
  QObject::connect(import, &QPushButton::clicked, parent, [this]() { DataImport_Pressed(); });
  QObject::connect(exportButton, &QPushButton::clicked, parent, [this]() { DataExport_Pressed(); });
  return row;
}

void InputDataGroup::connectActions(QWidget* box) {
  auto onChoice = [box](QComboBox* chooser, auto action) {
    QObject::connect(chooser, &QComboBox::activated, box, action);
    QObject::connect(static_cast<TextField*>(chooser->lineEdit()), &TextField::changed, box, action);
  };
  onChoice(roles_[kTime].box, [this]() { TimeSelection_Changed(); });
  onChoice(roles_[kGpsAcc].box, [this]() { GpsAccSelection_Changed(); });
  onChoice(roles_[kSpeed].box, [this]() { SpeedSelection_Changed(); });
  onChoice(roles_[kHeading].box, [this]() { HeadingSelection_Changed(); });
  QObject::connect(units_.TimeUnitsText, &TextField::changed, box, [this]() { TimeUnitsText_Changed(); });
  QObject::connect(fix_.HeadingAdjustText, &TextField::changed, box, [this]() { HeadingAdjustText_Changed(); });
  QObject::connect(fix_.HeadingAdjustStepper, &RealStepper::changed, box,
                   [this]() { HeadingAdjustStepper_Changed(); });
  QObject::connect(fix_.GearAdjustText, &TextField::changed, box, [this]() { GearAdjustText_Changed(); });
  QObject::connect(fix_.GearAdjustStepper, &RealStepper::changed, box, [this]() { GearAdjustStepper_Changed(); });
  QObject::connect(fix_.LapIgnoreTriggersText, &TextField::changed, box,
                   [this]() { LapIgnoreTriggersText_Changed(); });
  QObject::connect(fix_.LapIgnoreTriggersStepper, &RealStepper::changed, box,
                   [this]() { LapIgnoreTriggersStepper_Changed(); });
  QObject::connect(fix_.BoostSampleRateCheck, &QCheckBox::clicked, box, [this]() { BoostSampleRateCheck_Changed(); });
  QObject::connect(fix_.BoostSampleRateGpsCheck, &QCheckBox::clicked, box,
                   [this]() { BoostSampleRateGpsCheck_Changed(); });
  QObject::connect(fix_.LapManual, &QPushButton::clicked, box, [this]() { LapManual_Pressed(); });
  QObject::connect(units_.SpeedFrom, &QComboBox::activated, box, [this]() { SpeedFrom_Changed(); });
  QObject::connect(units_.SpeedTo, &QComboBox::activated, box, [this]() { SpeedTo_Changed(); });
}

void InputDataGroup::fillChoosers(const QStringList& columns) {
  for (Role& role : roles_) {
    role.box->clear();
    role.box->setEditText("");
    role.box->addItems(role.fixed);
    role.box->addItems(columns);
  }
  custom_.SetColumns(columns);
}

void InputDataGroup::Fill(const InputRecords& records) {
  const DataStruct& data = records.Data;
  // The log's own columns in file order, up to the first number it has not.
  QStringList columns;
  for (uint32_t n = 0; n < kMaxColumns; ++n) {
    const char16_t* name = InputHandlerGetDataFieldName(window().OurIndex(), n, 0);
    if (ErrorGetLast() < 0) break;
    const QString text = W16ToNSString(name);
    if (!text.isEmpty()) columns << text;
  }
  fillChoosers(columns);
  for (QComboBox* unit : {units_.SpeedFrom, units_.SpeedTo}) {
    unit->clear();
    unit->addItems(SpeedUnitNames());
    unit->setCurrentIndex(-1);
  }

  fix_.BoostSampleRateCheck->setChecked((data.BoostSampleRate & kBoost) != 0);
  fix_.BoostSampleRateGpsCheck->setChecked((data.BoostSampleRate & kBoostGps) != 0);
  fix_.BoostSampleRateCurveCheck->setChecked((data.BoostSampleRate & kBoostCurve) != 0);
  BoostSampleRateCheck_Changed();

  for (Role& role : roles_) SelectStoredColumn(role.box, data.*role.field);
  if ((data.LapManual & kLapSetByHand) != 0) roles_[kLap].box->setCurrentIndex(1);
  units_.TimeUnitsText->setText(QString::asprintf("%.05f", data.TimeUnits));
  units_.GpsAccConvText->setText(QString::asprintf("%.05f", data.GpsAccConv));
  units_.SpeedConvText->setText(QString::asprintf("%.05f", data.SpeedConv));
  fix_.LapIgnoreTriggersStepper->setValue(data.IgnoreFirstLaps);
  LapIgnoreTriggersStepper_Changed();
  fix_.HeadingFlipCheck->setChecked(data.HeadingFlip != 0);
  fix_.HeadingAdjustStepper->setValue(data.HeadingAdjust);
  HeadingAdjustStepper_Changed();
  HeadingSelection_Changed();
  fix_.GearAdjustStepper->setValue(data.GearAdjust);
  GearAdjustStepper_Changed();
  custom_.Fill(data);
}

QString InputDataGroup::roleText(RoleIndex role) const { return roles_.at(role).box->currentText(); }

void InputDataGroup::Read(InputRecords& records) {
  if (records.Main.OpenFailed != 0) return; // the stored mapping stays as it was
  DataStruct& data = records.Data;
  // The GPS and curve switches count even while they are disabled.
  data.BoostSampleRate = static_cast<uint8_t>((fix_.BoostSampleRateCheck->isChecked() ? kBoost : 0) |
                                              (fix_.BoostSampleRateGpsCheck->isChecked() ? kBoostGps : 0) |
                                              (fix_.BoostSampleRateCurveCheck->isChecked() ? kBoostCurve : 0));
  for (Role& role : roles_) StoreChannelSelection(role.box->currentText(), data.*role.field);
  data.TimeUnits = NSStringToFloat(units_.TimeUnitsText->text());
  data.GpsAccConv = NSStringToFloat(units_.GpsAccConvText->text());
  const bool manual = roleText(kLap) == kManual;
  data.LapManual = static_cast<uint8_t>((data.LapManual & ~kLapSetByHand) | (manual ? kLapSetByHand : 0));
  data.IgnoreFirstLaps = static_cast<uint8_t>(fix_.LapIgnoreTriggersStepper->intValue());
  data.SpeedConv = NSStringToFloat(units_.SpeedConvText->text());
  data.HeadingFlip = fix_.HeadingFlipCheck->isChecked() ? 1 : 0;
  HeadingAdjustText_Changed();
  data.HeadingAdjust = static_cast<float>(fix_.HeadingAdjustStepper->value());
  GearAdjustText_Changed();
  data.GearAdjust = static_cast<int8_t>(fix_.GearAdjustStepper->intValue());
  custom_.Read(data);
}

void InputDataGroup::SetEnabled() {
  const bool timeColumn = roleText(kTime) != kAutomatic;
  UISetControlEnabled(units_.TimeUnitsLabel, timeColumn);
  UISetControlEnabled(units_.TimeUnitsText, timeColumn);
  const bool accuracyColumn = roleText(kGpsAcc) != kAutomatic;
  UISetControlEnabled(units_.GpsAccConvLabel, accuracyColumn);
  UISetControlEnabled(units_.GpsAccConvText, accuracyColumn);
  // "(Calculate MPH)" counts too: the calculator sets the factor of any
  // speed that is not recognised by itself.
  const bool speedChosen = roleText(kSpeed) != kAutomatic;
  for (QWidget* w : std::initializer_list<QWidget*>{units_.SpeedConvLabel, units_.SpeedConvText, units_.SpeedFrom,
                                                   units_.SpeedFromLabel, units_.SpeedTo, units_.SpeedToLabel})
    UISetControlEnabled(w, speedChosen);
  HeadingSelection_Changed();
  BoostSampleRateCheck_Changed();
  custom_.SetEnabled();
}

void InputDataGroup::TimeSelection_Changed() {
  // A new time base moves every time of the input: the window reloads.
  window().UpdateAndReloadAll();
  SetEnabled();
}

void InputDataGroup::TimeUnitsText_Changed() { window().UpdateAndReloadAll(); }

void InputDataGroup::HeadingSelection_Changed() {
  const bool adjustable = roleText(kHeading) != kCalculate;
  for (QWidget* w : std::initializer_list<QWidget*>{fix_.HeadingAdjustLabel, fix_.HeadingAdjustText,
                                                   fix_.HeadingAdjustStepper, fix_.HeadingAdjustDegLabel,
                                                   fix_.HeadingFlipCheck})
    UISetControlEnabled(w, adjustable);
}

void InputDataGroup::HeadingAdjustText_Changed() {
  fix_.HeadingAdjustStepper->setValue(NSStringToDouble(fix_.HeadingAdjustText->text()));
  HeadingAdjustStepper_Changed();
}

void InputDataGroup::HeadingAdjustStepper_Changed() {
  fix_.HeadingAdjustText->setText(QString::asprintf("%.02f", fix_.HeadingAdjustStepper->value()));
}

void InputDataGroup::GearAdjustText_Changed() {
  fix_.GearAdjustStepper->setValue(NSStringToInt(fix_.GearAdjustText->text()));
  GearAdjustStepper_Changed();
}

void InputDataGroup::GearAdjustStepper_Changed() {
  fix_.GearAdjustText->setText(QString::number(fix_.GearAdjustStepper->intValue()));
}

void InputDataGroup::LapIgnoreTriggersText_Changed() {
  fix_.LapIgnoreTriggersStepper->setValue(NSStringToInt(fix_.LapIgnoreTriggersText->text()));
  LapIgnoreTriggersStepper_Changed();
}

void InputDataGroup::LapIgnoreTriggersStepper_Changed() {
  fix_.LapIgnoreTriggersText->setText(QString::number(fix_.LapIgnoreTriggersStepper->intValue()));
}

void InputDataGroup::BoostSampleRateCheck_Changed() {
  UISetControlEnabled(fix_.BoostSampleRateGpsCheck, fix_.BoostSampleRateCheck->isChecked());
  BoostSampleRateGpsCheck_Changed();
}

void InputDataGroup::BoostSampleRateGpsCheck_Changed() {
  UISetControlEnabled(fix_.BoostSampleRateCurveCheck,
                      fix_.BoostSampleRateCheck->isChecked() && fix_.BoostSampleRateGpsCheck->isChecked());
}

void InputDataGroup::LapManual_Pressed() {
  wcInputSetLap* setLap = NeededWindow(AppWindows().wndInputSetLap());
  if (setLap == nullptr || !window().StoreRecords()) return;
  setLap->SetInput(static_cast<int>(window().OurIndex()));
  RunModalForWindow(setLap);
  // Without success the set-up window has put the engine's record back.
  if (!setLap->Success()) return;
  if (const DataStruct* data = InputGetData(window().OurIndex())) window().TakeData(*data);
  else ErrorShowLast();
  window().SetInputFile(kNoInput, 0);
}

void InputDataGroup::SetSpeedConversion() {
  units_.SpeedConvText->setText(SpeedConversionText(units_.SpeedFrom->currentText(), units_.SpeedTo->currentText()));
}

void InputDataGroup::DataImport_Pressed() {
  // The engine holds everything edited so far, whatever the panel answers.
  if (!window().StoreRecords()) return;
  FileDialogRequest request;
  request.title = "Import Datalogger Profile...";
  request.types = {"qvlc"};
  request.otherTypes = true;
  request.directory = UserDefaultsReadFolder("ProjectDir");
  const QStringList chosen = FileDialogRun(Box()->window(), request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) return;
  const uint32_t input = window().OurIndex();
  const int result = InputImportDataProfile(input, NSStringToWStr(chosen.front()).c_str());
  if (result != 0) ErrorShowLast();
  if (result < 0) return;
  // The import only fills the record; storing it again has the log's
  // channels and laps follow the new mapping now, not at some later edit.
  if (const DataStruct* imported = InputGetData(input)) {
    const DataStruct copy = *imported;
    if (InputSetData(input, &copy) != 0) ErrorShowLast();
  }
  window().SetInputFile(input, window().PreviewTime());
}

void InputDataGroup::DataExport_Pressed() {
  FileDialogRequest request;
  request.save = true;
  request.title = "Export Datalogger Profile...";
  request.types = {"qvlc"};
  request.directory = UserDefaultsReadFolder("ProjectDir");
  const QStringList chosen = FileDialogRun(Box()->window(), request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) return;
  if (!window().StoreRecords()) return;
  if (InputExportDataProfile(window().OurIndex(), NSStringToWStr(chosen.front()).c_str()) != 0) ErrorShowLast();
}
