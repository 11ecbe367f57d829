#pragma once
// The embedded image panel: whether the picture is shown plainly or
// driven by a data channel, how the channel's value maps onto an effect
// (proportionally or by a threshold), which effect (rotation,
// transparency, brightness or hue) and how fast the picture flashes.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjEImage : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjEImage(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;
  // Captions, enabled states and the effect list for the mode, the effect
  // and the flash rate the record holds.
  void UpdateControls();

  // The flash rate's caption for a stored interval (tenths of a second).
  static QString FlashRateText(uint8_t interval);

  // Actions (the range fields' own actions are their NumberPairs').
  void ModeSelection_Changed();
  void FieldSelection_Changed();
  void OutputTypeSelection_Changed();
  void FlashText_Changed();
  void FlashStepper_Changed();

  // Outlets.
  QComboBox* ModeSelection = nullptr;
  QLabel* FieldLabel = nullptr;
  QComboBox* FieldSelection = nullptr;
  QLabel *MappingLabel = nullptr, *InputLabel = nullptr, *OutputLabel = nullptr;
  QLabel *MinLabel = nullptr, *MaxLabel = nullptr;
  TextField *MinInputText = nullptr, *MaxInputText = nullptr, *MinOutputText = nullptr, *MaxOutputText = nullptr;
  RealStepper *MinInputStepper = nullptr, *MaxInputStepper = nullptr, *MinOutputStepper = nullptr,
              *MaxOutputStepper = nullptr;
  QComboBox* OutputTypeSelection = nullptr;
  TextField* FlashText = nullptr;
  RealStepper* FlashStepper = nullptr;
  QLabel* FlashRateLabel = nullptr;

  uint32_t OurInputID() const { return inputId_; }

private:
  void UpdatePreview();
  // The field label in red when the image cannot read its channel.
  void SetFieldColor();

  void buildControls();
  void connectControls();

  uint32_t inputId_ = kNoInput;
  EImageParam image_{};
  struct Numbers {
    NumberPair *minInput = nullptr, *maxInput = nullptr, *minOutput = nullptr, *maxOutput = nullptr;
  } numbers_;
};
