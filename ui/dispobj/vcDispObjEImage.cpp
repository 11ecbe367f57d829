#include "ui/dispobj/vcDispObjEImage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "base/util.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/number_pair.h"
#include "ui/util/ui_utils.h"

namespace {

// A mode this program does not know shows as the plain image.
uint8_t knownMode(uint8_t mode) { return mode <= kEImageAtOrBelow ? mode : uint8_t{kEImagePlain}; }

constexpr double kValueLimit = 9999999;
constexpr double kMaxFlash = 25.5; // seconds: the interval is one byte of tenths

struct Title {
  uint8_t code;
  const char* text;
};

const Title kModes[] = {{kEImagePlain, "Simple Image"},
                        {kEImageMap, "Data: Proportional"},
                        {kEImageAtOrAbove, "Data: Greater or Equal"},
                        {kEImageAtOrBelow, "Data: Less or Equal"}};
const Title kEffects[] = {{kEImageRotation, "Rotation"},
                          {kEImageTransparency, "Transparency"},
                          {kEImageBrightness, "Brightness"},
                          {kEImageHue, "Color Hue"}};
const char* const kShowImage = "Show Image";

// Hidden controls keep their room, so the panel's height stays put when
// the mode shows or hides them.
void keepRoomWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

QString effectTitle(uint8_t code) {
  for (const Title& effect : kEffects)
    if (effect.code == code) return effect.text;
  return kShowImage;
}

} // namespace

vcDispObjEImage::vcDispObjEImage(wcDispObjEdit* owner) : DispObjPanel(kPanelEImage, "vcDispObjEImage", owner) {
  buildControls();
  connectControls();
}

