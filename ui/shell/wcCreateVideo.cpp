// The output settings dialog: its layout and the handlers of its controls.
#include "ui/shell/wcCreateVideo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QComboBox* combo(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return box;
}

template <class Control> Control* named(Control* control, const char* name) {
  control->setObjectName(name);
  return control;
}

} // namespace

wcCreateVideo::wcCreateVideo() : WindowController("wcCreateVideo", kOpenCentred) {}

QWidget* wcCreateVideo::makeWindow() {
  QDialog* dialog = makeDialog("Create Video File");
  dialog->setMinimumWidth(760);
  auto* layout = new QVBoxLayout(dialog);
  auto* profileRow = new QHBoxLayout();
  profileRow->addWidget(new QLabel("Profile:", dialog));
  ProfileSel = combo(dialog, "ProfileSel");
  profileRow->addWidget(ProfileSel, 1);
  layout->addLayout(profileRow);
  auto* boxes = new QHBoxLayout();
  boxes->addWidget(makeVideoBox(dialog), 1);
  auto* right = new QVBoxLayout();
  right->addWidget(makeSoundBox(dialog));
  right->addWidget(makeRangeBox(dialog), 1);
  boxes->addLayout(right, 1);
  layout->addLayout(boxes);
  UploadCheck = named(new QCheckBox("Upload the video once it is created", dialog), "UploadCheck");
  layout->addWidget(UploadCheck);
  auto* buttons = new QHBoxLayout();
  auto* cancel = named(new QPushButton("Cancel", dialog), "CancelButton");
  auto* create = named(new QPushButton("Create", dialog), "CreateButton");
  create->setDefault(true);
  CreateButton = create;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(create);
  layout->addLayout(buttons);
  connect(create, &QPushButton::clicked, this, &wcCreateVideo::CreateButton_Pressed);
  connect(cancel, &QPushButton::clicked, this, &wcCreateVideo::CancelButton_Pressed);
  connectControls();
  return dialog;
}

QWidget* wcCreateVideo::makeVideoBox(QWidget* parent) {
  auto* box = new QGroupBox("Video", parent);
  auto* form = new QFormLayout(box);
  PictureRatioSel = combo(box, "PictureRatioSel");
  form->addRow("Picture ratio:", PictureRatioSel);
  PictureSizeSel = combo(box, "PictureSizeSel");
  PictureSizeActual = named(new QLabel(box), "PictureSizeActual");
  PictureSizeActual->setMinimumWidth(PictureSizeActual->fontMetrics().horizontalAdvance("0000 x 0000"));
  auto* sizeRow = new QHBoxLayout();
  sizeRow->addWidget(PictureSizeSel);
  sizeRow->addWidget(PictureSizeActual, 1);
  form->addRow("Picture height:", sizeRow);
  FrameRateSel = combo(box, "FrameRateSel");
  form->addRow("Frame rate:", FrameRateSel);
  OverscanStepper = named(new QDoubleSpinBox(box), "OverscanStepper");
  OverscanStepper->setRange(kOverscanRange.minimum, kOverscanRange.maximum);
  OverscanStepper->setSingleStep(kOverscanRange.step);
  OverscanStepper->setDecimals(1);
  OverscanStepper->setSuffix(" %");
  form->addRow("Overscan inset:", OverscanStepper);
  QualitySlider = named(new QSlider(Qt::Horizontal, box), "QualitySlider");
  QualitySlider->setRange(0, 5);
  QualitySlider->setPageStep(1);
  QualitySlider->setTickPosition(QSlider::TicksBelow);
  auto* qualityRow = new QHBoxLayout();
  qualityRow->addWidget(new QLabel("Fastest", box));
  qualityRow->addWidget(QualitySlider, 1);
  qualityRow->addWidget(new QLabel("Best", box));
  form->addRow("Render quality:", qualityRow);
  VideoBitrateStepper = named(new QSpinBox(box), "VideoBitrateStepper");
  VideoBitrateStepper->setRange(static_cast<int>(kVideoBitrateRange.minimum),
                                static_cast<int>(kVideoBitrateRange.maximum));
  VideoBitrateStepper->setSingleStep(static_cast<int>(kVideoBitrateRange.step));
  VideoBitrateStepper->setSuffix(" kbit/s");
  VideoBitrateLabel = named(new QLabel("Video bitrate:", box), "VideoBitrateLabel");
  form->addRow(VideoBitrateLabel, VideoBitrateStepper);
  TotalBitrate = named(new QLabel(box), "TotalBitrate");
  TotalBitrate->setMinimumWidth(TotalBitrate->fontMetrics().horizontalAdvance("100000 kbps  (100.0 MB / min)"));
  form->addRow("Total:", TotalBitrate);
  return box;
}

