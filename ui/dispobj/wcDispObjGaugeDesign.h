#pragma once
// The gauge designer: a modal window that edits every part of one gauge,
// page by page (scale, marks, texts, needle, face and warning colours),
// with a live preview of the object as it looks at the main window's time.
// Each change is written into the engine at once, so the main preview
// follows too; the window has no undo of its own: the gauge panel takes a
// checkpoint before it opens the window and returns to it unless the
// window ends with OK. Made once at launch (wndDispObjGaugeDesign).
//
// The controls of each page are built, loaded and handled in their own
// file: wcDispObjGaugeDesignScale.cpp (range, arc, two-part scale, marks,
// pins), wcDispObjGaugeDesignText.cpp (label, scale numbers, readout) and
// wcDispObjGaugeDesignNeedle.cpp (mode, needles, face, warning colours).
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>

#include "model/disp_records.h"
#include "ui/dispobj/dispobj_fwd.h"
#include "ui/shell/WindowController.h"

class wcDispObjGaugeDesign : public WindowController {
  Q_OBJECT
public:
  static constexpr int kPreviewSide = 320;

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcDispObjGaugeDesign();

public:
  ~wcDispObjGaugeDesign() override;

  // Loads the object into the window and opens its preview; false (with
  // the engine's error shown for a missing object) when there is nothing
  // to design.
  bool SetData(int index);
  bool Success() const { return state_.success; }
  uint32_t OurIndex() const { return state_.index; }
  uint32_t OurInputID() const { return state_.inputId; }
  int PreviewSlot() const { return state_.previewSlot; }
  // The window's copy of the record, as last loaded or written.
  const GaugeParam& Record() const { return gauge_; }

  // The write path: the element switches into the record, the record
  // into the engine, and the preview drawn again.
  void UpdatePreview();
  void EndPreview();
  void SetFieldColor();
  void SetStyle();

  // Actions of the window.
  void OkButton_Pressed();
  void CancelButton_Pressed();
  void FieldSelection_Changed();
  void TypeSelection_Changed();
  void StyleButton_Pressed();
  void StyleExportButton_Pressed();
  void BackgroundButton_Pressed();

  // Scale and marks (wcDispObjGaugeDesignScale.cpp).
  void MinManualCheck_Changed();
  void MaxManualCheck_Changed();
  void StartDegManualCheck_Changed();
  void StepMidCheck_Changed();
  void MarkTypeSelection_Changed();
  void MarkSmallTypeSelection_Changed();
  void MarkMatrix_Changed();
  void MarkSmallMatrix_Changed();

  // Label, scale numbers and readout (wcDispObjGaugeDesignText.cpp).
  void LabelText_Changed();
  void LabelFontSelection_Changed();
  void LabelPosAutoCheck_Changed();
  void MarkNumbersCheck_Changed();
  void MarkNumbersUnitsSelection_Changed();
  void NumberFontSelection_Changed();
  void NumberPosAutoCheck_Changed();

  // Needle, display mode, face and warning colours (wcDispObjGaugeDesignNeedle.cpp).
  void ModeSelection_Changed();
  void NeedleTaperCheck_Changed();
  void DualIntervalCheck_Changed();
  void DoChangeColor2Check_Changed();
  void ChangeColor2_Changed();

  // Outlets of the window.
  NSImageViewCustom* PreviewImage = nullptr;
  QLabel* FieldLabel = nullptr;
  QComboBox* FieldSelection = nullptr;
  QComboBox* TypeSelection = nullptr;
  QPushButton *StyleButton = nullptr, *StyleExportButton = nullptr, *BackgroundButton = nullptr;
  QPushButton *OkButton = nullptr, *CancelButton = nullptr;
  QTabWidget* Pages = nullptr;

  // Outlets of the scale and marks.
  QCheckBox *MinManualCheck = nullptr, *MaxManualCheck = nullptr;
  TextField *MinText = nullptr, *MaxText = nullptr;
  RealStepper *MinStepper = nullptr, *MaxStepper = nullptr;
  TextField* SweepDegText = nullptr;
  RealStepper* SweepDegStepper = nullptr;
  QCheckBox* CcwCheck = nullptr;
  QCheckBox* StartDegManualCheck = nullptr;
  TextField* StartDegText = nullptr;
  RealStepper* StartDegStepper = nullptr;
  QCheckBox* StepMidCheck = nullptr;
  TextField *StepMidText = nullptr, *StepMidAngleText = nullptr;
  RealStepper *StepMidStepper = nullptr, *StepMidAngleStepper = nullptr;
  QComboBox *MarkTypeSelection = nullptr, *MarkSmallTypeSelection = nullptr;
  TextField *MarkSizeText = nullptr, *MarkSmallSizeText = nullptr;
  RealStepper *MarkSizeStepper = nullptr, *MarkSmallSizeStepper = nullptr;
  QButtonGroup *MarkMatrix = nullptr, *MarkSmallMatrix = nullptr;
  QRadioButton *MarkCountButton = nullptr, *MarkIntervalButton = nullptr;
  QRadioButton *MarkSmallCountButton = nullptr, *MarkSmallIntervalButton = nullptr;
  TextField *MarkIntervalText = nullptr, *MarkSmallIntervalText = nullptr;
  RealStepper *MarkIntervalStepper = nullptr, *MarkSmallIntervalStepper = nullptr;
  TextField *MarkCountText = nullptr, *MarkSmallCountText = nullptr;
  RealStepper *MarkCountStepper = nullptr, *MarkSmallCountStepper = nullptr;
  NSColorWellCustom* MarkColor = nullptr;
  QCheckBox* DoMarkColor2Check = nullptr;
  NSColorWellCustom* MarkColor2 = nullptr;
  QCheckBox* DoPinsCheck = nullptr;
  NSColorWellCustom* PinColor = nullptr;
  TextField* PinSizeText = nullptr;
  RealStepper* PinSizeStepper = nullptr;

