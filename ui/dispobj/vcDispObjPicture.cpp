#include "ui/dispobj/vcDispObjPicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <tuple>

#include "model/dispobjs.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/number_pair.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

const char* const kMirroring[] = {"None", "Horizontal", "Vertical", "Both"};

QString percentText(double value) { return QString::number(value, 'f', 3); }

// A position (percent of the frame) moved so that at least 1 % of an
// object of that size stays inside the frame.
double keptInFrame(double position, double size) {
  if (position + size < 1) return 1 - size;
  return position > 99 ? 99 : position;
}

} // namespace

vcDispObjPicture::vcDispObjPicture(wcDispObjEdit* owner) : DispObjPanel(kPanelPicture, "vcDispObjPicture", owner) {
  buildControls();
}

void vcDispObjPicture::buildControls() {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setVerticalSpacing(3);
  auto* title = new QLabel("<b>Position and Look</b>", this);
  grid->addWidget(title, 0, 0, 1, 4);

  PosXLabel = new NSTextLabelCustom("X:", this);
  PosXLabel->setToolTip("Click to center horizontally");
  PosYLabel = new NSTextLabelCustom("Y:", this);
  PosYLabel->setToolTip("Click to center vertically");
  WidthLabel = new QLabel("Width:", this);
  HeightLabel = new QLabel("Height:", this);
  grid->addWidget(PosXLabel, 1, 0);
  grid->addLayout(numberField(PosXText, PosXStepper, "PosX", -1000, 1000, 0.1, this, 70, "%"), 1, 1);
  grid->addWidget(WidthLabel, 1, 2);
  grid->addLayout(numberField(WidthText, WidthStepper, "Width", 0.1, 1000, 0.1, this, 70, "%"), 1, 3);
  grid->addWidget(PosYLabel, 2, 0);
  grid->addLayout(numberField(PosYText, PosYStepper, "PosY", -1000, 1000, 0.1, this, 70, "%"), 2, 1);
  grid->addWidget(HeightLabel, 2, 2);
  grid->addLayout(numberField(HeightText, HeightStepper, "Height", 0.1, 1000, 0.1, this, 70, "%"), 2, 3);
  for (TextField* t : {PosXText, PosYText, WidthText, HeightText}) t->setFixedWidth(58);

  // Nudges: a pad of four arrows with the amount beside it.
  auto* pad = new QGridLayout();
  pad->setSpacing(1);
  MoveUpButton = new QPushButton(QString::fromUtf8("\u25B2"), this);
  MoveDownButton = new QPushButton(QString::fromUtf8("\u25BC"), this);
  MoveLeftButton = new QPushButton(QString::fromUtf8("\u25C0"), this);
  MoveRightButton = new QPushButton(QString::fromUtf8("\u25B6"), this);
  const char* names[] = {"MoveUp", "MoveDown", "MoveLeft", "MoveRight"};
  int n = 0;
  for (QPushButton* b : {MoveUpButton, MoveDownButton, MoveLeftButton, MoveRightButton}) {
    b->setObjectName(names[n++]);
    b->setFixedSize(26, 22);
    b->setAutoRepeat(true);
  }
  pad->addWidget(MoveUpButton, 0, 1);
  pad->addWidget(MoveLeftButton, 1, 0);
  pad->addWidget(MoveRightButton, 1, 2);
  pad->addWidget(MoveDownButton, 2, 1);
  grid->addLayout(pad, 3, 0, 3, 2, Qt::AlignLeft);
  auto* moveRow = numberField(MoveAmountText, MoveAmountStepper, "MoveAmount", 1, 10, 1, this, 70);
  MoveAmountLabel = new QLabel("pixels", this);
  moveRow->insertWidget(2, MoveAmountLabel);
  MoveAmountText->setFixedWidth(40);
  grid->addWidget(new QLabel("Move by:", this), 3, 2);
  grid->addLayout(moveRow, 3, 3);
  SmallerButton = new QPushButton("Smaller", this);
  SmallerButton->setObjectName("SmallerButton");
  LargerButton = new QPushButton("Larger", this);
  LargerButton->setObjectName("LargerButton");
  auto* sizeButtons = new QHBoxLayout();
  sizeButtons->addWidget(SmallerButton);
  sizeButtons->addWidget(LargerButton);
  grid->addLayout(sizeButtons, 4, 2, 1, 2);
  auto* sizeRow = numberField(SizeAmountText, SizeAmountStepper, "SizeAmount", 1, 100, 1, this, 70);
  SizeAmountText->setFixedWidth(40);
  SizeAmountLabel = new QLabel("%", this);
  sizeRow->insertWidget(2, SizeAmountLabel);
  grid->addWidget(new QLabel("Size by:", this), 5, 2);
  grid->addLayout(sizeRow, 5, 3);

  KeepRatioCheck = new QCheckBox("Keep aspect ratio", this);
  KeepRatioCheck->setObjectName("KeepRatioCheck");
  grid->addWidget(KeepRatioCheck, 6, 0, 1, 4);

  TransparencyLabel = new NSTextLabelCustom("Transparency:", this);
  TransparencyLabel->setToolTip("Click to make solid");
  auto* transparencyRow = numberField(TransparencyText, TransparencyStepper, "Transparency", 0, 100, 1, this, 70, "%");
  TransparencyText->setFixedWidth(40);
  TransparencyAmountLabel = new NSTextLabelCustom("(Solid)", this);
  TransparencyAmountLabel->setObjectName("TransparencyAmountLabel");
  transparencyRow->insertWidget(3, TransparencyAmountLabel);
  grid->addWidget(TransparencyLabel, 7, 0, 1, 2);
  grid->addLayout(transparencyRow, 7, 2, 1, 2);

  MirroringLabel = new NSTextLabelCustom("Mirroring:", this);
  MirroringSelection = new QComboBox(this);
  MirroringSelection->setObjectName("MirroringSelection");
  for (const char* item : kMirroring) MirroringSelection->addItem(item);
  grid->addWidget(MirroringLabel, 8, 0, 1, 2);
  grid->addWidget(MirroringSelection, 8, 2, 1, 2);

  ColorLabel = new NSTextLabelCustom("Colours:", this);
  ColorRCheck = new QCheckBox("Red", this);
  ColorGCheck = new QCheckBox("Green", this);
  ColorBCheck = new QCheckBox("Blue", this);
  ColorRCheck->setObjectName("ColorRCheck");
  ColorGCheck->setObjectName("ColorGCheck");
  ColorBCheck->setObjectName("ColorBCheck");
  UISetButtonTitleColor(ColorRCheck, QColor(220, 0, 0));
  UISetButtonTitleColor(ColorGCheck, QColor::fromRgbF(0, 0.6f, 0));
  UISetButtonTitleColor(ColorBCheck, QColor(0, 0, 230));
  auto* colours = new QHBoxLayout();
  for (QCheckBox* c : {ColorRCheck, ColorGCheck, ColorBCheck}) colours->addWidget(c);
  grid->addWidget(ColorLabel, 9, 0, 1, 2);
  grid->addLayout(colours, 9, 2, 1, 2);
  for (NSTextLabelCustom* label : {PosXLabel, PosYLabel, TransparencyLabel, MirroringLabel, ColorLabel})
    label->setText("<u>" + label->text() + "</u>");

  bindNumbers();
  connect(MoveUpButton, &QPushButton::clicked, this, &vcDispObjPicture::MoveUp_Pressed);
  connect(MoveDownButton, &QPushButton::clicked, this, &vcDispObjPicture::MoveDown_Pressed);
  connect(MoveLeftButton, &QPushButton::clicked, this, &vcDispObjPicture::MoveLeft_Pressed);
  connect(MoveRightButton, &QPushButton::clicked, this, &vcDispObjPicture::MoveRight_Pressed);
  connect(SmallerButton, &QPushButton::clicked, this, &vcDispObjPicture::SmallerButton_Pressed);
  connect(LargerButton, &QPushButton::clicked, this, &vcDispObjPicture::LargerButton_Pressed);
  connect(KeepRatioCheck, &QCheckBox::clicked, this, [this]() { UpdatePreview(); });
  connect(MirroringSelection, &QComboBox::activated, this, &vcDispObjPicture::MirroringSelection_Changed);
  for (QCheckBox* c : {ColorRCheck, ColorGCheck, ColorBCheck})
    connect(c, &QCheckBox::clicked, this, [this]() { UpdatePreview(); });
  connect(PosXLabel, &NSTextLabelCustom::clicked, this, &vcDispObjPicture::PosXLabel_Clicked);
  connect(PosYLabel, &NSTextLabelCustom::clicked, this, &vcDispObjPicture::PosYLabel_Clicked);
  connect(TransparencyLabel, &NSTextLabelCustom::clicked, this, &vcDispObjPicture::TransparencyLabel_Clicked);
  connect(TransparencyAmountLabel, &NSTextLabelCustom::clicked, this, &vcDispObjPicture::TransparencyLabel_Clicked);
  connect(MirroringLabel, &NSTextLabelCustom::clicked, this, &vcDispObjPicture::MirroringLabel_Clicked);
  connect(ColorLabel, &NSTextLabelCustom::clicked, this, &vcDispObjPicture::ColorLabel_Clicked);
  MoveAmountStepper->setValue(1);
  SizeAmountStepper->setValue(10);
  showAmounts();
}

