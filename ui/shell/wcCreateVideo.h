#pragma once
// The output settings dialog: picture ratio and height, frame rate,
// overscan inset, sound format, render quality, bitrates, the part of the
// project to render (all of it, a time span, or a span of laps of a data
// input) and whether the finished file is uploaded. It offers ready-made
// profiles, derives the picture width, warns about low video bitrates and
// keeps the choices in the user's settings. Create runs the whole render
// with the progress window and closes the dialog once the video is
// complete; after a cancel or a failure it stays open with its settings.
#include <QString>
#include <cstdint>

#include "ui/shell/WindowController.h"
#include "ui/shell/output_settings.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;

class wcCreateVideo : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcCreateVideo();

public:
  // Written by the opener before the run: forces the upload on.
  void setUploadRequested(bool requested) { flags_.UploadRequested = requested; }
  // The user asked for the computer to be shut down once the job is done
  // (written by the progress and upload windows, read by the opener).
  bool RenderCompleteShutdown() const { return flags_.RenderCompleteShutdown; }
  void setRenderCompleteShutdown(bool shutdown) { flags_.RenderCompleteShutdown = shutdown; }
  const OutputSettings& Settings() const { return settings_; }
  bool ShowUpload() const { return flags_.ShowUpload; }
  // Input whose laps are offered (255: none) and its number of laps.
  uint32_t LapInputID() const { return laps_.LapInputID; }
  int LapCount() const { return laps_.LapCount; }
  // The details handed from the upload window's first run to its second.
  struct UploadDetails {
    QString User, Pass, Title, Desc;
    bool Private = false;
  };

  // Normalises the settings and shows them.
  void UpdateControls();
  // The render road: range, file, render, progress, upload.
  void CreateButton_Pressed();
  void CancelButton_Pressed();

  // Outlets.
  QComboBox* ProfileSel = nullptr;
  QComboBox* PictureRatioSel = nullptr;
  QComboBox* PictureSizeSel = nullptr;
  QComboBox* FrameRateSel = nullptr;
  QComboBox* AudioChanSel = nullptr;
  QComboBox* AudioRateSel = nullptr;
  QComboBox* RenderFirstLapSelection = nullptr;
  QComboBox* RenderLastLapSelection = nullptr;
  QLabel* PictureSizeActual = nullptr;
  QLabel* VideoBitrateLabel = nullptr;
  QLabel* AudioBitrateLabel = nullptr;
  QLabel* TotalBitrate = nullptr;
  QLabel* RenderFirstLapLabel = nullptr;
  QLabel* RenderLastLapLabel = nullptr;
  QLineEdit* RenderStartText = nullptr;
  QLineEdit* RenderEndText = nullptr;
  // A stepper and its text in one control each.
  QDoubleSpinBox* OverscanStepper = nullptr;
  QSpinBox* VideoBitrateStepper = nullptr;
  QSpinBox* AudioBitrateStepper = nullptr;
  QSlider* QualitySlider = nullptr;
  QButtonGroup* RenderMatrix = nullptr;
  QRadioButton* RenderWhole = nullptr;
  QRadioButton* RenderPart = nullptr;
  QRadioButton* RenderLaps = nullptr;
  QCheckBox* RenderStartCheck = nullptr;
  QCheckBox* RenderEndCheck = nullptr;
  QCheckBox* UploadCheck = nullptr;
  QAbstractButton* CreateButton = nullptr;

  // Handlers of the controls (Qt calls them; so may a test acting as the user).
  void UploadCheck_Changed();
  void ProfileSel_Changed();
  void PictureRatioSel_Changed();
  void PictureSizeSel_Changed();
  void FrameRateSel_Changed();
  void AudioChansSel_Changed();
  void AudioRateSel_Changed();
  void OverscanStepper_Changed();
  void VideoBitrateStepper_Changed();
  void AudioBitrateStepper_Changed();
  void QualitySlider_Changed();
  void RenderMatrix_Changed();
  void RenderStartCheck_Changed();
  void RenderEndCheck_Changed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;

private:
  struct Flags {
    bool UploadRequested = false;
    bool ShowUpload = false;
    bool RenderCompleteShutdown = false;
  };
  struct Laps {
    uint32_t LapInputID = 255;
    int LapCount = 0;
  };
  struct RenderRange {
    float start = 0, end = 0;
  };

  // Layout (wcCreateVideo.cpp).
  QWidget* makeVideoBox(QWidget* parent);
  QWidget* makeSoundBox(QWidget* parent);
  QWidget* makeRangeBox(QWidget* parent);
  void connectControls();
  // Opening and the settings (wcCreateVideoSettings.cpp).
  void readStoredSettings();
  void storeSettings();
  void fillChoiceLists();
  void showSettings();
  void customProfileChanged();
  template <typename Take> void takeChoice(const QComboBox* list, Take take);
  // Render range and laps (wcCreateVideoRange.cpp).
  void fillLapList();
  void updateRenderRange();
  float lapProjectTime(int lap, float offset) const;
  bool resolveRenderRange(RenderRange& range);
  // The run (wcCreateVideoRun.cpp).
  QString askOutputPath();
  // The upload step (wcCreateVideoUpload.cpp).
  bool UploadAvailable() const;
  bool CollectUploadDetails(const QString& path);
  void RunUpload(const QString& path);

  OutputSettings settings_;
  Flags flags_;
  Laps laps_;
  UploadDetails upload_;
  int updating_ = 0; // controls are being filled: their signals are not the user's
};
