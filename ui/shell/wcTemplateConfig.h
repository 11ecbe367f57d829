#pragma once
// The options of a data template: which of its displays are on (those the
// data input has no channel for are marked), the speedometer's range and
// the tachometer's range and red line. OK (or, without Cancel, any close)
// hands the options to the engine, which switches the template's objects.
#include <cstdint>

#include "ui/shell/WindowController.h"

class QCheckBox;
class QLabel;
class QPushButton;
class RealStepper;
class TextField;

// Option bits of a data template, as the engine switches its objects.
enum TemplateOption : uint32_t {
  kOptSpeed = 0x001,
  kOptTach = 0x002,
  kOptGear = 0x004,
  kOptThrottle = 0x008,
  kOptGForce = 0x010,
  kOptMap = 0x020,
  kOptLapCount = 0x040,
  kOptLapTime = 0x080,
  kOptLapBest = 0x100,
  kOptLapBestSoFar = 0x200,
  kOptLimitClutter = 0x400,
  kOptShiftLight = 0x800,
};

class wcTemplateConfig : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcTemplateConfig();

public:
  void SetData(uint32_t inputID, bool noCancel = false);
  void SetControls(uint32_t mask) { SetControls(mask, false, 0, 0, 0); }
  void SetControls(uint32_t mask, bool doValues, float speedMax, float tachMax, float tachRed);
  // Packs the boxes and hands mask and values to the engine.
  void Save();
  // The mask the check boxes stand for now.
  uint32_t Mask() const;

  // Outlets, for the windows and tests that look at them.
  QCheckBox* Box(uint32_t option) const;
  QLabel* Note(uint32_t option) const;
  TextField* SpeedMax() const { return values_.speedMax; }
  TextField* TachMax() const { return values_.tachMax; }
  TextField* TachRed() const { return values_.tachRed; }
  RealStepper* SpeedMaxStepper() const { return values_.speedStepper; }
  RealStepper* TachMaxStepper() const { return values_.tachStepper; }
  RealStepper* TachRedStepper() const { return values_.redStepper; }
  QPushButton* CancelButton() const { return cancelButton_; }
  QPushButton* OkButton() const { return okButton_; }

public slots:
  void OkButton_Pressed();
  void CancelButton_Pressed();
  void ResetButton_Pressed();
  void SpeedMax_Changed();
  void TachMax_Changed();
  void TachRed_Changed();
  void SpeedMaxStepper_Changed();
  void TachMaxStepper_Changed();
  void TachRedStepper_Changed();
  void LapBest_Changed();
  void LapBestSoFar_Changed();

protected:
  QWidget* makeWindow() override;
  void windowWillClose() override;

private:
  static constexpr int kOptions = 12;
  struct Values {
    TextField* speedMax = nullptr;
    TextField* tachMax = nullptr;
    TextField* tachRed = nullptr;
    RealStepper* speedStepper = nullptr;
    RealStepper* tachStepper = nullptr;
    RealStepper* redStepper = nullptr;
  };
  // A field edited by hand: its box checked, the value held in the
  // stepper's range, the stepper set from it.
  void fieldEdited(TextField* field, RealStepper* stepper, uint32_t option);
  void stepperChanged(TextField* field, RealStepper* stepper, uint32_t option);

  uint32_t inputID_ = 255;
  bool noCancel_ = false;
  QCheckBox* boxes_[kOptions] = {};
  QLabel* notes_[kOptions] = {};
  QCheckBox* extra1_ = nullptr;
  QCheckBox* extra2_ = nullptr;
  QLabel* extrasLabel_ = nullptr;
  QLabel* shiftLightLabel_ = nullptr;
  Values values_;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
};
