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

  // Actions.
  void FieldXSelection_Changed();
  void FieldYSelection_Changed();
  void DoCirclesCheck_Changed();
  void DoCirclesAxisCheck_Changed();

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
  // The write path: the element switches from their check boxes, then the
  // whole record.
  void UpdatePreview();

  struct Numbers {
    NumberPair *rangeX = nullptr, *rangeY = nullptr, *lineSize = nullptr, *axisSize = nullptr;
  };

  void buildChannelRows(QGridLayout* grid, int& row);
  void buildLookRows(QGridLayout* grid, int& row);
  void connectControls();
  void bindNumbers();
  void fieldChosen(QComboBox* combo, char16_t (&field)[kNameLength]);
  void showCirclesEnabled();

  GForceParam gforce_{};
  OptionChecks* options_ = nullptr;
  ColorElements* colors_ = nullptr;
  Numbers numbers_;
};
