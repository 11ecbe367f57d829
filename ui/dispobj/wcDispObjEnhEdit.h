#pragma once
// The script editor of a scripted object: the whole EnhParam record (data
// channel, range, trigger, rendering area, named colours, label) and its
// background and foreground scripts, with a preview of the object, the
// scripts' output, the background bitmap and style files. Modal, opened
// only by the scripted-object panel, made once at launch and kept as
// wndDispObjEnhEdit. It writes every change straight into the engine,
// without undo checkpoints: the panel takes one before and returns to it
// when the editor ends without OK.
#include <QString>
#include <array>
#include <cstdint>

#include "model/disp_records.h"
#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class ChannelRangeRows;
class NSColorWellCustom;
class NSImageViewCustom;
class NumberPair;
class OptionChecks;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class RealStepper;
class TextField;

class wcDispObjEnhEdit : public WindowController {
  Q_OBJECT
public:
  enum ViewModes : int { kViewParams = 0, kViewBackScript = 1, kViewForeScript = 2 };

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcDispObjEnhEdit();

public:
  ~wcDispObjEnhEdit() override;

  // Loads the object's record and fills the window; false (the window not
  // to be shown) when the object is missing or holds no record.
  bool SetData(uint32_t index);
  bool Success() const { return state_.Success; }
  int ViewMode() const { return state_.ViewMode; }
  uint32_t OurIndex() const { return state_.OurIndex; }
  uint32_t OurInputID() const { return state_.OurInputID; }
  const QString& CurStyle() const { return state_.CurStyle; }
  const EnhParam& Record() const { return enh_; }

  // Stores the texts typed into the window and writes the whole record.
  void UpdateData();
  void UpdatePreview();
  void UpdatePreviewNoSave();
  void UpdateViewModeControls();
  void UpdateColorControls();
  void UpdateScriptOutput();
  void SetStyle();
  void SetFieldColor();
  void EndPreview() { preview_.close(); }

  // Actions: the view, the preview, files and the closing buttons.
  void ViewParamButton_Pressed() { setViewMode(kViewParams); }
  void ViewBackScriptButton_Pressed() { setViewMode(kViewBackScript); }
  void ViewForeScriptButton_Pressed() { setViewMode(kViewForeScript); }
  void RefreshPreviewButton_Pressed() { UpdatePreview(); }
  void BackgroundButton_Pressed();
  void StyleButton_Pressed();
  void StyleExportButton_Pressed();
  void HelpButton_Pressed();
  void OkButton_Pressed();
  void CancelButton_Pressed();
  // Actions of the parameters (wcDispObjEnhEditParams.cpp); the channel's
  // and the range's are the rows', the number fields' their NumberPairs' and
  // the option checks' their OptionChecks'.
  void Color_Changed(int i); // ColorA_Changed .. ColorH_Changed
  void DoLabelCheck_Changed() { UpdatePreview(); }
  void LabelText_Changed();
  void LabelColor_Changed();
  void LabelFontSelection_Changed();

  // Outlets.
  QPushButton *ViewParamButton = nullptr, *ViewBackScriptButton = nullptr, *ViewForeScriptButton = nullptr;
  QLabel* ViewInfoLabel = nullptr;
  QPlainTextEdit* ScriptText = nullptr;
  QLabel* OutputLabel = nullptr;
  QPlainTextEdit* OutputText = nullptr;
  QGroupBox* ParamBox = nullptr;
  ChannelRangeRows* Range = nullptr; // the channel and the range
  QCheckBox* TriggerCheck = nullptr;
  TextField* TriggerText = nullptr;
  RealStepper* TriggerStepper = nullptr;
  TextField *SizeXText = nullptr, *SizeYText = nullptr, *ColorCountText = nullptr;
  RealStepper *SizeXStepper = nullptr, *SizeYStepper = nullptr, *ColorCountStepper = nullptr;
  std::array<TextField*, kEnhColors> ColorLabel{};     // the names, ColorLabelA .. ColorLabelH
  std::array<NSColorWellCustom*, kEnhColors> Color{};  // ColorA .. ColorH
  std::array<QLabel*, kEnhColors> ColorVar{};          // ColorVarA .. ColorVarH
  QCheckBox* DoLabelCheck = nullptr;
  TextField* LabelText = nullptr;
  NSColorWellCustom* LabelColor = nullptr;
  QComboBox* LabelFontSelection = nullptr;
  TextField *LabelSizeText = nullptr, *LabelPosXText = nullptr, *LabelPosYText = nullptr;
  RealStepper *LabelSizeStepper = nullptr, *LabelPosXStepper = nullptr, *LabelPosYStepper = nullptr;
  QCheckBox *LabelBoldCheck = nullptr, *LabelItalicCheck = nullptr, *LabelTopLayerCheck = nullptr;
  NSImageViewCustom* PreviewImage = nullptr;
  QPushButton *RefreshPreviewButton = nullptr, *BackgroundButton = nullptr, *StyleButton = nullptr,
              *StyleExportButton = nullptr, *HelpButton = nullptr;

  // The page the help button opens.
  static QString HelpAddress();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowDidBecomeMain() override;
  void windowWillClose() override;

private:
  struct State {
    bool Success = false;
    int ViewMode = kViewParams;
    bool LoadingData = false;
    uint32_t OurIndex = kNoDispObj;
    uint32_t OurInputID = kNoInput;
    uint32_t PreviewQuality = 4;
    QString CurStyle;
  };

  // Layout (wcDispObjEnhEditParams.cpp for the parameter box).
  QWidget* makeViewBar(QWidget* parent);
  QWidget* makeSidePanel(QWidget* parent);
  QGroupBox* makeParamBox(QWidget* parent);
  QWidget* makeDataColumn(QWidget* parent);
  QWidget* makeLabelRows(QWidget* parent);
  QWidget* makeColorColumn(QWidget* parent);
  void connectParams();
  void bindNumbers();

  void fillParams(const DispStruct& common);
  void setViewMode(int mode);
  void showNoticeOnce();
  // The script of a view mode (1 background, 2 foreground).
  char (&script(int mode))[kScriptBytes];
  // Stores what the user typed into the script view into its field.
  void takeScript();
  bool objectStillScripted() const;
  // A label edit switches the label on.
  void labelEdited();

  State state_;
  PreviewSlot preview_;
  EnhParam enh_{};
  struct Numbers {
    NumberPair *trigger = nullptr, *sizeX = nullptr, *sizeY = nullptr, *colorCount = nullptr;
    NumberPair *labelSize = nullptr, *labelX = nullptr, *labelY = nullptr;
  } numbers_;
  struct Options {
    OptionChecks *trigger = nullptr, *labelLayer = nullptr, *labelStyle = nullptr;
  } options_;
};
