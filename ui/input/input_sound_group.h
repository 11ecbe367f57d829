#pragma once
// The sound group of the input properties window: volume with mute,
// balance and the channel mode of a video's or sound file's audio. Its
// changes reach the engine with the next write-through or on OK; they do
// not redraw the picture.
#include <QString>

#include "ui/input/input_edit_group.h"

class NSTextLabelCustom;
class QButtonGroup;
class QCheckBox;
class RealSlider;
class RealStepper;
class TextField;

class InputSoundGroup : public InputEditGroup {
public:
  using InputEditGroup::InputEditGroup;

  bool Shown(const InputShows& shows) const override { return shows.HasAudio; }
  void Fill(const InputRecords& records) override;
  void Read(InputRecords& records) override;

  // The balance as the text beside its slider shows it.
  static QString BalanceText(int balance);
  static const QStringList& ChannelTitles();

  void AudioVolumeText_Changed();
  void AudioVolumeStepper_Changed();
  void AudioVolumeLabel_Clicked();
  void AudioMute_Changed();
  void AudioBalanceSlider_Changed();
  void AudioBalanceText_Clicked();

protected:
  QGroupBox* Build(QWidget* parent) override;

private:
  NSTextLabelCustom* AudioVolumeLabel = nullptr;
  TextField* AudioVolumeText = nullptr;
  RealStepper* AudioVolumeStepper = nullptr;
  QCheckBox* AudioMuteCheck = nullptr;
  NSTextLabelCustom* AudioBalanceLabel = nullptr;
  RealSlider* AudioBalanceSlider = nullptr;
  NSTextLabelCustom* AudioBalanceText = nullptr;
  QButtonGroup* AudioChannels = nullptr;
};