// The text goes into the stepper, which holds it in range; the stepper's
// action shows what it holds and writes.
void vcDispObjPicture::bindNumbers() {
  auto placed = [this](double) {
    showPosition();
    UpdatePreview();
  };
  for (auto [pair, text, stepper] : {std::tuple{&numbers_.posX, PosXText, PosXStepper},
                                     std::tuple{&numbers_.posY, PosYText, PosYStepper},
                                     std::tuple{&numbers_.width, WidthText, WidthStepper},
                                     std::tuple{&numbers_.height, HeightText, HeightStepper}}) {
    *pair = new NumberPair(text, stepper, NumberPair::Kind::kReal, placed, this);
    (*pair)->setFormat(percentText);
  }
  auto amounts = [this](double) { showAmounts(); };
  numbers_.moveAmount = new NumberPair(MoveAmountText, MoveAmountStepper, NumberPair::Kind::kInteger, amounts, this);
  numbers_.sizeAmount = new NumberPair(SizeAmountText, SizeAmountStepper, NumberPair::Kind::kInteger, amounts, this);
  numbers_.transparency = new NumberPair(
      TransparencyText, TransparencyStepper, NumberPair::Kind::kInteger,
      [this](double) {
        showTransparency();
        UpdatePreview();
      },
      this);
}

