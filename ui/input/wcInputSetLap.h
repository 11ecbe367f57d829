#pragma once
// The start/finish line window: places a data log's start/finish point by
// hand, so that laps are cut where the track passes it instead of by the
// log's lap column. The point is taken under a time slider (the track map
// shows where the log is at that time) or typed with its heading;
// tolerances in X, Y and heading bound the crossings that count. Typed
// points are stored at once, slider points on OK; closing without OK puts
// the input's record back as it was. Runs modally.
#include <QObject>
#include <cstdint>

#include "model/input_records.h"
#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class NSImageViewCustom;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class RealSlider;
class RealStepper;
class TextField;

class wcInputSetLap : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcInputSetLap();

public:
  ~wcInputSetLap() override;

  // Loads the input's records and fills the window; the point and mode of
  // the record decide how it opens.
  void SetInput(int input);
  // OK or Undo Start/Finish closed the window.
  bool Success() const { return state_.Success; }
  uint32_t OurIndex() const { return state_.OurIndex; }
  bool UseSlider() const { return state_.UseSlider; }
  // The slider's time, seconds of the input's own time.
  double PreviewTime() const { return state_.PreviewTime; }
  // The working copy: the point as the window holds it now.
  const DataStruct& Working() const { return records_.Data; }

  void UpdateMode();
  void UpdatePreview() { UpdatePreview(false); }
  void UpdatePreview(bool force);
  void SetStartFinish();
  void EndPreview() { preview_.close(); }

public slots:
  void ModeGroup_Changed();
  void TimeSlider_Changed();
  void StepBackward_Pressed();
  void StepForward_Pressed();
  void PosXText_Changed() { UpdatePreview(); }
  void PosYText_Changed() { UpdatePreview(); }
  void HeadingText_Changed();
  void HeadingAutoCheck_Changed() { UpdatePreview(); }
  void PosXTolText_Changed();
  void PosXTolStepper_Changed();
  void PosXTolReset_Pressed();
  void PosYTolText_Changed();
  void PosYTolStepper_Changed();
  void PosYTolReset_Pressed();
  void HeadTolText_Changed();
  void HeadTolStepper_Changed();
  void GpsEnhancedCheck_Changed();
  void OkButton_Pressed();
  void CancelButton_Pressed();
  void UndoStartFinishButton();

protected:
  QWidget* makeWindow() override;
  void windowWillClose() override;

private:
  struct State {
    uint32_t OurIndex = 255;
    bool UseSlider = true;
    double RangeX = 1.0;
    double RangeY = 1.0;
    double PreviewTime = 0;
    bool BlockPreview = false;
    bool Success = false;
  };
  struct Records {
    MainStruct Main{};
    DataStruct Data{};
    DataStruct DataStructRevert{};
  };
  // A tolerance: its text, stepper and (for X and Y) reset button.
  struct Tolerance {
    TextField* text = nullptr;
    RealStepper* stepper = nullptr;
    QPushButton* reset = nullptr;
  };
  struct Controls {
    QButtonGroup* ModeGroup = nullptr;
    QRadioButton* SliderModeButton = nullptr;
    QRadioButton* ManualModeButton = nullptr;
    RealSlider* TimeSlider = nullptr;
    QPushButton* StepBackward = nullptr;
    QPushButton* StepForward = nullptr;
    TextField* PosXText = nullptr;
    TextField* PosYText = nullptr;
    TextField* HeadingText = nullptr;
    QCheckBox* HeadingAutoCheck = nullptr;
    Tolerance PosXTol, PosYTol, HeadTol;
    QCheckBox* GpsEnhancedCheck = nullptr;
    NSImageViewCustom* PreviewImage = nullptr;
  };

  QWidget* makePointBox(QWidget* parent);
  QWidget* makeToleranceBox(QWidget* parent);
  // The tolerance stepper's step and ceiling from the log's span.
  static void rangeTolerance(RealStepper* stepper, double span, double tolerance);
  void showTolerance(Tolerance& tolerance, double& field, double span);
  static void takeToleranceText(Tolerance& tolerance);
  void storeTolerance(Tolerance& tolerance, double& field);
  void resetTolerance(Tolerance& tolerance, double& field, double span);
  double query(uint32_t type, double time) const;
  // The start of the lap (of the first 20) that begins nearest the point.
  double nearestLapStart() const;
  void openPreview(uint32_t displayMode);
  void drawPreview(double time);
  // Stores the record unless the engine holds it already.
  void store(const DataStruct& record) const;

  State state_;
  PreviewSlot preview_;
  Records records_;
  Controls ui_;
};
