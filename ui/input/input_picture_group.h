#pragma once
// The picture group of the input properties window: brightness, contrast,
// colour, hue and sharpness sliders, colorize, chroma key, and the geometry
// part (crop, rotation, mirroring). Every change redraws the preview.
#include <QString>
#include <memory>

#include "ui/input/input_edit_group.h"
#include "ui/input/input_geometry.h"

class NSColorWellCustom;
class NSTextLabelCustom;
class QCheckBox;
class QPushButton;
class RealSlider;
class RealStepper;
class TextField;

class InputPictureGroup : public InputEditGroup {
public:
  explicit InputPictureGroup(wcInputEdit& window);
  ~InputPictureGroup() override;

  bool Shown(const InputShows& shows) const override { return shows.HasVideo; }
  void Fill(const InputRecords& records) override;
  void Read(InputRecords& records) override;
  void SetEnabled() override;

  InputGeometry& Geometry() { return geometry_; }

  // A picture slider: its field, its neutral value and its text.
  enum Slider { kBrightness, kContrast, kColor, kHue, kSharpness, kSliders };
  static QString SliderText(Slider slider, int value);

  void Slider_Changed(Slider slider);
  void SliderText_Clicked(Slider slider);
  void ColorizeCheck_Changed();
  void ColorizeColor_Changed();
  void ColorizeRainbowCheck_Changed();
  void ChromaEnabledCheck_Changed();
  void ChromaColor_Changed();
  void ChromaColorChoose_Pressed();

protected:
  QGroupBox* Build(QWidget* parent) override;

private:
  struct SliderRow {
    NSTextLabelCustom* label = nullptr;
    RealSlider* slider = nullptr;
    NSTextLabelCustom* text = nullptr;
  };
  enum Range { kColorRange, kBrightRange, kRanges };
  QWidget* makeSliders(QWidget* parent);
  QWidget* makeChroma(QWidget* parent);
  void RangeText_Changed(Range range);
  void RangeStepper_Changed(Range range);

  InputGeometry geometry_;
  SliderRow sliders_[kSliders];
  QCheckBox* ColorizeCheck = nullptr;
  NSColorWellCustom* ColorizeColor = nullptr;
  QCheckBox* ColorizeRainbowCheck = nullptr;
  QCheckBox* ChromaEnabledCheck = nullptr;
  QGroupBox* ChromaGroup = nullptr;
  NSColorWellCustom* ChromaColor = nullptr;
  QPushButton* ChromaColorChoose = nullptr;
  TextField* rangeText_[kRanges] = {};
  RealStepper* rangeStepper_[kRanges] = {};
};
