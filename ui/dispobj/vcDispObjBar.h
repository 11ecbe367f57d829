#pragma once
// The bar graph panel: the channel a bar shows, its value range, its
// direction and look, the background, the trim, the second (shading)
// colour, the value number and the label.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjBar : public DispObjPanel, public ChannelRangeOutlets {
  Q_OBJECT
public:
  explicit vcDispObjBar(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;

  // Actions (the number fields' own actions are their NumberPairs').
  void NumberDecimalCheck_Changed();
  void RoundedCheck_Changed();
  void DoBackCheck_Changed();
  void DoTrimCheck_Changed() { UpdatePreview(); }
  void DoFillColor2Check_Changed() { UpdatePreview(); }
  void DoNumberCheck_Changed() { UpdatePreview(); }
  void DoLabelCheck_Changed() { UpdatePreview(); }
  void FillColor_Changed();
  void LabelText_Changed();
  void ModeSelection_Changed();

  // Outlets.
  // The channel and range rows; their controls are the outlets of
  // ChannelRangeOutlets.
  ChannelRangeRows* Range = nullptr;
  QComboBox* ModeSelection = nullptr;
  QLabel* BarLabel = nullptr;
  QCheckBox *HorizontalCheck = nullptr, *FlipCheck = nullptr, *RoundedCheck = nullptr, *HighResCheck = nullptr;
  TextField* ThicknessText = nullptr;
  RealStepper* ThicknessStepper = nullptr;
  NSColorWellCustom* FillColor = nullptr;
  QCheckBox* DoFillColor2Check = nullptr;
  NSColorWellCustom* FillColor2 = nullptr;
  QCheckBox* DoBackCheck = nullptr;
  NSColorWellCustom* BackColor = nullptr;
  QCheckBox* DoTrimCheck = nullptr;
  NSColorWellCustom* TrimColor = nullptr;
  TextField* TrimSizeText = nullptr;
  RealStepper* TrimSizeStepper = nullptr;
  QCheckBox* DoNumberCheck = nullptr;
  NSColorWellCustom* NumberColor = nullptr;
  TextField* NumberSizeText = nullptr;
  RealStepper* NumberSizeStepper = nullptr;
  QCheckBox* NumberDecimalCheck = nullptr;
  QCheckBox* DoLabelCheck = nullptr;
  NSColorWellCustom* LabelColor = nullptr;
  TextField* LabelText = nullptr;
  TextField* LabelSizeText = nullptr;
  RealStepper* LabelSizeStepper = nullptr;

  uint32_t OurInputID() const { return inputId_; }

private:
  // The write path: the element switches and the label text from their
  // controls, then the whole record.
  void UpdatePreview();
  // The field label in red when the bar cannot draw its channel.
  void SetFieldColor();

  struct Numbers {
    NumberPair *trimSize = nullptr, *thickness = nullptr, *numberSize = nullptr, *labelSize = nullptr;
  };

  void buildControls();
  void buildRangeAndLook(QGridLayout* grid, int& row);
  void buildElements(QGridLayout* grid, int& row);
  void bindNumbers();

  uint32_t inputId_ = kNoInput;
  BarParam bar_{};
  OptionChecks* options_ = nullptr;
  ColorElements* colors_ = nullptr;
  Numbers numbers_;
};