  // Outlets of the label, scale numbers and readout.
  TextField* LabelText = nullptr;
  QCheckBox* DoLabelCheck = nullptr;
  NSColorWellCustom* LabelColor = nullptr;
  QComboBox* LabelFontSelection = nullptr;
  TextField *LabelSizeText = nullptr, *IntervalSizeText = nullptr;
  RealStepper *LabelSizeStepper = nullptr, *IntervalSizeStepper = nullptr;
  QCheckBox *LabelBoldCheck = nullptr, *LabelItalicCheck = nullptr, *LabelPosAutoCheck = nullptr;
  TextField *LabelPosXText = nullptr, *LabelPosYText = nullptr;
  RealStepper *LabelPosXStepper = nullptr, *LabelPosYStepper = nullptr;
  QCheckBox *MarkNumbersCheck = nullptr, *MarkNumbers2Check = nullptr, *MarkNumbersMinMaxCheck = nullptr;
  QCheckBox* MarkNumbersLimitClutterCheck = nullptr;
  QComboBox* MarkNumbersUnitsSelection = nullptr;
  QCheckBox* DoNumberCheck = nullptr;
  NSColorWellCustom* NumberColor = nullptr;
  QComboBox* NumberFontSelection = nullptr;
  TextField* NumberSizeText = nullptr;
  RealStepper* NumberSizeStepper = nullptr;
  QCheckBox *NumberBoldCheck = nullptr, *NumberItalicCheck = nullptr, *DoNumberDecimalCheck = nullptr;
  QCheckBox* NumberPosAutoCheck = nullptr;
  TextField *NumberPosXText = nullptr, *NumberPosYText = nullptr;
  RealStepper *NumberPosXStepper = nullptr, *NumberPosYStepper = nullptr;

