#pragma once
// The trim window: which stretch of an input's file the project uses, its
// start and end each set by a slider, a typed time or step buttons, with a
// frame preview of each end. A time filler gets only its length. Edits a
// private copy of the input's main record and stores it whole on OK. Runs
// modally.
#include <QString>
#include <cstdint>
#include <optional>

#include "model/input_records.h"
#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class NSImageViewCustom;
class QComboBox;
class QGroupBox;
class QLabel;
class RealSlider;
class TextField;

class wcInputTrim : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcInputTrim();

public:
  ~wcInputTrim() override;

  // Loads a copy of the input's main record and fills the window; false
  // (the engine's error shown) when the input has none.
  bool SetInput(uint32_t input);
  bool Success() const { return state_.Success; }

  // The previews of a data log: "Track Map", "G-Force", "Speed", "Engine RPM".
  static const QStringList& DisplayTypeTitles();

public slots:
  void StartSlider_Changed();
  void EndSlider_Changed();
  void StartText_Changed();
  void EndText_Changed();
  // Moves the start or end by a step in seconds (the six step buttons of
  // each side: -1.0, -0.15, -0.03, +0.03, +0.15, +1.0).
  void StartStep(float seconds);
  void EndStep(float seconds);
  void DisplayTypeSelection_Changed();
  void OkButton_Pressed();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowWillClose() override;

private:
  struct State {
    uint32_t OurIndex = 255;
    std::optional<MainStruct> copy;
    bool Scrolling = false;
    uint32_t PreviewQuality = 1;
    uint32_t DisplayType = 0;
    bool Success = false;
  };
  struct Side {
    QGroupBox* group = nullptr;
    QLabel* label = nullptr;
    NSImageViewCustom* image = nullptr;
    RealSlider* slider = nullptr;
    TextField* text = nullptr;
    PreviewSlot preview;
  };
  QGroupBox* makeSide(QWidget* parent, Side& side, const char* name, bool start);
  void UpdateStart();
  void UpdateEnd();
  void UpdateLength();
  void updateSide(bool start);
  void CreatePreviews();
  void EndPreview();
  void drawPreview(const PreviewSlot& preview, float time);

  State state_;
  Side start_;
  Side end_;
  QLabel* DisplayTypeLabel = nullptr;
  QComboBox* DisplayTypeSelection = nullptr;
  QLabel* EffectiveLengthLabel = nullptr;
};
