#include "ui/dispobj/vcDispObjAudio.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "base/util.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/number_pair.h"
#include "ui/util/ui_utils.h"

vcDispObjAudio::vcDispObjAudio(wcDispObjEdit* owner) : DispObjPanel(kPanelAudio, "vcDispObjAudio", owner) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 4, 6, 4);
  AudioGroup = new QGroupBox("Sound", this);
  AudioGroup->setObjectName("AudioGroup");
  outer->addWidget(AudioGroup);
  auto* grid = new QGridLayout(AudioGroup);
  grid->setVerticalSpacing(3);
  AudioVolumeLabel = new NSTextLabelCustom("<u>Volume:</u>", AudioGroup);
  AudioVolumeLabel->setToolTip("Click to set 100 %");
  AudioVolumeText = new TextField(AudioGroup);
  AudioVolumeText->setObjectName("AudioVolumeText");
  AudioVolumeText->setFixedWidth(44);
  AudioVolumeText->setAlignment(Qt::AlignRight);
  AudioVolumeStepper = new RealStepper(0, 200, 1, AudioGroup);
  AudioVolumeStepper->setObjectName("AudioVolumeStepper");
  AudioMuteCheck = new QCheckBox("Mute", AudioGroup);
  AudioMuteCheck->setObjectName("AudioMuteCheck");
  auto* volumeRow = new QHBoxLayout();
  volumeRow->setSpacing(2);
  volumeRow->addWidget(AudioVolumeText);
  volumeRow->addWidget(AudioVolumeStepper);
  volumeRow->addWidget(new QLabel("%", AudioGroup));
  volumeRow->addStretch(1);
  volumeRow->addWidget(AudioMuteCheck);
  grid->addWidget(AudioVolumeLabel, 0, 0);
  grid->addLayout(volumeRow, 0, 1);
  AudioBalanceLabel = new NSTextLabelCustom("<u>Balance:</u>", AudioGroup);
  AudioBalanceLabel->setToolTip("Click to center");
  AudioBalanceSlider = new RealSlider(0, 200, 1, AudioGroup);
  AudioBalanceSlider->setObjectName("AudioBalanceSlider");
  AudioBalanceText = new NSTextLabelCustom("Center", AudioGroup);
  AudioBalanceText->setObjectName("AudioBalanceText");
  AudioBalanceText->setAlignment(Qt::AlignHCenter);
  grid->addWidget(AudioBalanceLabel, 1, 0);
  grid->addWidget(AudioBalanceSlider, 1, 1);
  grid->addWidget(AudioBalanceText, 2, 1);

  volume_ = new NumberPair(
      AudioVolumeText, AudioVolumeStepper, NumberPair::Kind::kInteger,
      [this](double) {
        showMute();
        UpdatePreview();
      },
      this);
  connect(AudioVolumeLabel, &NSTextLabelCustom::clicked, this, &vcDispObjAudio::AudioVolumeLabel_Clicked);
  connect(AudioMuteCheck, &QCheckBox::clicked, this, &vcDispObjAudio::AudioMuteCheck_Changed);
  connect(AudioBalanceSlider, &RealSlider::changed, this, &vcDispObjAudio::AudioBalanceSlider_Changed);
  connect(AudioBalanceText, &NSTextLabelCustom::clicked, this, &vcDispObjAudio::AudioBalanceText_Clicked);
  connect(AudioBalanceLabel, &NSTextLabelCustom::clicked, this, &vcDispObjAudio::AudioBalanceText_Clicked);
}

QString vcDispObjAudio::BalanceText(int balance) {
  if (balance == 100) return "Center";
  if (balance < 100) return QString("%1% Left").arg(100 - balance);
  return QString("%1% Right").arg(balance - 100);
}

bool vcDispObjAudio::SetData(uint32_t index) {
  OurIndex = index;
  if (index == kNoDispObj) return false;
  DispStruct record{};
  if (!readCommon(index, record)) return false;
  LoadingData = true;
  UISetControlEnabled(AudioGroup, true);
  volume_->show(record.AudioVolume);
  showMute();
  AudioBalanceSlider->setValue(record.AudioBalance);
  AudioBalanceText->setText(BalanceText(record.AudioBalance));
  LoadingData = false;
  return true;
}

void vcDispObjAudio::UpdatePreview() {
  writeCommon([this](DispStruct& r) {
    r.AudioVolume = static_cast<uint8_t>(std::clamp(AudioVolumeStepper->intValue(), 0, 255));
    r.AudioBalance = static_cast<uint8_t>(std::clamp(AudioBalanceSlider->intValue(), 0, 255));
  });
}

void vcDispObjAudio::showMute() { AudioMuteCheck->setChecked(volume_->intValue() == 0); }

void vcDispObjAudio::AudioVolumeLabel_Clicked() {
  AudioVolumeStepper->setValue(100);
  volume_->Stepper_Changed();
}

// Unmuting gives 100: the volume before the mute is not kept.
void vcDispObjAudio::AudioMuteCheck_Changed() {
  volume_->show(AudioMuteCheck->isChecked() ? 0 : 100);
  UpdatePreview();
}

void vcDispObjAudio::AudioBalanceSlider_Changed() {
  const int balance = RoundToIntF(static_cast<float>(AudioBalanceSlider->value()));
  AudioBalanceSlider->setValue(balance);
  AudioBalanceText->setText(BalanceText(balance));
  UpdatePreview();
}

void vcDispObjAudio::AudioBalanceText_Clicked() {
  AudioBalanceSlider->setValue(100);
  AudioBalanceSlider_Changed();
}
