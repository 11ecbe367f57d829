#include "ui/shell/wcPreview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "base/util.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"

namespace {

QButtonGroup* radioBox(QDialog* dialog, QGridLayout* grid, int row, int column, const QString& title,
                       const QStringList& cells, const QString& name) {
  auto* box = new QGroupBox(title, dialog);
  auto* layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(box);
  group->setObjectName(name);
  for (const QString& cell : cells) {
    auto* button = new QRadioButton(cell, box);
    group->addButton(button);
    layout->addWidget(button);
  }
  layout->addStretch(1);
  grid->addWidget(box, row, column);
  return group;
}

// Quality 5 (the quickest) sits at the left end, then qualities 0 to 4.
int sliderForQuality(int quality) { return quality == 5 ? 0 : quality + 1; }
int qualityForSlider(int position) { return position <= 0 ? 5 : position - 1; }

bool readSize(const QString& title, int& width, int& height) {
  const QStringList parts = title.split(" x ");
  if (parts.size() != 2) return false;
  bool okWidth = false, okHeight = false;
  width = parts[0].toInt(&okWidth);
  height = parts[1].toInt(&okHeight);
  return okWidth && okHeight;
}

double readFrameRate(const QString& title) {
  bool ok = false;
  const int n = QString(title).remove(" FPS").toInt(&ok);
  if (!ok || title.isEmpty()) return 29.97;
  if (n == 30) return 29.97;
  if (n == 24) return 23.976;
  return n;
}

int readAudioRate(const QString& title) {
  const int n = QString(title).remove(" kHz").toInt();
  switch (n) {
  case 8: return 8000;
  case 11: return 11025;
  case 44: return 44100;
  case 48: return 48000;
  default: return 22050;
  }
}

} // namespace

wcPreview::wcPreview() : WindowController("wcPreview", kOpenCentred) {}

const QStringList& wcPreview::PictureSizeTitles() {
  static const QStringList titles{"320 x 240", "480 x 270", "640 x 360", "640 x 480", "720 x 405",
                                  "720 x 480", "854 x 480", "960 x 540", "1280 x 720"};
  return titles;
}

const QStringList& wcPreview::FrameRateTitles() {
  static const QStringList titles{"10 FPS", "15 FPS", "24 FPS", "25 FPS", "30 FPS", "50 FPS", "60 FPS"};
  return titles;
}

const QStringList& wcPreview::AudioRateTitles() {
  static const QStringList titles{"8 kHz", "11 kHz", "22 kHz", "44 kHz", "48 kHz"};
  return titles;
}

const QStringList& wcPreview::AudioTypeTitles() {
  static const QStringList titles{"16-Bit Mono", "16-Bit Stereo"};
  return titles;
}

QString wcPreview::SelectedTitle(QButtonGroup* group) {
  QAbstractButton* checked = group != nullptr ? group->checkedButton() : nullptr;
  return checked != nullptr ? checked->text() : QString();
}

void wcPreview::SelectTitle(QButtonGroup* group, const QString& title, const QString& fallback) {
  if (group == nullptr) return;
  QAbstractButton* match = nullptr;
  QAbstractButton* spare = nullptr;
  for (QAbstractButton* button : group->buttons()) {
    if (match == nullptr && button->text() == title) match = button;
    if (spare == nullptr && button->text() == fallback) spare = button;
  }
  QAbstractButton* chosen = match != nullptr ? match : spare;
  // Not exclusive for a moment, so that every other cell can go off.
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(button == chosen);
  group->setExclusive(true);
}

