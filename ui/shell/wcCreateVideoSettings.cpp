// The output settings dialog: its opening, the stored choices and showing
// the settings in the controls.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

#include "ui/seams/user_defaults.h"
#include "ui/shell/wcCreateVideo.h"

namespace {

// The warning colour of a bitrate too low for the picture height.
const QColor kWarningRed = QColor::fromRgbF(1.0f, 0.3f, 0.0f, 1.0f);

void fill(QComboBox* box, const QStringList& items) {
  box->clear();
  box->addItems(items);
}

void select(QComboBox* box, const QString& text) {
  const int index = box->findText(text);
  if (index >= 0) box->setCurrentIndex(index);
}

} // namespace

// Each opening starts from the built-in defaults, then what was stored.
void wcCreateVideo::windowDidOpen() {
  updating_++;
  flags_.RenderCompleteShutdown = false;
  RenderStartText->setText("00:00:00.00");
  RenderStartCheck->setChecked(false);
  RenderEndText->setText("99:00:00.00");
  RenderEndCheck->setChecked(false);
  RenderWhole->setChecked(true);
  settings_ = OutputSettings();
  flags_.ShowUpload = false;
  readStoredSettings();
  if (flags_.UploadRequested) flags_.ShowUpload = true;
  // Without an upload window (it failed to load) there is nothing to ask for.
  UploadCheck->setEnabled(UploadAvailable());
  if (!UploadAvailable()) flags_.ShowUpload = false;
  UploadCheck->setChecked(flags_.ShowUpload);
  fillChoiceLists();
  fillLapList();
  updating_--;
  UpdateControls();
  // The lists' items decide the controls' widths.
  window()->adjustSize();
}

void wcCreateVideo::readStoredSettings() {
  UserDefaultsReadInt("VideoQuality", settings_.Quality);
  UserDefaultsReadInt("VideoAspect", settings_.PicAspect);
  UserDefaultsReadInt("VideoSize", settings_.PicSize);
  UserDefaultsReadInt("VideoFrameRate", settings_.FrameRate);
  double overscan = settings_.Overscan;
  if (UserDefaultsReadDouble("VideoOverscan", overscan)) settings_.Overscan = static_cast<float>(overscan);
  UserDefaultsReadInt("VideoAudioType", settings_.AudioType);
  UserDefaultsReadInt("VideoAudioRate", settings_.AudioRate);
  UserDefaultsReadInt("VideoVBit", settings_.VBit);
  UserDefaultsReadInt("VideoABit", settings_.ABit);
  UserDefaultsReadBool("VideoUpload", flags_.ShowUpload);
}

void wcCreateVideo::storeSettings() {
  UserDefaultsWrite("VideoQuality", settings_.Quality);
  UserDefaultsWrite("VideoAspect", settings_.PicAspect);
  UserDefaultsWrite("VideoSize", settings_.PicSize);
  UserDefaultsWrite("VideoFrameRate", settings_.FrameRate);
  UserDefaultsWrite("VideoOverscan", static_cast<double>(settings_.Overscan));
  UserDefaultsWrite("VideoAudioType", settings_.AudioType);
  UserDefaultsWrite("VideoAudioRate", settings_.AudioRate);
  UserDefaultsWrite("VideoVBit", settings_.VBit);
  UserDefaultsWrite("VideoABit", settings_.ABit);
  UserDefaultsWrite("VideoUpload", flags_.ShowUpload ? 1 : 0);
}

void wcCreateVideo::fillChoiceLists() {
  fill(ProfileSel, OutputProfileNames());
  fill(PictureRatioSel, OutputRatioNames());
  fill(PictureSizeSel, OutputHeightNames());
  fill(FrameRateSel, OutputFrameRateNames());
  fill(AudioChanSel, OutputAudioTypeNames());
  fill(AudioRateSel, OutputAudioRateNames());
}

void wcCreateVideo::UpdateControls() {
  updating_++;
  updateRenderRange();
  NormaliseOutputSettings(settings_);
  showSettings();
  updating_--;
}

// The steppers clamp what they are given: their values are the settings.
void wcCreateVideo::showSettings() {
  OutputSettings& s = settings_;
  QualitySlider->setValue(OutputSliderFromQuality(s.Quality));
  select(PictureSizeSel, OutputHeightTitle(s.PicSize));
  select(PictureRatioSel, OutputRatioNames().value(s.PicAspect));
  PictureSizeActual->setText(QString("%1 x %2").arg(s.PicSizeX).arg(s.PicSize));
  OverscanStepper->setValue(s.Overscan);
  s.Overscan = static_cast<float>(OverscanStepper->value());
  VideoBitrateStepper->setValue(s.VBit);
  s.VBit = VideoBitrateStepper->value();
  QPalette palette = VideoBitrateLabel->palette();
  palette.setColor(QPalette::WindowText, OutputBitrateLow(s.VBit, s.PicSize)
                                             ? kWarningRed
                                             : VideoBitrateLabel->parentWidget()->palette().color(QPalette::WindowText));
  VideoBitrateLabel->setPalette(palette);
  AudioBitrateStepper->setValue(s.ABit);
  s.ABit = AudioBitrateStepper->value();
  TotalBitrate->setText(OutputTotalBitrateText(s.VBit, s.ABit));
  select(FrameRateSel, OutputFrameRateTitle(s.FrameRate));
  select(AudioChanSel, OutputAudioTypeNames().value(s.AudioType));
  select(AudioRateSel, OutputAudioRateTitle(s.AudioRate));
}
