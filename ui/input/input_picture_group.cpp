#include "ui/input/input_picture_group.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/input/wcInputEdit.h"
#include "ui/util/ui_utils.h"

namespace {

struct SliderFacts {
  const char* name;
  const char* title;
  double minimum, maximum;
  int neutral;
};
const SliderFacts kSliderFacts[InputPictureGroup::kSliders] = {
    {"Brightness", "Brightness:", 0, 200, 100}, {"Contrast", "Contrast:", 0, 200, 100},
    {"Color", "Color:", 0, 200, 100},           {"Hue", "Hue:", -180, 180, 0},
    {"Sharpness", "Sharpness:", 0, 200, 100},
};
const char* const kRangeNames[] = {"ChromaColorRange", "ChromaBrightRange"};

// Colorize: 0xTTRRGGBB, TT 0xFF off, 0x01 rainbow, 0x00 one colour.
constexpr uint32_t kColorizeOff = 0xFF;
constexpr uint32_t kColorizeRainbow = 0x01;

// The byte field of a percent slider (hue has a field of its own).
uint8_t AdjustStruct::*percentField(InputPictureGroup::Slider slider) {
  switch (slider) {
  case InputPictureGroup::kBrightness: return &AdjustStruct::Brightness;
  case InputPictureGroup::kContrast: return &AdjustStruct::Contrast;
  case InputPictureGroup::kColor: return &AdjustStruct::Color;
  default: return &AdjustStruct::Sharpness;
  }
}

} // namespace

InputPictureGroup::InputPictureGroup(wcInputEdit& window) : InputEditGroup(window), geometry_(window) {}

InputPictureGroup::~InputPictureGroup() = default;

QString InputPictureGroup::SliderText(Slider slider, int value) {
  return slider == kHue ? QString::asprintf("%d\u00b0", value) : QString::asprintf("%d%%", value);
}

QGroupBox* InputPictureGroup::Build(QWidget* parent) {
  auto* box = new QGroupBox("Picture", parent);
  box->setObjectName("PictureGroup");
  auto* columns = new QHBoxLayout(box);
  auto* left = new QVBoxLayout();
  left->addWidget(makeSliders(box));
  left->addWidget(makeChroma(box));
  left->addStretch(1);
  columns->addLayout(left, 3);
  columns->addWidget(geometry_.Build(box), 2);
  return box;
}

QWidget* InputPictureGroup::makeSliders(QWidget* parent) {
  auto* panel = new QWidget(parent);
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < kSliders; ++i) {
    const SliderFacts& facts = kSliderFacts[i];
    SliderRow& row = sliders_[i];
    row.label = new NSTextLabelCustom(facts.title, panel);
    row.label->setObjectName(QString(facts.name) + "Label");
    row.label->setToolTip("Click to reset");
    row.slider = new RealSlider(facts.minimum, facts.maximum, 1, panel);
    row.slider->setObjectName(QString(facts.name) + "Slider");
    row.text = new NSTextLabelCustom(panel);
    row.text->setObjectName(QString(facts.name) + "Text");
    row.text->setMinimumWidth(48);
    grid->addWidget(row.label, i, 0);
    grid->addWidget(row.slider, i, 1);
    grid->addWidget(row.text, i, 2);
    const Slider which = static_cast<Slider>(i);
    QObject::connect(row.slider, &RealSlider::changed, panel, [this, which]() { Slider_Changed(which); });
    QObject::connect(row.label, &NSTextLabelCustom::clicked, panel, [this, which]() { SliderText_Clicked(which); });
    QObject::connect(row.text, &NSTextLabelCustom::clicked, panel, [this, which]() { SliderText_Clicked(which); });
  }
  grid->setColumnStretch(1, 1);
  // Colorize is kept through the window but not offered (hidden whenever it opens).
  ColorizeCheck = new QCheckBox("Colorize", panel);
  ColorizeCheck->setObjectName("ColorizeCheck");
  ColorizeColor = new NSColorWellCustom(panel);
  ColorizeColor->setObjectName("ColorizeColor");
  ColorizeRainbowCheck = new QCheckBox("Rainbow", panel);
  ColorizeRainbowCheck->setObjectName("ColorizeRainbowCheck");
  auto* colorize = new QHBoxLayout();
  colorize->addWidget(ColorizeCheck);
  colorize->addWidget(ColorizeColor);
  colorize->addWidget(ColorizeRainbowCheck);
  colorize->addStretch(1);
  grid->addLayout(colorize, kSliders, 0, 1, 3);
  for (QWidget* w : std::initializer_list<QWidget*>{ColorizeCheck, ColorizeColor, ColorizeRainbowCheck}) w->hide();
  QObject::connect(ColorizeCheck, &QCheckBox::clicked, panel, [this]() { ColorizeCheck_Changed(); });
  QObject::connect(ColorizeColor, &NSColorWellCustom::changed, panel, [this]() { ColorizeColor_Changed(); });
  QObject::connect(ColorizeRainbowCheck, &QCheckBox::clicked, panel, [this]() { ColorizeRainbowCheck_Changed(); });
  return panel;
}