QWidget* wcPreview::makeWindow() {
  QDialog* dialog = makeDialog("Preview Settings");
  auto* layout = new QVBoxLayout(dialog);
  auto* qualityRow = new QHBoxLayout();
  qualityRow->addWidget(new QLabel("Quality:", dialog));
  qualityRow->addWidget(new QLabel("Fastest", dialog));
  QualitySlider = new QSlider(Qt::Horizontal, dialog);
  QualitySlider->setObjectName("QualitySlider");
  QualitySlider->setRange(0, 5);
  QualitySlider->setTickPosition(QSlider::TicksBelow);
  QualitySlider->setPageStep(1);
  qualityRow->addWidget(QualitySlider, 1);
  qualityRow->addWidget(new QLabel("Best", dialog));
  layout->addLayout(qualityRow);
  FastSeekCheck = new QCheckBox("Fast seeking (quick pictures while the time slider is dragged)", dialog);
  FastSeekCheck->setObjectName("FastSeekCheck");
  layout->addWidget(FastSeekCheck);
  auto* grid = new QGridLayout();
  PictureSizeGroup = radioBox(dialog, grid, 0, 0, "Picture Size", PictureSizeTitles(), "PictureSizeGroup");
  FrameRateGroup = radioBox(dialog, grid, 0, 1, "Frame Rate", FrameRateTitles(), "FrameRateGroup");
  AudioRateGroup = radioBox(dialog, grid, 0, 2, "Sound Rate", AudioRateTitles(), "AudioRateGroup");
  AudioTypeGroup = radioBox(dialog, grid, 0, 3, "Sound", AudioTypeTitles(), "AudioTypeGroup");
  layout->addLayout(grid);
  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  connect(buttons.ok, &QPushButton::clicked, this, &wcPreview::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcPreview::CancelButton_Pressed);
  return dialog;
}

wcMain* wcPreview::mainController() const {
  if (auto* owner = qobject_cast<wcMain*>(parent())) return owner;
  return AppWindows().wndMain();
}

void wcPreview::windowDidOpen() {
  if (wcMain* main = mainController()) fillControls(main);
}

void wcPreview::fillControls(wcMain* main) {
  PreviewOptions options = main->previewOptions();
  if (options.quality < 0 || options.quality >= 6) {
    options.quality = 1;
    main->SetPreviewOptions(options);
  }
  QualitySlider->setValue(sliderForQuality(options.quality));
  SelectTitle(FrameRateGroup, QString("%1 FPS").arg(RoundToInt(options.frameRate)), "30 FPS");
  // A picture whose main window would not fit this screen is not offered.
  for (QAbstractButton* button : PictureSizeGroup->buttons()) {
    int width = 0, height = 0;
    const bool fits = !readSize(button->text(), width, height) || main->PreviewAreaFits(width, height);
    button->setEnabled(fits);
    button->setToolTip(fits ? QString() : "Too large for this screen");
  }
  const QSize size = main->PreviewSize();
  SelectTitle(PictureSizeGroup, QString("%1 x %2").arg(size.width()).arg(size.height()), "640 x 480");
  SelectTitle(AudioRateGroup, QString("%1 kHz").arg(options.audioRate / 1000), "22 kHz");
  SelectTitle(AudioTypeGroup, options.audioType == 2 ? "16-Bit Mono" : "16-Bit Stereo", "16-Bit Mono");
  FastSeekCheck->setChecked(options.fastSeek);
}

void wcPreview::OkButton_Pressed() {
  int width = 640, height = 480;
  if (!readSize(SelectedTitle(PictureSizeGroup), width, height)) {
    width = 640;
    height = 480;
  }
  const double frameRate = readFrameRate(SelectedTitle(FrameRateGroup));
  const int audioRate = readAudioRate(SelectedTitle(AudioRateGroup));
  const int audioType = SelectedTitle(AudioTypeGroup) == "16-Bit Mono" ? 2 : 3;
  const int quality = qualityForSlider(QualitySlider->value());
  const bool fastSeek = FastSeekCheck->isChecked();
  UserDefaultsWrite("PreviewQuality", quality);
  UserDefaultsWrite("PreviewFrameRate", frameRate);
  UserDefaultsWrite("PreviewX", width);
  UserDefaultsWrite("PreviewY", height);
  UserDefaultsWrite("PreviewAudioRate", audioRate);
  UserDefaultsWrite("PreviewAudioType", audioType);
  UserDefaultsWrite("PreviewFastSeek", fastSeek ? 1 : 0);
  if (wcMain* main = mainController()) {
    main->SetPreviewOptions({quality, frameRate, audioType, audioRate, fastSeek});
    main->SetPreviewArea(false, width, height);
  }
  close();
}

void wcPreview::CancelButton_Pressed() { close(); }