bool vcDispObjPicture::SetData(uint32_t index) {
  OurIndex = index;
  if (index == kNoDispObj) return false;
  // A group's box is its members' box.
  DispObjGroupCalcPosSize(index);
  DispStruct record{};
  if (!readCommon(index, record)) return false;
  GroupObject = record.Type == kDispGroup;
  TextAutoSize = false;
  if (wcDispObjEdit::PanelsForType(record.Type) & kPanelText) {
    TextStruct text{};
    TextAutoSize = readParam(index, text) && (text.Options & kTextAutoSize) != 0;
  }
  LoadingData = true;
  for (QWidget* w : std::initializer_list<QWidget*>{KeepRatioCheck, TransparencyStepper, TransparencyText,
                                                   TransparencyLabel, TransparencyAmountLabel, MirroringSelection,
                                                   MirroringLabel, ColorRCheck, ColorGCheck, ColorBCheck, ColorLabel})
    UISetControlEnabled(w, !GroupObject);
  for (QWidget* w : std::initializer_list<QWidget*>{WidthStepper, WidthText, WidthLabel, HeightStepper, HeightText,
                                                   HeightLabel, SmallerButton, LargerButton, SizeAmountStepper,
                                                   SizeAmountText, SizeAmountLabel})
    UISetControlEnabled(w, !TextAutoSize);
  KeepRatioCheck->setVisible(record.Type != kDispEImage);
  const wcMain* m = main();
  const QSize preview = m != nullptr ? m->PreviewSize() : QSize(0, 0);
  PixToPctX = preview.width() >= 1 ? 100.0 / preview.width() : 1.0;
  PixToPctY = preview.height() >= 1 ? 100.0 / preview.height() : 1.0;
  const int previewSum = preview.width() + preview.height();
  MoveAmountStepper->setRange(1, previewSum >= 40 ? previewSum / 4 : 10);
  PosXStepper->setValue(record.X);
  PosYStepper->setValue(record.Y);
  WidthStepper->setValue(record.Width);
  HeightStepper->setValue(record.Height);
  showPosition();
  showAmounts();
  KeepRatioCheck->setChecked((record.KeepRatio & 3) != 0);
  TransparencyStepper->setRange(0, 100);
  TransparencyStepper->setValue(record.Transparency);
  showTransparency();
  MirroringSelection->setCurrentIndex(record.Mirroring & 3);
  ColorRCheck->setChecked((record.ColorChans & 1) != 0);
  ColorGCheck->setChecked((record.ColorChans & 2) != 0);
  ColorBCheck->setChecked((record.ColorChans & 4) != 0);
  LoadingData = false;
  return true;
}

void vcDispObjPicture::showPosition() {
  PosXText->setText(percentText(PosXStepper->value()));
  PosYText->setText(percentText(PosYStepper->value()));
  WidthText->setText(percentText(WidthStepper->value()));
  HeightText->setText(percentText(HeightStepper->value()));
}

void vcDispObjPicture::showAmounts() {
  MoveAmountText->setText(QString::number(MoveAmountStepper->intValue()));
  MoveAmountLabel->setText(MoveAmountStepper->intValue() == 1 ? "pixel" : "pixels");
  SizeAmountText->setText(QString::number(SizeAmountStepper->intValue()));
}

void vcDispObjPicture::showTransparency() {
  const int value = TransparencyStepper->intValue();
  TransparencyText->setText(QString::number(value));
  if (value == 0) {
    TransparencyAmountLabel->setText("(Solid)");
  } else if (value == 100) {
    TransparencyAmountLabel->setText("(Invisible)");
  } else {
    TransparencyAmountLabel->setText(QString("(%1% Visible)").arg(100 - value));
  }
}