  // Outlets of the needle, mode, face and warning colours.
  QComboBox* ModeSelection = nullptr;
  QCheckBox *HighResCheck = nullptr, *SmoothMovementCheck = nullptr, *NeedleTaperCheck = nullptr;
  NSColorWellCustom *NeedleColor = nullptr, *NeedleBackColor = nullptr;
  TextField *NeedleSizeText = nullptr, *NeedleTipLenText = nullptr, *NeedleTailLenText = nullptr;
  RealStepper *NeedleSizeStepper = nullptr, *NeedleTipLenStepper = nullptr, *NeedleTailLenStepper = nullptr;
  QLabel* NeedleCenterSizeLabel = nullptr;
  TextField *NeedleCenterSizeText = nullptr, *NeedleTaperShapeText = nullptr;
  RealStepper *NeedleCenterSizeStepper = nullptr, *NeedleTaperShapeStepper = nullptr;
  QLabel *DualNeedleLabel = nullptr, *DualNeedleSizeLabel = nullptr, *DualNeedleTipLenLabel = nullptr,
         *DualNeedleTailLenLabel = nullptr;
  NSColorWellCustom* DualNeedleColor = nullptr;
  TextField *DualNeedleSizeText = nullptr, *DualNeedleTipLenText = nullptr, *DualNeedleTailLenText = nullptr;
  RealStepper *DualNeedleSizeStepper = nullptr, *DualNeedleTipLenStepper = nullptr,
              *DualNeedleTailLenStepper = nullptr;
  QCheckBox* DualIntervalCheck = nullptr;
  TextField* DualIntervalText = nullptr;
  RealStepper* DualIntervalStepper = nullptr;
  QCheckBox *DoFaceCheck = nullptr, *DoFaceGradientCheck = nullptr, *DoTrimCheck = nullptr;
  NSColorWellCustom *FaceColor = nullptr, *FaceColor2 = nullptr, *TrimColor = nullptr;
  TextField* TrimSizeText = nullptr;
  RealStepper* TrimSizeStepper = nullptr;
  NSColorWellCustom* ChangeColor = nullptr;
  TextField* ChangeValueText = nullptr;
  RealStepper* ChangeValueStepper = nullptr;
  QCheckBox* DoChangeColor2Check = nullptr;
  NSColorWellCustom* ChangeColor2 = nullptr;
  QLabel* ChangeValue2Label = nullptr;
  TextField* ChangeValue2Text = nullptr;
  RealStepper* ChangeValue2Stepper = nullptr;
  QCheckBox *ChangeMarkCheck = nullptr, *ChangeMarkGradientCheck = nullptr;
  QCheckBox *ChangeNeedleCheck = nullptr, *ChangeNeedleGradientCheck = nullptr;
  QCheckBox *ChangeFaceCheck = nullptr, *ChangeFaceColorCheck = nullptr, *ChangeFaceSolidCheck = nullptr;
  QLabel *ChangeFacePosLabel = nullptr, *ChangeFaceDarkenLabel = nullptr;
  TextField *ChangeFacePosText = nullptr, *ChangeFaceDarkenText = nullptr;
  RealStepper *ChangeFacePosStepper = nullptr, *ChangeFaceDarkenStepper = nullptr;

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowDidBecomeMain() override;
  void windowWillClose() override;

private:
  struct State {
    bool success = false;
    bool loading = false;
    uint32_t index = kNoDispObj;
    uint32_t inputId = 255;
    uint32_t previewQuality = 4;
    int previewSlot = -1; // none
    QString curStyle;
  };
  // The number fields of every page, by record field.
  struct ScalePairs {
    NumberPair *min = nullptr, *max = nullptr, *sweep = nullptr, *startDeg = nullptr;
    NumberPair *stepMid = nullptr, *stepMidAngle = nullptr;
    NumberPair *markSize = nullptr, *markSmallSize = nullptr, *markInterval = nullptr, *markSmallInterval = nullptr;
    NumberPair *markCount = nullptr, *markSmallCount = nullptr, *pinSize = nullptr;
  };
  struct TextPairs {
    NumberPair *labelSize = nullptr, *intervalSize = nullptr, *labelX = nullptr, *labelY = nullptr;
    NumberPair *numberSize = nullptr, *numberX = nullptr, *numberY = nullptr;
  };
  struct NeedlePairs {
    NumberPair *size = nullptr, *tipLen = nullptr, *tailLen = nullptr, *centerSize = nullptr, *taperShape = nullptr;
    NumberPair *dualSize = nullptr, *dualTipLen = nullptr, *dualTailLen = nullptr, *dualInterval = nullptr;
    NumberPair *trimSize = nullptr, *changeValue = nullptr, *changeValue2 = nullptr;
    NumberPair *facePos = nullptr, *faceDarken = nullptr;
  };

  QWidget* buildSidebar(QWidget* parent);
  QWidget* buildScalePage(QWidget* parent);
  QWidget* buildMarksPage(QWidget* parent);
  QWidget* buildTextPage(QWidget* parent);
  QWidget* buildNeedlePage(QWidget* parent);
  QWidget* buildFacePage(QWidget* parent);
  void connectWindow();
  void connectScale();
  void connectText();
  void connectNeedle();
  // A number field whose stepper action stores the value (and does what
  // else the field asks), then writes and redraws.
  NumberPair* pair(TextField* text, RealStepper* stepper, bool real, std::function<void(double)> store);

  void loadReadoutAndLabel();
  void showPosition(QCheckBox* autoCheck, NumberPair* x, NumberPair* y, std::pair<uint16_t, uint16_t> stored,
                    std::pair<uint16_t, uint16_t> automatic);
  void positionAutoChanged(const QCheckBox* autoCheck, std::pair<NumberPair*, NumberPair*> xy, uint16_t& storedX,
                           uint16_t& storedY, QCheckBox* textSwitch);
  void fontChosen(const QComboBox* list, char16_t (&font)[kNameLength], QCheckBox* textSwitch);
  // An edit of a text's look switches the text on and writes.
  void textEdited(QCheckBox* textSwitch);
  void loadRangeAndArc();
  void loadModeAndNeedles();
  void loadMarkColors();
  void loadMarks();
  void loadNumberOptions();
  void loadChangeColors();
  void loadTwoPartScale();

  void enableForMode();
  void selectSpacing(bool byInterval);
  void setMarkNumberBit(uint8_t bit, bool on);
  void setOption(uint8_t bit, bool on);
  void setChangeBit(uint8_t bit, bool on);
  void readSwitches();
  QString styleFolder() const;

  State state_;
  GaugeParam gauge_{};
  ScalePairs scale_;
  TextPairs text_;
  NeedlePairs needle_;
  OptionChecks* options_ = nullptr;
  OptionChecks* numberOptions_ = nullptr;
  struct TextOptions {
    OptionChecks *labelStyle = nullptr, *numberStyle = nullptr, *decimals = nullptr;
  } textOptions_;
  std::array<OptionChecks*, 4> changeChecks_{};
};