void vcDispObjEImage::buildControls() {
  QGridLayout* grid = titledGrid("Embedded Image", "EImageBox");
  QWidget* box = grid->parentWidget();
  int row = 0;
  ModeSelection = new QComboBox(box);
  ModeSelection->setObjectName("ModeSelection");
  grid->addWidget(new QLabel("Mode:", box), row, 0);
  grid->addWidget(ModeSelection, row++, 1, 1, 2);

  FieldLabel = new QLabel("Channel:", box);
  FieldLabel->setObjectName("FieldLabel");
  FieldSelection = typableList("FieldSelection", box);
  grid->addWidget(FieldLabel, row, 0);
  grid->addWidget(FieldSelection, row++, 1, 1, 2);

  MappingLabel = new QLabel("The channel's value sets the effect:", box);
  MappingLabel->setObjectName("MappingLabel");
  grid->addWidget(MappingLabel, row++, 0, 1, 3);
  InputLabel = new QLabel("Data", box);
  InputLabel->setObjectName("InputLabel");
  OutputLabel = new QLabel("Effect", box);
  OutputLabel->setObjectName("OutputLabel");
  grid->addWidget(InputLabel, row, 1);
  grid->addWidget(OutputLabel, row++, 2);
  MinLabel = new QLabel("Min:", box);
  MinLabel->setObjectName("MinLabel");
  MaxLabel = new QLabel("Max:", box);
  MaxLabel->setObjectName("MaxLabel");
  grid->addWidget(MinLabel, row, 0, Qt::AlignRight);
  grid->addLayout(numberField(MinInputText, MinInputStepper, "MinInput", -kValueLimit, kValueLimit, 1, box, 64), row, 1);
  grid->addLayout(numberField(MinOutputText, MinOutputStepper, "MinOutput", -kValueLimit, kValueLimit, 1, box, 64),
                  row++, 2);
  grid->addWidget(MaxLabel, row, 0, Qt::AlignRight);
  grid->addLayout(numberField(MaxInputText, MaxInputStepper, "MaxInput", -kValueLimit, kValueLimit, 1, box, 64), row, 1);
  grid->addLayout(numberField(MaxOutputText, MaxOutputStepper, "MaxOutput", -kValueLimit, kValueLimit, 1, box, 64),
                  row++, 2);

  OutputTypeSelection = new QComboBox(box);
  OutputTypeSelection->setObjectName("OutputTypeSelection");
  grid->addWidget(new QLabel("Effect:", box), row, 0);
  grid->addWidget(OutputTypeSelection, row++, 1, 1, 2);

  FlashRateLabel = new QLabel("(Solid)", box);
  FlashRateLabel->setObjectName("FlashRateLabel");
  auto* flash = numberField(FlashText, FlashStepper, "Flash", 0, kMaxFlash, 0.1, box, 44);
  flash->insertWidget(2, FlashRateLabel);
  FlashText->setToolTip("Shown and hidden in turn for this long; 0: always shown");
  grid->addWidget(new QLabel("Flash:", box), row, 0);
  grid->addLayout(flash, row++, 1, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  for (QWidget* w : {static_cast<QWidget*>(FieldLabel), static_cast<QWidget*>(FieldSelection),
                     static_cast<QWidget*>(MinLabel), static_cast<QWidget*>(MaxLabel)})
    keepRoomWhenHidden(w);
}

void vcDispObjEImage::connectControls() {
  connect(ModeSelection, &QComboBox::activated, this, &vcDispObjEImage::ModeSelection_Changed);
  connect(OutputTypeSelection, &QComboBox::activated, this, &vcDispObjEImage::OutputTypeSelection_Changed);
  onListChosen(FieldSelection, this, &vcDispObjEImage::FieldSelection_Changed);
  connect(FlashText, &TextField::changed, this, &vcDispObjEImage::FlashText_Changed);
  connect(FlashStepper, &RealStepper::changed, this, &vcDispObjEImage::FlashStepper_Changed);
  const NumberBinder bind(this, [this]() { UpdatePreview(); });
  numbers_.minInput = bind.real(MinInputText, MinInputStepper, image_.MinInput);
  numbers_.maxInput = bind.real(MaxInputText, MaxInputStepper, image_.MaxInput);
  numbers_.minOutput = bind.real(MinOutputText, MinOutputStepper, image_.MinOutput);
  numbers_.maxOutput = bind.real(MaxOutputText, MaxOutputStepper, image_.MaxOutput);
}

QString vcDispObjEImage::FlashRateText(uint8_t interval) {
  if (interval == 0) return "(Solid)";
  return interval == 10 ? "second" : "seconds";
}

bool vcDispObjEImage::SetData(uint32_t index) {
  DispStruct record{};
  if (!loadRecords(index, image_, record)) return false;
  LoadingData = true;
  inputId_ = record.InputID;
  ModeSelection->clear();
  ModeSelection->setEditText("");
  for (const Title& mode : kModes) ModeSelection->addItem(mode.text);
  ModeSelection->setCurrentIndex(knownMode(image_.Mode));
  fillFieldCombo(FieldSelection, "(None)", dataFieldNames(inputId_), W16ToNSString(image_.Field));
  for (auto [number, value] :
       {std::pair{numbers_.minInput, image_.MinInput}, std::pair{numbers_.maxInput, image_.MaxInput},
        std::pair{numbers_.minOutput, image_.MinOutput}, std::pair{numbers_.maxOutput, image_.MaxOutput}})
    number->show(value);
  FlashStepper->setValue(image_.FlashInterval / 10.0);
  FlashText->setText(FormatNumberNSString(1, 1, FlashStepper->value()));
  LoadingData = false;
  UpdateControls();
  SetFieldColor();
  return true;
}

void vcDispObjEImage::UpdateControls() {
  const bool wasLoading = LoadingData;
  LoadingData = true;
  const uint8_t mode = knownMode(image_.Mode);
  const bool driven = mode != kEImagePlain;
  const bool minInput = mode == kEImageMap || mode == kEImageAtOrBelow;
  const bool maxInput = mode == kEImageMap || mode == kEImageAtOrAbove;
  MinLabel->setText(mode == kEImageAtOrBelow ? "<=" : "Min:");
  MaxLabel->setText(mode == kEImageAtOrAbove ? ">=" : "Max:");
  FieldLabel->setVisible(driven);
  FieldSelection->setVisible(driven);
  MinLabel->setVisible(minInput);
  MaxLabel->setVisible(maxInput);
  for (QWidget* control : {static_cast<QWidget*>(MinInputText), static_cast<QWidget*>(MinInputStepper)})
    UISetControlEnabled(control, minInput);
  for (QWidget* control : {static_cast<QWidget*>(MaxInputText), static_cast<QWidget*>(MaxInputStepper)})
    UISetControlEnabled(control, maxInput);
  for (QWidget* control : {static_cast<QWidget*>(MinOutputText), static_cast<QWidget*>(MinOutputStepper),
                           static_cast<QWidget*>(MaxOutputText), static_cast<QWidget*>(MaxOutputStepper),
                           static_cast<QWidget*>(OutputLabel)})
    UISetControlEnabled(control, driven);
  UISetControlEnabled(InputLabel, minInput || maxInput);
  UISetControlEnabled(MappingLabel, driven);

  OutputTypeSelection->clear();
  OutputTypeSelection->setEditText("");
  if (driven) {
    for (const Title& effect : kEffects) OutputTypeSelection->addItem(effect.text);
  } else {
    OutputTypeSelection->addItem(kShowImage);
  }
  // An effect the list does not offer selects nothing.
  OutputTypeSelection->setCurrentIndex(OutputTypeSelection->findText(effectTitle(image_.OutputType)));
  FlashRateLabel->setText(FlashRateText(image_.FlashInterval));
  LoadingData = wasLoading;
}

void vcDispObjEImage::SetFieldColor() { showFieldState(FieldLabel, inputId_, image_.Field); }

void vcDispObjEImage::UpdatePreview() {
  if (LoadingData) return;
  SetFieldColor();
  writeParam(image_);
}

void vcDispObjEImage::ModeSelection_Changed() {
  const QString chosen = ModeSelection->currentText();
  image_.Mode = kEImagePlain;
  for (const Title& mode : kModes)
    if (chosen == mode.text) image_.Mode = mode.code;
  UpdateControls();
  UpdatePreview();
}

void vcDispObjEImage::FieldSelection_Changed() {
  if (!LoadingData && storeChosenField(FieldSelection, image_.Field)) UpdatePreview();
}

void vcDispObjEImage::OutputTypeSelection_Changed() {
  const QString chosen = OutputTypeSelection->currentText();
  image_.OutputType = kEImageAsIs;
  for (const Title& effect : kEffects)
    if (chosen == effect.text) image_.OutputType = effect.code;
  UpdatePreview();
}

void vcDispObjEImage::FlashText_Changed() {
  FlashStepper->setValue(NSStringToDouble(FlashText->text()));
  FlashStepper_Changed();
}

// Stored in tenths: 0.26 s becomes 3, shown as 0.3 s from then on.
void vcDispObjEImage::FlashStepper_Changed() {
  FlashText->setText(FormatNumberNSString(1, 1, FlashStepper->value()));
  image_.FlashInterval = static_cast<uint8_t>(RoundToIntF(static_cast<float>(FlashStepper->value() * 10)) & 0xFF);
  UpdateControls();
  UpdatePreview();
}
