#pragma once
// The audio panel: how loud the object's sound is mixed into the output
// and where it sits between the left and right channels.
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/dispobj_fwd.h"

class vcDispObjAudio : public DispObjPanel {
  Q_OBJECT
public:
  explicit vcDispObjAudio(wcDispObjEdit* owner);

  bool SetData(uint32_t index) override;

  // Actions (the volume field's own are its NumberPair's).
  void AudioVolumeLabel_Clicked();
  void AudioMuteCheck_Changed();
  void AudioBalanceSlider_Changed();
  void AudioBalanceText_Clicked();
  // The balance as the panel shows it: "Center", "30% Left", "50% Right".
  static QString BalanceText(int balance);

  // Outlets.
  QGroupBox* AudioGroup = nullptr;
  RealStepper* AudioVolumeStepper = nullptr;
  TextField* AudioVolumeText = nullptr;
  NSTextLabelCustom* AudioVolumeLabel = nullptr;
  QCheckBox* AudioMuteCheck = nullptr;
  RealSlider* AudioBalanceSlider = nullptr;
  NSTextLabelCustom* AudioBalanceText = nullptr;
  NSTextLabelCustom* AudioBalanceLabel = nullptr;

private:
  void UpdatePreview();

  // The mute check follows the volume.
  void showMute();

  NumberPair* volume_ = nullptr;
};
