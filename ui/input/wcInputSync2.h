#pragma once
// Sync to reference: lines one input (the sync input: video, audio, data
// log, join or time filler) up against another (the reference, by default
// the first video) with the two side by side. Each side has a slider, a
// typed time and a preview; the user brings both to the same moment and
// the window works out the sync input's trim start and start time in the
// project. The reference can play in real time with the sync side
// following. OK writes the sync input's record with one undo checkpoint;
// Cancel leaves the project untouched. Runs modally.
//
// Sync time s and reference (project) time r are tied by the engine's one
// mapping: s = trim start + (r - start time) x rate.
#include <QString>
#include <cstdint>

#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class NSImageViewCustom;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;
class RealSlider;
class TextField;

class wcInputSync2 : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcInputSync2();

public:
  // Opens for the input with the reference chosen automatically.
  void SetInput(int input);
  void SetInput(uint32_t sync, uint32_t reference);
  // Rebuilds the window. Mode 0: being opened; 1: another sync input was
  // chosen; 2: an internal refresh that keeps the edited values.
  void SetInput(uint32_t sync, uint32_t reference, uint32_t mode);

  // Works the trim start and start time out of the two sliders; display
  // only: the labels alone.
  void CalcSyncValues(bool displayOnly = false);
  // The sync time that matches the reference slider; keepSyncSlider: the
  // labels' colours alone.
  void SetSyncTime(bool keepSyncSlider = false);
  void CreatePreviews();
  // Bit 1 the sync side, bit 2 the reference side.
  void UpdatePreview(uint32_t mask);
  void EndPreviews();
  void SetPlayState(bool on);
  void OnTick();
  void SetLinkIcon();
  // Writes the edited values into the sync input's record.
  void Save();
  // Asks to keep an edit; false when the user cancelled (or a Yes was
  // refused for its play rate).
  bool InputChangedPrompt(bool cancellable);

  uint32_t SyncInput() const { return inputs_.SyncInput; }
  uint32_t RefInput() const { return inputs_.RefInput; }
  double SyncStart() const { return values_.SyncStart; }
  double SyncOffset() const { return values_.SyncOffset; }
  double SyncPlayRate() const { return values_.SyncPlayRate; }
  bool IsPlaying() const { return play_.Playing; }
  bool IsLinked() const { return play_.Linked; }
  uint32_t DisplayType() const { return preview_.DisplayType; }

public slots:
  void SyncInputSelection_Changed();
  void RefInputSelection_Changed();
  void SyncSlider_Changed();
  void RefSlider_Changed();
  void SyncText_Changed();
  void RefText_Changed();
  void LinkButton_Pressed();
  void OffsetMatrix_Changed();
  void OffsetTimeText_Changed();
  void PlayRateText_Changed();
  void PlayButton_Pressed();
  void DisplayTypeSelection_Changed();
  void SyncStepBackward3_Pressed() { syncStep(-1.0); }
  void SyncStepBackward2_Pressed() { syncStep(-0.15); }
  void SyncStepBackward_Pressed() { syncStep(-0.03); }
  void SyncStepForward_Pressed() { syncStep(0.03); }
  void SyncStepForward2_Pressed() { syncStep(0.15); }
  void SyncStepForward3_Pressed() { syncStep(1.0); }
  void RefStepBackward3_Pressed() { refStep(-1.0); }
  void RefStepBackward2_Pressed() { refStep(-0.15); }
  void RefStepBackward_Pressed() { refStep(-0.03); }
  void RefStepForward_Pressed() { refStep(0.03); }
  void RefStepForward2_Pressed() { refStep(0.15); }
  void RefStepForward3_Pressed() { refStep(1.0); }
  void OkButton_Pressed();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowWillClose() override;

private:
  struct Inputs {
    uint32_t SyncInput = 255;
    uint32_t SyncInputType = 0;
    QString SyncInputName;
    uint32_t RefInput = 255;
    uint32_t RefInputType = 0;
    QString RefInputName;
  };
  struct Values {
    double SyncLen = 0;    // the sync slider's maximum
    double SyncStart = 0;  // trim start being edited
    double SyncOffset = 0; // start time in the project being edited
    double SyncPlayRate = 1.0;
    double DesiredSyncOffset = 0; // last offset typed for the manual mode
    double ProjectLen = 0;        // the reference slider's maximum
  };
  struct Previews {
    uint32_t DisplayType = 0; // 0 track map, 1 G-force, 2 speed, 3 engine speed
    PreviewSlot Sync;
    PreviewSlot Ref;
  };
  struct Playback {
    bool Linked = true;
    bool Playing = false;
    QTimer* PlayTimer = nullptr;
    double PlayTickInterval = 1.0 / 30;
    bool PlayRenderInProgress = false;
    double PlayStartTime = 0; // media-clock time at which the reference time was 0
  };

  QWidget* makeSide(QWidget* parent, bool sync);
  QWidget* makeControls(QWidget* parent);
  uint32_t automaticReference(uint32_t sync) const;
  void fillInputLists(uint32_t mode);
  void showValues(uint32_t mode);
  void setLabelRed(QLabel* label, bool red);
  bool manualOffset() const;
  void setManualOffset(bool manual);
  void syncStep(double seconds);
  void refStep(double seconds);
  void playStep();
  uint32_t previewQuality(uint32_t type) const;

  Inputs inputs_;
  Values values_;
  Previews preview_;
  Playback play_;

  QComboBox* SyncInputSelection = nullptr;
  QComboBox* RefInputSelection = nullptr;
  NSImageViewCustom* SyncImage = nullptr;
  NSImageViewCustom* RefImage = nullptr;
  RealSlider* SyncSlider = nullptr;
  RealSlider* RefSlider = nullptr;
  TextField* SyncText = nullptr;
  TextField* RefText = nullptr;
  QLabel* SyncLabel = nullptr;
  QPushButton* LinkButton = nullptr;
  QLabel* LinkLabel = nullptr;
  QButtonGroup* OffsetMatrix = nullptr;
  QRadioButton* OffsetAuto = nullptr;
  QRadioButton* OffsetManual = nullptr;
  QLabel* OffsetEffectiveLabel = nullptr;
  TextField* OffsetTimeText = nullptr;
  QPushButton* PlayButton = nullptr;
  QLabel* PlayRateLabel = nullptr;
  TextField* PlayRateText = nullptr;
  QLabel* DisplayTypeLabel = nullptr;
  QComboBox* DisplayTypeSelection = nullptr;
};
