#pragma once
// The scripted-object panel: the channel the object's scripts read, its
// value range, the trigger value and the named colours the scripts draw
// with, and the button that opens the script editor (wcDispObjEnhEdit) for
// everything else.
#include <array>

#include "model/disp_records.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjEnhanced : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjEnhanced(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;

  // Actions (the channel's and the range's are the rows').
  void Color_Changed(int i); // ColorA_Changed .. ColorH_Changed
  // Opens the script editor; Cancel there takes back all it wrote.
  void ScriptButton_Pressed();

  // Outlets: the channel and the range are in Range.
  ChannelRangeRows* Range = nullptr;
  QLabel* TriggerLabel = nullptr;
  TextField* TriggerText = nullptr;
  RealStepper* TriggerStepper = nullptr;
  std::array<QLabel*, kEnhColors> ColorLabel{};           // ColorLabelA .. ColorLabelH
  std::array<NSColorWellCustom*, kEnhColors> Color{};     // ColorA .. ColorH
  QPushButton* ScriptButton = nullptr;

  uint32_t OurInputID() const { return inputId_; }
  const EnhParam& Record() const { return enh_; }

private:
  // The write paths: with their own undo checkpoint, and without one where
  // the caller took it (around the script editor).
  void UpdatePreview();
  void UpdatePreviewNoUndo();
  // The channel label in red when the object cannot read its channel.
  void SetFieldColor();

  void buildControls();
  void buildColorRows(QGridLayout* grid, int& row);

  uint32_t inputId_ = kNoInput;
  EnhParam enh_{};
  NumberPair* trigger_ = nullptr;
};