QWidget* InputPictureGroup::makeChroma(QWidget* parent) {
  auto* panel = new QWidget(parent);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  ChromaEnabledCheck = new QCheckBox("Chroma Key (make a colour transparent)", panel);
  ChromaEnabledCheck->setObjectName("ChromaEnabledCheck");
  column->addWidget(ChromaEnabledCheck);
  ChromaGroup = new QGroupBox(panel);
  ChromaGroup->setObjectName("ChromaGroup");
  auto* grid = new QGridLayout(ChromaGroup);
  ChromaColor = new NSColorWellCustom(ChromaGroup);
  ChromaColor->setObjectName("ChromaColor");
  ChromaColorChoose = new QPushButton("Choose...", ChromaGroup);
  ChromaColorChoose->setObjectName("ChromaColorChoose");
  grid->addWidget(new QLabel("Key colour:", ChromaGroup), 0, 0);
  auto* colour = new QHBoxLayout();
  colour->addWidget(ChromaColor);
  colour->addWidget(ChromaColorChoose);
  colour->addStretch(1);
  grid->addLayout(colour, 0, 1);
  const char* titles[kRanges] = {"Colour range:", "Brightness range:"};
  for (int r = 0; r < kRanges; ++r) {
    rangeText_[r] = new TextField(ChromaGroup);
    rangeText_[r]->setObjectName(QString(kRangeNames[r]) + "Text");
    rangeText_[r]->setMaximumWidth(56);
    rangeStepper_[r] = new RealStepper(0, 255, 1, ChromaGroup);
    rangeStepper_[r]->setObjectName(QString(kRangeNames[r]) + "Stepper");
    auto* pair = new QHBoxLayout();
    pair->addWidget(rangeText_[r]);
    pair->addWidget(rangeStepper_[r]);
    pair->addStretch(1);
    grid->addWidget(new QLabel(titles[r], ChromaGroup), r + 1, 0);
    grid->addLayout(pair, r + 1, 1);
    const Range which = static_cast<Range>(r);
    QObject::connect(rangeText_[r], &TextField::changed, panel, [this, which]() { RangeText_Changed(which); });
    QObject::connect(rangeStepper_[r], &RealStepper::changed, panel, [this, which]() { RangeStepper_Changed(which); });
  }
  column->addWidget(ChromaGroup);
  QObject::connect(ChromaEnabledCheck, &QCheckBox::clicked, panel, [this]() { ChromaEnabledCheck_Changed(); });
  QObject::connect(ChromaColor, &NSColorWellCustom::changed, panel, [this]() { ChromaColor_Changed(); });
  QObject::connect(ChromaColorChoose, &QPushButton::clicked, panel, [this]() { ChromaColorChoose_Pressed(); });
  return panel;
}

