#pragma once
// The picture panel: where the object sits on the output frame and how it
// looks there: position and size in percent of the frame, nudges by preview
// pixels, growing and shrinking, aspect ratio, transparency, mirroring and
// the colour channels drawn. A group moves and scales its members with it.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjPicture : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjPicture(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;
  // Keeps at least 1 % of the object inside the frame on each axis.
  void EnforceBounds();
  void MoveX(double delta, bool quick);
  void MoveY(double delta, bool quick);

  // Actions (the number fields' own actions are their NumberPairs').
  void MoveUp_Pressed();
  void MoveDown_Pressed();
  void MoveLeft_Pressed();
  void MoveRight_Pressed();
  void SmallerButton_Pressed();
  void LargerButton_Pressed();
  void MirroringSelection_Changed() { UpdatePreview(); }
  void PosXLabel_Clicked();
  void PosYLabel_Clicked();
  void TransparencyLabel_Clicked();
  void MirroringLabel_Clicked();
  void ColorLabel_Clicked();

  bool GroupObject = false;
  bool TextAutoSize = false;
  double PixToPctX = 1.0;
  double PixToPctY = 1.0;
  bool LastPreviewWasQuick = false;

  // Outlets.
  RealStepper *PosXStepper = nullptr, *PosYStepper = nullptr, *WidthStepper = nullptr, *HeightStepper = nullptr;
  TextField *PosXText = nullptr, *PosYText = nullptr, *WidthText = nullptr, *HeightText = nullptr;
  NSTextLabelCustom *PosXLabel = nullptr, *PosYLabel = nullptr;
  QLabel *WidthLabel = nullptr, *HeightLabel = nullptr;
  RealStepper *MoveAmountStepper = nullptr, *SizeAmountStepper = nullptr, *TransparencyStepper = nullptr;
  TextField *MoveAmountText = nullptr, *SizeAmountText = nullptr, *TransparencyText = nullptr;
  QLabel *MoveAmountLabel = nullptr, *SizeAmountLabel = nullptr;
  NSTextLabelCustom *TransparencyLabel = nullptr, *TransparencyAmountLabel = nullptr;
  QCheckBox* KeepRatioCheck = nullptr;
  NSTextLabelCustom* MirroringLabel = nullptr;
  QComboBox* MirroringSelection = nullptr;
  NSTextLabelCustom* ColorLabel = nullptr;
  QCheckBox *ColorRCheck = nullptr, *ColorGCheck = nullptr, *ColorBCheck = nullptr;
  QPushButton *MoveUpButton = nullptr, *MoveDownButton = nullptr, *MoveLeftButton = nullptr,
              *MoveRightButton = nullptr;
  QPushButton *SmallerButton = nullptr, *LargerButton = nullptr;

private:
  void UpdatePreview() { UpdatePreview(false); }
  // The write path; quick repaints at the fast quality used while dragging.
  void UpdatePreview(bool quick);

  void buildControls();
  void bindNumbers();
  // The text beside a stepper shows the value the stepper holds.
  void showPosition();
  void showAmounts();
  void showTransparency();
  void resize(double factor);
  // An arrow: the nudge amount in preview pixels, along one axis (sign -1:
  // up or left).
  void arrowPressed(bool vertical, int sign);
  // One nudge along an axis: the position moved by delta, kept on the frame.
  void move(NumberPair* position, NumberPair* size, double delta, bool quick);

  struct Numbers {
    NumberPair *posX = nullptr, *posY = nullptr, *width = nullptr, *height = nullptr;
    NumberPair *moveAmount = nullptr, *sizeAmount = nullptr, *transparency = nullptr;
  } numbers_;
};
