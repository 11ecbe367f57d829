#pragma once
// The text panel, for text, text data, gear number, lap counter and lap
// timer objects: the fixed text and its font, size, style, colour and
// alignment, the automatic box size, and for the data kinds the channel,
// how number and text combine, digits, decimals, the lap timer's hold time
// and the value range inside which the number shows.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjText : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjText(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;

  // The titles of the data modes, in list order, and their values.
  static QStringList ModeTitles();
  static uint8_t ModeValueOf(const QString& title); // unknown titles: number only
  static QString ModeTitleOf(uint8_t mode);         // unknown values: "Number Only"

  // Actions.
  void MinManualCheck_Changed();
  void MaxManualCheck_Changed();
  void StyleCheck_Changed();
  void TotalLapsCheck_Changed();
  void FontSelection_Changed();
  void FieldSelection_Changed();
  void ModeSelection_Changed();
  void Color_Changed();
  void OutlineColor_Changed();
  void AutoSizeCheck_Changed();
  void OutlineCheck_Changed() { UpdatePreview(); }
  void AlignmentMatrix_Changed() { UpdatePreview(); }
  void ApplyButton_Pressed() { UpdatePreview(); }

  // Outlets: the text box.
  QGroupBox* TextBox = nullptr;
  QPlainTextEdit* Text = nullptr;
  QPushButton* ApplyButton = nullptr;
  QComboBox* FontSelection = nullptr;
  TextField* SizeText = nullptr;
  RealStepper* SizeStepper = nullptr;
  NSColorWellCustom* Color = nullptr;
  QCheckBox *BoldCheck = nullptr, *ItalicCheck = nullptr, *UnderlineCheck = nullptr, *StrikeCheck = nullptr;
  QButtonGroup* AlignmentMatrix = nullptr;
  QRadioButton *LeftButton = nullptr, *CenterButton = nullptr, *RightButton = nullptr;
  QCheckBox* AutoSizeCheck = nullptr;
  QCheckBox* OutlineCheck = nullptr;
  NSColorWellCustom* OutlineColor = nullptr;
  // The data box.
  QGroupBox* DataBox = nullptr;
  QLabel* FieldLabel = nullptr;
  QComboBox* FieldSelection = nullptr;
  QComboBox* ModeSelection = nullptr;
  TextField *DigitsText = nullptr, *DecimalsText = nullptr, *LapHoldText = nullptr;
  RealStepper *DigitsStepper = nullptr, *DecimalsStepper = nullptr, *LapHoldStepper = nullptr;
  QLabel *LapHoldLabel = nullptr, *LapHoldUnit = nullptr;
  QCheckBox* TotalLapsCheck = nullptr;
  QCheckBox *MinManualCheck = nullptr, *MaxManualCheck = nullptr;
  TextField *MinText = nullptr, *MaxText = nullptr;
  RealStepper *MinStepper = nullptr, *MaxStepper = nullptr;

  uint32_t OurType() const { return type_; }
  uint32_t OurInputID() const { return inputId_; }

private:
  // The write path: takes the text, alignment and outline from their
  // controls and writes the whole record.
  void UpdatePreview();

  void buildTextBox();
  void buildDataBox();
  void loadDataControls();
  void showRanges();
  void showFontMapping();
  void bindNumbers();
  // Text, alignment, automatic size and outline from their controls.
  void takeControls();
  void enableTextForMode();
  // Turning automatic size off: the box grows so the fixed-size text fits,
  // within the same undo checkpoint as the record.
  void growBoxAndWrite();

  uint32_t type_ = 0;
  uint32_t inputId_ = kNoInput;
  TextStruct text_{};
  struct Numbers {
    NumberPair *size = nullptr, *digits = nullptr, *decimals = nullptr, *lapHold = nullptr;
    NumberPair *min = nullptr, *max = nullptr;
  } numbers_;
};