QWidget* wcCreateVideo::makeSoundBox(QWidget* parent) {
  auto* box = new QGroupBox("Sound", parent);
  auto* form = new QFormLayout(box);
  AudioChanSel = combo(box, "AudioChanSel");
  form->addRow("Format:", AudioChanSel);
  AudioRateSel = combo(box, "AudioRateSel");
  form->addRow("Sample rate:", AudioRateSel);
  AudioBitrateStepper = named(new QSpinBox(box), "AudioBitrateStepper");
  AudioBitrateStepper->setRange(static_cast<int>(kAudioBitrateRange.minimum),
                                static_cast<int>(kAudioBitrateRange.maximum));
  AudioBitrateStepper->setSingleStep(static_cast<int>(kAudioBitrateRange.step));
  AudioBitrateStepper->setSuffix(" kbit/s");
  AudioBitrateLabel = named(new QLabel("Audio bitrate:", box), "AudioBitrateLabel");
  form->addRow(AudioBitrateLabel, AudioBitrateStepper);
  return box;
}

QWidget* wcCreateVideo::makeRangeBox(QWidget* parent) {
  auto* box = new QGroupBox("Render", parent);
  auto* grid = new QGridLayout(box);
  RenderMatrix = new QButtonGroup(box);
  RenderMatrix->setObjectName("RenderMatrix");
  RenderWhole = named(new QRadioButton("Render Entire Project", box), "RenderWhole");
  RenderPart = named(new QRadioButton("Render Part of Project", box), "RenderPart");
  RenderLaps = named(new QRadioButton("Render Laps", box), "RenderLaps");
  RenderMatrix->addButton(RenderWhole);
  RenderMatrix->addButton(RenderPart);
  RenderMatrix->addButton(RenderLaps);
  grid->addWidget(RenderWhole, 0, 0, 1, 2);
  grid->addWidget(RenderPart, 1, 0, 1, 2);
  RenderStartCheck = named(new QCheckBox("Start:", box), "RenderStartCheck");
  RenderStartText = named(new QLineEdit(box), "RenderStartText");
  RenderEndCheck = named(new QCheckBox("End:", box), "RenderEndCheck");
  RenderEndText = named(new QLineEdit(box), "RenderEndText");
  grid->addWidget(RenderStartCheck, 2, 0);
  grid->addWidget(RenderStartText, 2, 1);
  grid->addWidget(RenderEndCheck, 3, 0);
  grid->addWidget(RenderEndText, 3, 1);
  grid->addWidget(RenderLaps, 4, 0, 1, 2);
  RenderFirstLapLabel = named(new QLabel("First lap:", box), "RenderFirstLapLabel");
  RenderFirstLapSelection = combo(box, "RenderFirstLapSelection");
  RenderLastLapLabel = named(new QLabel("Last lap:", box), "RenderLastLapLabel");
  RenderLastLapSelection = combo(box, "RenderLastLapSelection");
  grid->addWidget(RenderFirstLapLabel, 5, 0);
  grid->addWidget(RenderFirstLapSelection, 5, 1);
  grid->addWidget(RenderLastLapLabel, 6, 0);
  grid->addWidget(RenderLastLapSelection, 6, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(7, 1);
  return box;
}

// Signals that come while the window fills its controls are not the user's
// and are dropped.
void wcCreateVideo::connectControls() {
  auto on = [this](auto* sender, auto signal, void (wcCreateVideo::*handler)()) {
    connect(sender, signal, this, [this, handler]() {
      if (updating_ == 0) (this->*handler)();
    });
  };
  on(ProfileSel, &QComboBox::currentTextChanged, &wcCreateVideo::ProfileSel_Changed);
  on(PictureRatioSel, &QComboBox::currentTextChanged, &wcCreateVideo::PictureRatioSel_Changed);
  on(PictureSizeSel, &QComboBox::currentTextChanged, &wcCreateVideo::PictureSizeSel_Changed);
  on(FrameRateSel, &QComboBox::currentTextChanged, &wcCreateVideo::FrameRateSel_Changed);
  on(AudioChanSel, &QComboBox::currentTextChanged, &wcCreateVideo::AudioChansSel_Changed);
  on(AudioRateSel, &QComboBox::currentTextChanged, &wcCreateVideo::AudioRateSel_Changed);
  on(OverscanStepper, &QDoubleSpinBox::valueChanged, &wcCreateVideo::OverscanStepper_Changed);
  on(VideoBitrateStepper, &QSpinBox::valueChanged, &wcCreateVideo::VideoBitrateStepper_Changed);
  on(AudioBitrateStepper, &QSpinBox::valueChanged, &wcCreateVideo::AudioBitrateStepper_Changed);
  on(QualitySlider, &QSlider::valueChanged, &wcCreateVideo::QualitySlider_Changed);
  on(RenderMatrix, &QButtonGroup::idClicked, &wcCreateVideo::RenderMatrix_Changed);
  on(RenderStartCheck, &QCheckBox::clicked, &wcCreateVideo::RenderStartCheck_Changed);
  on(RenderEndCheck, &QCheckBox::clicked, &wcCreateVideo::RenderEndCheck_Changed);
  on(RenderStartText, &QLineEdit::editingFinished, &wcCreateVideo::UpdateControls);
  on(RenderEndText, &QLineEdit::editingFinished, &wcCreateVideo::UpdateControls);
  on(RenderFirstLapSelection, &QComboBox::currentTextChanged, &wcCreateVideo::UpdateControls);
  on(RenderLastLapSelection, &QComboBox::currentTextChanged, &wcCreateVideo::UpdateControls);
  on(UploadCheck, &QCheckBox::clicked, &wcCreateVideo::UploadCheck_Changed);
}

void wcCreateVideo::UploadCheck_Changed() { flags_.ShowUpload = UploadCheck->isChecked(); }

void wcCreateVideo::ProfileSel_Changed() {
  if (ApplyOutputProfile(ProfileSel->currentText(), settings_)) UpdateControls();
}

// Every change of a single setting makes the choice a custom one.
void wcCreateVideo::customProfileChanged() {
  updating_++;
  ProfileSel->setCurrentText("Custom");
  updating_--;
  UpdateControls();
}

// A setting chosen from its list: taken, unless the list shows nothing.
template <typename Take> void wcCreateVideo::takeChoice(const QComboBox* list, Take take) {
  if (list->currentText().isEmpty()) return;
  take(list->currentText());
  customProfileChanged();
}

void wcCreateVideo::PictureRatioSel_Changed() {
  takeChoice(PictureRatioSel, [this](const QString& title) { settings_.PicAspect = OutputRatioFromTitle(title); });
}

void wcCreateVideo::PictureSizeSel_Changed() {
  takeChoice(PictureSizeSel, [this](const QString& title) { settings_.PicSize = title.toInt(); });
}

void wcCreateVideo::FrameRateSel_Changed() {
  takeChoice(FrameRateSel, [this](const QString& title) { settings_.FrameRate = OutputFrameRateFromTitle(title); });
}

void wcCreateVideo::AudioChansSel_Changed() {
  takeChoice(AudioChanSel, [this](const QString& title) { settings_.AudioType = OutputAudioTypeFromTitle(title); });
}

void wcCreateVideo::AudioRateSel_Changed() {
  takeChoice(AudioRateSel,
             [this](const QString& title) { settings_.AudioRate = QString(title).remove(" Hz").toInt(); });
}

void wcCreateVideo::OverscanStepper_Changed() {
  settings_.Overscan = static_cast<float>(OverscanStepper->value());
  customProfileChanged();
}

void wcCreateVideo::VideoBitrateStepper_Changed() {
  settings_.VBit = VideoBitrateStepper->value();
  customProfileChanged();
}

void wcCreateVideo::AudioBitrateStepper_Changed() {
  settings_.ABit = AudioBitrateStepper->value();
  customProfileChanged();
}

void wcCreateVideo::QualitySlider_Changed() {
  settings_.Quality = OutputQualityFromSlider(QualitySlider->value());
  UpdateControls();
}

void wcCreateVideo::RenderMatrix_Changed() { UpdateControls(); }

void wcCreateVideo::RenderStartCheck_Changed() {
  RenderPart->setChecked(true);
  UpdateControls();
}

void wcCreateVideo::RenderEndCheck_Changed() {
  RenderPart->setChecked(true);
  UpdateControls();
}

void wcCreateVideo::CancelButton_Pressed() { close(); }
