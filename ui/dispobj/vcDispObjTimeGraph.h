#pragma once
// The time graph panel: the channel plotted, its value range (automatic or
// fixed), the stretch of time across the graph, orientation and
// resolution, and the background, frame, data line, label and axis.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjTimeGraph : public DispObjPanel, public ChannelRangeOutlets {
  Q_OBJECT
public:
  explicit vcDispObjTimeGraph(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;

  // Actions (the number fields' own actions are their NumberPairs', the
  // option checks' their OptionChecks', the colours' their ColorElements).
  void LabelText_Changed();

  // Outlets.
  // The channel and range rows; their controls are the outlets of
  // ChannelRangeOutlets.
  ChannelRangeRows* Range = nullptr;
  QComboBox* ModeSelection = nullptr;
  NSColorWellCustom* ValueColor = nullptr;
  QLabel* TimeSpanLabel = nullptr;
  TextField* TimeSpanText = nullptr;
  RealStepper* TimeSpanStepper = nullptr;
  QCheckBox *HighResCheck = nullptr, *FlipCheck = nullptr, *VerticalCheck = nullptr;
  QCheckBox* DoBackCheck = nullptr;
  NSColorWellCustom* BackColor = nullptr;
  QCheckBox* DoTrimCheck = nullptr;
  NSColorWellCustom* TrimColor = nullptr;
  TextField* TrimSizeText = nullptr;
  RealStepper* TrimSizeStepper = nullptr;
  NSColorWellCustom* LineColor = nullptr;
  TextField* ThicknessText = nullptr;
  RealStepper* ThicknessStepper = nullptr;
  QCheckBox* DoLabelCheck = nullptr;
  NSColorWellCustom* LabelColor = nullptr;
  TextField* LabelText = nullptr;
  TextField* LabelSizeText = nullptr;
  RealStepper* LabelSizeStepper = nullptr;
  QCheckBox* DoAxisCheck = nullptr;
  NSColorWellCustom* AxisColor = nullptr;
  TextField* AxisSizeText = nullptr;
  RealStepper* AxisSizeStepper = nullptr;
  TextField* AxisIntervalText = nullptr;
  RealStepper* AxisIntervalStepper = nullptr;
  TextField* GraphThicknessText = nullptr;
  RealStepper* GraphThicknessStepper = nullptr;

  uint32_t OurInputID() const { return inputId_; }

private:
  // The write path: element switches and the label text from their
  // controls, then the whole record; the other panels are refilled.
  void UpdatePreview();
  // The field label in red when the graph cannot draw its channel.
  void SetFieldColor();

  struct Numbers {
    NumberPair *timeSpan = nullptr, *trimSize = nullptr, *thickness = nullptr, *labelSize = nullptr;
    NumberPair *axisSize = nullptr, *axisInterval = nullptr, *graphThickness = nullptr;
  };

  void buildRangeRows(QGridLayout* grid, int& row);
  void buildLookRows(QGridLayout* grid, int& row);
  void connectControls();
  void bindNumbers();

  uint32_t inputId_ = kNoInput;
  TimeGraphParam graph_{};
  OptionChecks* options_ = nullptr;
  ColorElements* colors_ = nullptr;
  Numbers numbers_;
};
