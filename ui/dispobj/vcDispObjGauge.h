#pragma once
// The gauge panel: the everyday settings of a gauge (speedometers and
// tachometers are gauges too): its channel and range, the warning colours,
// the display mode, sweep and start angle, the main colours and the sizes
// of the readout and the label. Everything else is designed in the gauge
// designer, which the panel opens over the property window.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjGauge : public DispObjPanel, public ChannelRangeOutlets {
  Q_OBJECT
public:
  explicit vcDispObjGauge(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;

  // Actions (the number fields' own actions are their NumberPairs').
  void StartDegManualCheck_Changed();
  void ModeSelection_Changed();
  void DoChangeColor2Check_Changed();
  void ChangeColor2_Changed();
  void DoNumberDecimalCheck_Changed();
  void LabelText_Changed();
  void GaugeDesignerButton_Pressed();

  // Outlets.
  // The channel and range rows; their controls are the outlets of
  // ChannelRangeOutlets.
  ChannelRangeRows* Range = nullptr;
  QComboBox* ModeSelection = nullptr;
  QCheckBox* HighResCheck = nullptr;
  QLabel* SweepLabel = nullptr;
  TextField* SweepText = nullptr;
  RealStepper* SweepStepper = nullptr;
  QCheckBox* CcwCheck = nullptr;
  QCheckBox* StartDegManualCheck = nullptr;
  TextField* StartDegText = nullptr;
  RealStepper* StartDegStepper = nullptr;
  QCheckBox *DoFaceCheck = nullptr, *DoFaceGradientCheck = nullptr, *DoTrimCheck = nullptr;
  NSColorWellCustom *FaceColor = nullptr, *FaceColor2 = nullptr, *TrimColor = nullptr;
  NSColorWellCustom *NeedleColor = nullptr, *NeedleBackColor = nullptr, *MarkColor = nullptr;
  QCheckBox *DoMarkColor2Check = nullptr, *DoPinsCheck = nullptr;
  NSColorWellCustom *MarkColor2 = nullptr, *PinColor = nullptr;
  QLabel *ChangeLabel = nullptr, *ChangeValueLabel = nullptr, *ChangeValue2Label = nullptr;
  NSColorWellCustom* ChangeColor = nullptr;
  TextField* ChangeValueText = nullptr;
  RealStepper* ChangeValueStepper = nullptr;
  QCheckBox* DoChangeColor2Check = nullptr;
  NSColorWellCustom* ChangeColor2 = nullptr;
  TextField* ChangeValue2Text = nullptr;
  RealStepper* ChangeValue2Stepper = nullptr;
  QCheckBox *DoNumberCheck = nullptr, *DoNumberDecimalCheck = nullptr;
  NSColorWellCustom* NumberColor = nullptr;
  TextField* NumberSizeText = nullptr;
  RealStepper* NumberSizeStepper = nullptr;
  QCheckBox* DoLabelCheck = nullptr;
  NSColorWellCustom* LabelColor = nullptr;
  TextField* LabelText = nullptr;
  TextField* LabelSizeText = nullptr;
  RealStepper* LabelSizeStepper = nullptr;
  QPushButton* GaugeDesignerButton = nullptr;

  uint32_t OurInputID() const { return inputId_; }
  // The panel's copy of the record, as last loaded or written.
  const GaugeParam& Record() const { return gauge_; }

private:
  // The write path: one checkpoint, then UpdatePreviewNoUndo.
  void UpdatePreview();
  // The element switches and the label text into the record, then the
  // whole record, without a checkpoint.
  void UpdatePreviewNoUndo();
  // The field label in red when the gauge cannot draw its channel.
  void SetFieldColor();

  struct Numbers {
    NumberPair *sweep = nullptr, *startDeg = nullptr;
    NumberPair *changeValue = nullptr, *changeValue2 = nullptr, *numberSize = nullptr, *labelSize = nullptr;
  };

  void buildControls();
  void buildScale(QGridLayout* grid, int& row);
  void buildColors(QGridLayout* grid, int& row);
  void buildTexts(QGridLayout* grid, int& row);
  void connectActions();
  void loadScale();
  void loadColors();
  void enableForMode();
  void enableChangeValue2(bool groupInUse);
  void setOption(uint8_t bit, bool on);
  // Reads the element switches and the label text into the record.
  void readSwitches();

  uint32_t inputId_ = kNoInput;
  GaugeParam gauge_{};
  OptionChecks* options_ = nullptr;
  Numbers numbers_;
};
