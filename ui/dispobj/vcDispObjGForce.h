#pragma once
// The G-force panel: the two acceleration channels and their full-scale
// ranges, flips and swap, the marker (colour, size, ball, fading trail),
// the axis with its circles, the shadow and the background.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjGForce : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjGForce(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;
  // The write path: the element switches from their check boxes, then the
  // whole record.
  void UpdatePreview();

  // Actions.
  void FieldXSelection_Changed();
  void FieldYSelection_Changed();
  void SwapXYCheck_Changed();
  void RangeXText_Changed();
  void RangeXStepper_Changed();
  void FlipXCheck_Changed();
  void RangeYText_Changed();
  void RangeYStepper_Changed();
  void FlipYCheck_Changed();
  void LineSizeText_Changed();
  void LineSizeStepper_Changed();
  void DoAxisCheck_Changed() { UpdatePreview(); }
  void AxisSizeText_Changed();
  void AxisSizeStepper_Changed();
  void DoShadowCheck_Changed() { UpdatePreview(); }
  void DoBackCheck_Changed() { UpdatePreview(); }
  void DoCirclesCheck_Changed();
  void DoCirclesAxisCheck_Changed();
  void DoFadeCheck_Changed();
  void DoBallCheck_Changed();

  // Outlets.
  QComboBox *FieldXSelection = nullptr, *FieldYSelection = nullptr;
  QCheckBox *SwapXYCheck = nullptr, *FlipXCheck = nullptr, *FlipYCheck = nullptr;
  TextField *RangeXText = nullptr, *RangeYText = nullptr;
  RealStepper *RangeXStepper = nullptr, *RangeYStepper = nullptr;
  NSColorWellCustom* LineColor = nullptr;
  TextField* LineSizeText = nullptr;
  RealStepper* LineSizeStepper = nullptr;
  QCheckBox *DoBallCheck = nullptr, *DoFadeCheck = nullptr;
  QCheckBox* DoAxisCheck = nullptr;
  NSColorWellCustom* AxisColor = nullptr;
  TextField* AxisSizeText = nullptr;
  RealStepper* AxisSizeStepper = nullptr;
  QCheckBox *DoCirclesCheck = nullptr, *DoCirclesAxisCheck = nullptr;
  QCheckBox* DoShadowCheck = nullptr;
  NSColorWellCustom* ShadowColor = nullptr;
  QCheckBox* DoBackCheck = nullptr;
  NSColorWellCustom* BackColor = nullptr;

private:
  void buildChannelRows(QGridLayout* grid, int& row);
  void buildLookRows(QGridLayout* grid, int& row);
  void connectControls();
  void fieldChosen(QComboBox* combo, char16_t (&field)[kNameLength]);
  void setOption(uint8_t bit, bool on);
  void showCirclesEnabled();

  GForceParam gforce_{};
};
