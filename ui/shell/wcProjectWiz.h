#pragma once
// The new-project wizard: a window beside the main window that walks
// through setting a project up: step A the primary input (configure, trim,
// let its length set the project's), step B the other inputs (synchronise
// or configure each), step C the data input (configure, synchronise, a
// data template, a data display), with the speed unit, the project
// settings and the choice of seeing the wizard for new projects. It acts
// through the main window's commands; every time it comes to the front it
// is rebuilt from the project.
#include <QString>
#include <array>
#include <cstdint>

#include "ui/shell/WindowController.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class wcProjectWiz : public WindowController {
  Q_OBJECT
public:
  static constexpr int kRows = 7;

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcProjectWiz();

public:
  // Shown for a new project: the choices made for the last one are gone.
  void showWindow() override;

  void UpdateControls(bool applyLengthMatch = false);
  static QIcon GetInputTypeImage(uint32_t type);

  uint32_t PrimaryInput() const { return state_.primary; }
  uint32_t DataInput() const { return state_.data; }
  uint32_t OtherInput(int row) const { return row >= 0 && row < kRows ? state_.other[row] : 255; }

  QGroupBox* StepBoxB() const { return stepB_; }
  QGroupBox* StepBoxC() const { return stepC_; }
  QComboBox* PrimaryInputSelection() const { return primarySelection_; }
  QComboBox* DataInputSelection() const { return dataSelection_; }
  QComboBox* SpeedUnitSelection() const { return speedUnitSelection_; }
  QCheckBox* LengthMatchCheck() const { return lengthMatchCheck_; }
  QCheckBox* UseWizardCheck() const { return useWizardCheck_; }
  QLabel* NoOtherInputsLabel() const { return noOtherInputsLabel_; }
  QPushButton* SyncButton(int row) const { return row >= 0 && row < kRows ? rows_[row].sync : nullptr; }
  QPushButton* ConfigButton(int row) const { return row >= 0 && row < kRows ? rows_[row].config : nullptr; }

public slots:
  void PrimaryInputSelection_Changed();
  void ConfigPrimary_Pressed() { configure(state_.primary); }
  void Config_Pressed(int row) { configure(OtherInput(row)); }
  void ConfigData_Pressed() { configure(state_.data); }
  void TrimPrimary_Pressed();
  void LengthMatchCheck_Changed();
  void LengthMore_Pressed();
  void ProjectSettings_Pressed() { LengthMore_Pressed(); }
  void Sync_Pressed(int row) { SyncInput(OtherInput(row)); }
  void SyncInput(uint32_t input, bool popup = false);
  void DataInputSelection_Changed();
  void SyncData_Pressed() { syncData(true); }
  void SyncData2_Pressed() { syncData(false); }
  void LoadDataTemplate_Pressed();
  void AddDataDisplay_Pressed();
  void SpeedUnitSelection_Changed();
  void UseWizardCheck_Changed();

protected:
  QWidget* makeWindow() override;
  void windowDidBecomeMain() override;
  void windowWillClose() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  struct State {
    uint32_t primary = 255;
    uint32_t data = 255;
    std::array<uint32_t, kRows> other{};
  };
  // The inputs the user picked, by name: the project keeps no primary or
  // data input, and a rebuild must not undo the user's choice.
  struct Picked {
    QString primary;
    QString data;
  };
  struct Row {
    QPushButton* sync = nullptr;
    QPushButton* config = nullptr;
  };

  void configure(uint32_t input);
  void syncData(bool popup);
  void checkpoint();
  uint32_t chosenInput(const QComboBox* combo) const;
  static uint32_t pickedOr(uint32_t fromProject, const QString& picked);

  bool freshWindow_ = true;
  State state_;
  Picked picked_;
  std::array<Row, kRows> rows_{};
  QGroupBox* stepA_ = nullptr;
  QGroupBox* stepB_ = nullptr;
  QGroupBox* stepC_ = nullptr;
  QComboBox* primarySelection_ = nullptr;
  QComboBox* dataSelection_ = nullptr;
  QComboBox* speedUnitSelection_ = nullptr;
  QPushButton* configPrimary_ = nullptr;
  QPushButton* configData_ = nullptr;
  QCheckBox* lengthMatchCheck_ = nullptr;
  QCheckBox* useWizardCheck_ = nullptr;
  QLabel* noOtherInputsLabel_ = nullptr;
};