void InputPictureGroup::Fill(const InputRecords& records) {
  const AdjustStruct& adjust = records.Adjust;
  for (int i = 0; i < kSliders; ++i) {
    const Slider slider = static_cast<Slider>(i);
    sliders_[i].slider->setValue(slider == kHue ? adjust.Hue : adjust.*percentField(slider));
    Slider_Changed(slider);
  }
  const uint32_t tag = adjust.Colorize >> 24;
  ColorizeCheck->setChecked(tag != kColorizeOff);
  ColorizeRainbowCheck->setChecked(tag == kColorizeRainbow);
  ColorizeColor->setColor(ColorToNSColor(adjust.Colorize | 0xFF000000u));

  ChromaEnabledCheck->setChecked(adjust.ChromaOn != 0);
  ChromaColor->setColor(QColor(adjust.ChromaRed, adjust.ChromaGreen, adjust.ChromaBlue));
  const uint8_t ranges[kRanges] = {adjust.ChromaColorRange, adjust.ChromaBrightRange};
  for (int r = 0; r < kRanges; ++r) {
    rangeStepper_[r]->setValue(ranges[r]);
    rangeText_[r]->setText(QString::number(rangeStepper_[r]->intValue()));
  }
  geometry_.Fill(adjust, records.Main.Width, records.Main.Height);
}

void InputPictureGroup::Read(InputRecords& records) {
  AdjustStruct& adjust = records.Adjust;
  for (int i = 0; i < kSliders; ++i) {
    const Slider slider = static_cast<Slider>(i);
    const int value = sliders_[i].slider->intValue();
    if (slider == kHue) {
      adjust.Hue = static_cast<int16_t>(value);
    } else {
      adjust.*percentField(slider) = static_cast<uint8_t>(value);
    }
  }
  adjust.ChromaOn = ChromaEnabledCheck->isChecked() ? 1 : 0;
  for (int r = 0; r < kRanges; ++r) RangeText_Changed(static_cast<Range>(r));
  adjust.ChromaColorRange = static_cast<uint8_t>(rangeStepper_[kColorRange]->intValue());
  adjust.ChromaBrightRange = static_cast<uint8_t>(rangeStepper_[kBrightRange]->intValue());
  const uint32_t key = NSColorToColor(ChromaColor->color());
  adjust.ChromaRed = static_cast<uint8_t>(key >> 16);
  adjust.ChromaGreen = static_cast<uint8_t>(key >> 8);
  adjust.ChromaBlue = static_cast<uint8_t>(key);

  uint32_t tag = kColorizeOff;
  if (ColorizeCheck->isChecked()) tag = ColorizeRainbowCheck->isChecked() ? kColorizeRainbow : 0;
  adjust.Colorize = (tag << 24) | (NSColorToColor(ColorizeColor->color()) & 0x00FFFFFFu);
  geometry_.Read(adjust, records.Main.Width, records.Main.Height);
}

void InputPictureGroup::SetEnabled() { UISetControlEnabled(ChromaGroup, ChromaEnabledCheck->isChecked()); }

void InputPictureGroup::Slider_Changed(Slider slider) {
  SliderRow& row = sliders_[slider];
  const int value = RoundFloat(static_cast<float>(row.slider->value()));
  row.slider->setValue(value);
  row.text->setText(SliderText(slider, value));
  window().UpdatePreview();
}

void InputPictureGroup::SliderText_Clicked(Slider slider) {
  sliders_[slider].slider->setValue(kSliderFacts[slider].neutral);
  Slider_Changed(slider);
}

void InputPictureGroup::ColorizeCheck_Changed() { window().UpdatePreview(); }

void InputPictureGroup::ColorizeColor_Changed() {
  ColorizeCheck->setChecked(true);
  ColorizeRainbowCheck->setChecked(false);
  window().UpdatePreview();
}

void InputPictureGroup::ColorizeRainbowCheck_Changed() {
  ColorizeCheck->setChecked(true);
  window().UpdatePreview();
}

void InputPictureGroup::ChromaEnabledCheck_Changed() {
  window().SetEnabled();
  window().UpdatePreview();
}

void InputPictureGroup::ChromaColor_Changed() { window().UpdatePreview(); }

void InputPictureGroup::ChromaColorChoose_Pressed() { ChromaColor->activate(); }

void InputPictureGroup::RangeText_Changed(Range range) {
  rangeStepper_[range]->setValue(NSStringToInt(rangeText_[range]->text()));
  RangeStepper_Changed(range);
}

void InputPictureGroup::RangeStepper_Changed(Range range) {
  rangeText_[range]->setText(QString::number(rangeStepper_[range]->intValue()));
  window().UpdatePreview();
}
