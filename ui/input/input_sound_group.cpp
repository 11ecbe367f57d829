#include "ui/input/input_sound_group.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kNeutralVolume = 100;
constexpr int kNeutralBalance = 100;

} // namespace

const QStringList& InputSoundGroup::ChannelTitles() {
  static const QStringList titles = {"Stereo: Normal", "Stereo: Swap Left & Right", "Mono: Use Left Channel",
                                     "Mono: Use Right Channel", "Mono: Mix Both Channels"};
  return titles;
}

QString InputSoundGroup::BalanceText(int balance) {
  if (balance == kNeutralBalance) return "Center";
  if (balance > kNeutralBalance) return QString::asprintf("%d%% Right", balance - kNeutralBalance);
  return QString::asprintf("%d%% Left", kNeutralBalance - balance);
}

QGroupBox* InputSoundGroup::Build(QWidget* parent) {
  auto* box = new QGroupBox("Sound", parent);
  box->setObjectName("AudioGroup");
  auto* grid = new QGridLayout(box);
  AudioVolumeLabel = new NSTextLabelCustom("Volume:", box);
  AudioVolumeLabel->setObjectName("AudioVolumeLabel");
  AudioVolumeLabel->setToolTip("Click to reset to 100%");
  AudioVolumeText = new TextField(box);
  AudioVolumeText->setObjectName("AudioVolumeText");
  AudioVolumeText->setMaximumWidth(56);
  AudioVolumeStepper = new RealStepper(0, 200, 1, box);
  AudioVolumeStepper->setObjectName("AudioVolumeStepper");
  AudioMuteCheck = new QCheckBox("Mute", box);
  AudioMuteCheck->setObjectName("AudioMuteCheck");
  auto* volumeRow = new QHBoxLayout();
  volumeRow->addWidget(AudioVolumeText);
  volumeRow->addWidget(AudioVolumeStepper);
  volumeRow->addWidget(new QLabel("%", box));
  volumeRow->addSpacing(12);
  volumeRow->addWidget(AudioMuteCheck);
  volumeRow->addStretch(1);
  grid->addWidget(AudioVolumeLabel, 0, 0);
  grid->addLayout(volumeRow, 0, 1);

  AudioBalanceLabel = new NSTextLabelCustom("Balance:", box);
  AudioBalanceLabel->setObjectName("AudioBalanceLabel");
  AudioBalanceLabel->setToolTip("Click to centre");
  AudioBalanceSlider = new RealSlider(0, 200, 1, box);
  AudioBalanceSlider->setObjectName("AudioBalanceSlider");
  AudioBalanceText = new NSTextLabelCustom("Center", box);
  AudioBalanceText->setObjectName("AudioBalanceText");
  AudioBalanceText->setMinimumWidth(90);
  grid->addWidget(AudioBalanceLabel, 1, 0);
  grid->addWidget(AudioBalanceSlider, 1, 1);
  grid->addWidget(AudioBalanceText, 1, 2);

  auto* channelsLabel = new QLabel("Channels:", box);
  channelsLabel->setObjectName("AudioChannelsLabel");
  AudioChannels = new QButtonGroup(box);
  auto* channels = new QGridLayout();
  for (int code = 0; code < ChannelTitles().size(); ++code) {
    // "&" would mark a keyboard shortcut in a button's title.
    auto* cell = new QRadioButton(QString(ChannelTitles()[code]).replace("&", "&&"), box);
    cell->setObjectName(QString("AudioChannels%1").arg(code));
    AudioChannels->addButton(cell, code);
    channels->addWidget(cell, code / 2, code % 2);
  }
  grid->addWidget(channelsLabel, 2, 0, Qt::AlignTop);
  grid->addLayout(channels, 2, 1, 1, 2);
  grid->setColumnStretch(1, 1);

  QObject::connect(AudioVolumeText, &TextField::changed, box, [this]() { AudioVolumeText_Changed(); });
  QObject::connect(AudioVolumeStepper, &RealStepper::changed, box, [this]() { AudioVolumeStepper_Changed(); });
  QObject::connect(AudioVolumeLabel, &NSTextLabelCustom::clicked, box, [this]() { AudioVolumeLabel_Clicked(); });
  QObject::connect(AudioMuteCheck, &QCheckBox::clicked, box, [this]() { AudioMute_Changed(); });
  QObject::connect(AudioBalanceSlider, &RealSlider::changed, box, [this]() { AudioBalanceSlider_Changed(); });
  QObject::connect(AudioBalanceLabel, &NSTextLabelCustom::clicked, box, [this]() { AudioBalanceText_Clicked(); });
  QObject::connect(AudioBalanceText, &NSTextLabelCustom::clicked, box, [this]() { AudioBalanceText_Clicked(); });
  return box;
}

void InputSoundGroup::Fill(const InputRecords& records) {
  const AdjustStruct& adjust = records.Adjust;
  AudioVolumeStepper->setValue(adjust.Volume);
  AudioVolumeText->setText(QString::number(AudioVolumeStepper->intValue()));
  AudioVolumeStepper_Changed();
  AudioBalanceSlider->setValue(adjust.Balance);
  AudioBalanceSlider_Changed();
  const int code = adjust.ChannelMode >= 1 && adjust.ChannelMode <= 4 ? adjust.ChannelMode : 0;
  AudioChannels->button(code)->setChecked(true);
}

void InputSoundGroup::Read(InputRecords& records) {
  AdjustStruct& adjust = records.Adjust;
  AudioVolumeText_Changed();
  adjust.Volume = static_cast<uint8_t>(AudioVolumeStepper->intValue());
  adjust.Balance = static_cast<uint8_t>(AudioBalanceSlider->intValue());
  // Each cell's id is the code of its title; none chosen is normal stereo.
  const int code = AudioChannels->checkedId();
  adjust.ChannelMode = static_cast<uint8_t>(code > 0 ? code : 0);
}

void InputSoundGroup::AudioVolumeText_Changed() {
  AudioVolumeStepper->setValue(NSStringToInt(AudioVolumeText->text()));
  AudioVolumeStepper_Changed();
}

void InputSoundGroup::AudioVolumeStepper_Changed() {
  AudioVolumeText->setText(QString::number(AudioVolumeStepper->intValue()));
  AudioMuteCheck->setChecked(AudioVolumeStepper->intValue() == 0);
}

void InputSoundGroup::AudioVolumeLabel_Clicked() {
  AudioVolumeStepper->setValue(kNeutralVolume);
  AudioVolumeStepper_Changed();
}

void InputSoundGroup::AudioMute_Changed() {
  AudioVolumeStepper->setValue(AudioMuteCheck->isChecked() ? 0 : kNeutralVolume);
  AudioVolumeText->setText(QString::number(AudioVolumeStepper->intValue()));
}

void InputSoundGroup::AudioBalanceSlider_Changed() {
  const int balance = RoundFloat(static_cast<float>(AudioBalanceSlider->value()));
  AudioBalanceSlider->setValue(balance);
  AudioBalanceText->setText(BalanceText(balance));
}

void InputSoundGroup::AudioBalanceText_Clicked() {
  AudioBalanceSlider->setValue(kNeutralBalance);
  AudioBalanceSlider_Changed();
}
