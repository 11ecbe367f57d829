#pragma once
// The data group of the input properties window: which column of the log
// plays which role (time, positions, laps, speed, heading, engine, gear,
// accelerations, throttle), the unit factors, heading and gear
// corrections, lap options and sample-rate boost; beside them the speed
// calculator, the four custom channels (input_data_custom.h) and the
// profile import and export. Every control edits the window's DataStruct
// copy; the copy reaches the engine whole with the window's next store.
#include <QString>
#include <array>

#include "ui/input/input_data_custom.h"
#include "ui/input/input_edit_group.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLayout;
class QPushButton;
class RealStepper;
class TextField;

class InputDataGroup : public InputEditGroup {
public:
  using InputEditGroup::InputEditGroup;

  bool Shown(const InputShows& shows) const override { return shows.HasData; }
  bool OwnColumn() const override { return true; }
  // SetDataControls.
  void Fill(const InputRecords& records) override;
  // The data part of UpdateStructs.
  void Read(InputRecords& records) override;
  void SetEnabled() override;

  // Part of the channel roles.
  void TimeSelection_Changed();
  void TimeUnitsText_Changed();
  void GpsAccSelection_Changed() { SetEnabled(); }
  void SpeedSelection_Changed() { SetEnabled(); }
  void HeadingSelection_Changed();
  void HeadingAdjustText_Changed();
  void HeadingAdjustStepper_Changed();
  void GearAdjustText_Changed();
  void GearAdjustStepper_Changed();
  void LapIgnoreTriggersText_Changed();
  void LapIgnoreTriggersStepper_Changed();
  void BoostSampleRateCheck_Changed();
  void BoostSampleRateGpsCheck_Changed();
  void LapManual_Pressed();

  // Speed calculator and profiles.
  void SetSpeedConversion();
  void SpeedFrom_Changed() { SetSpeedConversion(); }
  void SpeedTo_Changed() { SetSpeedConversion(); }
  void DataImport_Pressed();
  void DataExport_Pressed();

protected:
  QGroupBox* Build(QWidget* parent) override;

private:
  // One channel role: its chooser, the fixed entries ahead of the log's
  // columns and the record field it stores into.
  using NameField = char16_t (DataStruct::*)[kNameLength];
  struct Role {
    const char* name;
    const char* title;
    NameField field;
    QStringList fixed;
    QLabel* label = nullptr;
    QComboBox* box = nullptr;
  };
  enum RoleIndex { kTime, kPosX, kPosY, kPosZ, kGpsAcc, kLap, kSpeed, kHeading, kRpm, kGear, kGForceX, kGForceY,
                   kThrottle, kRoleCount };
  struct Units {
    QLabel* TimeUnitsLabel = nullptr;
    TextField* TimeUnitsText = nullptr;
    QLabel* GpsAccConvLabel = nullptr;
    TextField* GpsAccConvText = nullptr;
    QLabel* SpeedConvLabel = nullptr;
    TextField* SpeedConvText = nullptr;
    QLabel* SpeedFromLabel = nullptr;
    QComboBox* SpeedFrom = nullptr;
    QLabel* SpeedToLabel = nullptr;
    QComboBox* SpeedTo = nullptr;
  };
  struct Corrections {
    QCheckBox* HeadingFlipCheck = nullptr;
    QLabel* HeadingAdjustLabel = nullptr;
    TextField* HeadingAdjustText = nullptr;
    RealStepper* HeadingAdjustStepper = nullptr;
    QLabel* HeadingAdjustDegLabel = nullptr;
    QLabel* GearAdjustLabel = nullptr;
    TextField* GearAdjustText = nullptr;
    RealStepper* GearAdjustStepper = nullptr;
    TextField* LapIgnoreTriggersText = nullptr;
    RealStepper* LapIgnoreTriggersStepper = nullptr;
    QPushButton* LapManual = nullptr;
    QCheckBox* BoostSampleRateCheck = nullptr;
    QCheckBox* BoostSampleRateGpsCheck = nullptr;
    QCheckBox* BoostSampleRateCurveCheck = nullptr;
  };

  QWidget* makeRoleColumn(QWidget* parent, std::initializer_list<RoleIndex> roles);
  int addRoleExtras(QGridLayout* grid, RoleIndex role, int row, QWidget* parent);
  QLayout* makeOptionsRow(QWidget* parent);
  void connectActions(QWidget* box);
  void fillChoosers(const QStringList& columns);
  QString roleText(RoleIndex role) const;

  std::array<Role, kRoleCount> roles_{};
  CustomChannelRows custom_;
  Units units_;
  Corrections fix_;
};