void vcDispObjPicture::EnforceBounds() {
  const bool loading = LoadingData;
  LoadingData = true;
  auto keep = [](RealStepper* position, const RealStepper* size) {
    const double p = keptInFrame(position->value(), size->value());
    if (p != position->value()) position->setValue(p);
  };
  keep(PosXStepper, WidthStepper);
  keep(PosYStepper, HeightStepper);
  showPosition();
  LoadingData = loading;
}

void vcDispObjPicture::UpdatePreview(bool quick) {
  if (LoadingData) return;
  EnforceBounds();
  const bool group = GroupObject;
  const uint32_t object = OurIndex;
  writeCommon(
      [this](DispStruct& r) {
        r.X = static_cast<float>(PosXStepper->value());
        r.Y = static_cast<float>(PosYStepper->value());
        r.Width = static_cast<float>(WidthStepper->value());
        r.Height = static_cast<float>(HeightStepper->value());
        r.KeepRatio = KeepRatioCheck->isChecked() ? 1 : 0;
        r.Transparency = static_cast<uint8_t>(TransparencyStepper->intValue());
        r.Mirroring = static_cast<uint8_t>(std::max(0, MirroringSelection->currentIndex()));
        r.ColorChans = static_cast<uint8_t>((ColorRCheck->isChecked() ? 1 : 0) | (ColorGCheck->isChecked() ? 2 : 0) |
                                            (ColorBCheck->isChecked() ? 4 : 0));
      },
      quick, [group, object]() {
        if (group) DispObjGroupChangePosSize(object);
      });
  LastPreviewWasQuick = quick;
}

void vcDispObjPicture::MoveX(double delta, bool quick) { move(numbers_.posX, numbers_.width, delta, quick); }

void vcDispObjPicture::MoveY(double delta, bool quick) { move(numbers_.posY, numbers_.height, delta, quick); }

void vcDispObjPicture::move(NumberPair* position, NumberPair* size, double delta, bool quick) {
  if (delta == 0) return;
  for (NumberPair* field : {position, size})
    if (field->text()->isEdited()) field->Text_Changed();
  const double kept = keptInFrame(position->value() + delta, size->value());
  if (kept == position->value()) return;
  position->stepper()->setValue(kept);
  showPosition();
  // One nudge is one change: one checkpoint, one write.
  UpdatePreview(quick);
}

namespace {
// Held down, the arrows repeat: those repaints are quick ones.
bool buttonHeld() { return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0; }
} // namespace

// Y counts down from the top of the frame: up takes from it.
void vcDispObjPicture::MoveUp_Pressed() { arrowPressed(true, -1); }
void vcDispObjPicture::MoveDown_Pressed() { arrowPressed(true, 1); }
void vcDispObjPicture::MoveLeft_Pressed() { arrowPressed(false, -1); }
void vcDispObjPicture::MoveRight_Pressed() { arrowPressed(false, 1); }

void vcDispObjPicture::arrowPressed(bool vertical, int sign) {
  const bool quick = buttonHeld();
  if (MoveAmountText->isEdited()) numbers_.moveAmount->Text_Changed();
  const int pixels = sign * MoveAmountStepper->intValue();
  if (vertical) MoveY(pixels * PixToPctY, quick);
  else MoveX(pixels * PixToPctX, quick);
}

void vcDispObjPicture::resize(double factor) {
  if (SizeAmountText->isEdited()) numbers_.sizeAmount->Text_Changed();
  LoadingData = true;
  WidthStepper->setValue(WidthStepper->value() * factor);
  HeightStepper->setValue(HeightStepper->value() * factor);
  showPosition();
  LoadingData = false;
  UpdatePreview();
}

void vcDispObjPicture::SmallerButton_Pressed() { resize(1 / (1 + SizeAmountStepper->intValue() / 100.0)); }
void vcDispObjPicture::LargerButton_Pressed() { resize(1 + SizeAmountStepper->intValue() / 100.0); }

void vcDispObjPicture::PosXLabel_Clicked() {
  PosXStepper->setValue((100 - WidthStepper->value()) / 2);
  numbers_.posX->Stepper_Changed();
}
void vcDispObjPicture::PosYLabel_Clicked() {
  PosYStepper->setValue((100 - HeightStepper->value()) / 2);
  numbers_.posY->Stepper_Changed();
}
void vcDispObjPicture::TransparencyLabel_Clicked() {
  TransparencyStepper->setValue(0);
  numbers_.transparency->Stepper_Changed();
}
void vcDispObjPicture::MirroringLabel_Clicked() {
  MirroringSelection->setCurrentIndex(0);
  MirroringSelection_Changed();
}
void vcDispObjPicture::ColorLabel_Clicked() {
  for (QCheckBox* c : {ColorRCheck, ColorGCheck, ColorBCheck}) c->setChecked(true);
  UpdatePreview();
}
