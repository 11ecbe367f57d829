#pragma once
// The track map panel: the course line with its laps, second colour, edge
// and start/finish marker and line; the position marker with its ghost;
// turning with the heading, the zoomed view and the resolution the sizes
// are given at. Three groups (map, position, zoom) each have a master
// switch; editing any control of a group switches its group on, and a
// sub-element's own switch as well.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjTrackMap : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjTrackMap(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;
  // After a resolution switch: the sizes rescaled to the new factor.
  void SetRes();

  // The most laps the lap list offers (a lap number is one byte).
  static constexpr int kMaxListedLaps = 255;

  // Actions.
  void HighResCheck_Changed();
  void HigherResCheck_Changed();
  void DoMapCheck_Changed() { UpdatePreview(); }
  void LineColor_Changed();
  void LapSelection_Changed();
  void StartLineCheck_Changed();
  void StartLineAutoCheck_Changed();
  void StartStyleSelection_Changed();
  void DoPosCheck_Changed() { UpdatePreview(); }
  void PosIconSelection_Changed();
  void PosAnimCheck_Changed();
  void ZoomMapCheck_Changed() { UpdatePreview(); }
  void ZoomMapSlider_Changed();

  // Outlets.
  QCheckBox *HighResCheck = nullptr, *HigherResCheck = nullptr;
  QCheckBox* DoMapCheck = nullptr;
  NSColorWellCustom* LineColor = nullptr;
  TextField* LineSizeText = nullptr;
  RealStepper* LineSizeStepper = nullptr;
  QComboBox* LapSelection = nullptr;
  QCheckBox* LowCheck = nullptr;
  NSColorWellCustom* LowColor = nullptr;
  QCheckBox* EdgeCheck = nullptr;
  NSColorWellCustom* EdgeColor = nullptr;
  QCheckBox* StartCheck = nullptr;
  NSColorWellCustom* StartColor = nullptr;
  TextField* StartSizeText = nullptr;
  RealStepper* StartSizeStepper = nullptr;
  QComboBox* StartStyleSelection = nullptr;
  QCheckBox *StartLineCheck = nullptr, *StartLineAutoCheck = nullptr;
  TextField* StartLineText = nullptr;
  RealStepper* StartLineStepper = nullptr;
  QCheckBox* DoPosCheck = nullptr;
  NSColorWellCustom* PosColor = nullptr;
  TextField* PosSizeText = nullptr;
  RealStepper* PosSizeStepper = nullptr;
  QComboBox* PosIconSelection = nullptr;
  QCheckBox* PosAnimCheck = nullptr;
  QCheckBox* DoGhostCheck = nullptr;
  NSColorWellCustom* GhostColor = nullptr;
  QCheckBox* RotateMapCheck = nullptr;
  QCheckBox* ZoomMapCheck = nullptr;
  RealSlider* ZoomMapSlider = nullptr;

private:
  // The write path: element switches, start line, markers and zoom from
  // their controls, then the whole record.
  void UpdatePreview();

  void buildControls();
  void buildMapRows(QGridLayout* grid, int& row);
  void buildMarkerRows(QGridLayout* grid, int& row);
  void connectControls();
  void bindMapParts();
  void bindPositionParts();
  void fillLaps(uint32_t input);
  void showLapChoice();
  void showSizeMaximum(int factor);
  // An edit of a part of the map or the position marker (a switch of
  // its own included) switches the group on and writes.
  void mapEdited();
  void posEdited();

  TrackMapParam map_{};
  struct Numbers {
    NumberPair *lineSize = nullptr, *startSize = nullptr, *startLine = nullptr, *posSize = nullptr;
  } numbers_;
  OptionChecks* options_ = nullptr;
};
