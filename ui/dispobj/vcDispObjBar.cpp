#include "ui/dispobj/vcDispObjBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <cmath>

#include "model/dispobjs.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/record_bindings.h"
#include "ui/dispobj/number_pair.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kMaxTrim = 40;
constexpr double kMaxThickness = 100;
constexpr double kMaxTextSize = 200;

// A size stored as a real number shows as a whole one, cut toward zero.
double wholeSize(float size) { return std::isfinite(size) ? std::trunc(size) : 0; }

} // namespace

vcDispObjBar::vcDispObjBar(wcDispObjEdit* owner) : DispObjPanel(kPanelBar, "vcDispObjBar", owner) {
  buildControls();
}

void vcDispObjBar::buildControls() {
  QGridLayout* grid = titledGrid("Bar Graph", "BarBox");
  int row = 0;
  buildRangeAndLook(grid, row);
  buildElements(grid, row);
  grid->setColumnStretch(3, 1);
  bindNumbers();
}

// A size switches its element on.
void vcDispObjBar::bindNumbers() {
  const NumberBinder bind(this, [this]() { UpdatePreview(); });
  numbers_.trimSize = bind.whole(TrimSizeText, TrimSizeStepper, bar_.TrimSize, DoTrimCheck);
  numbers_.thickness = bind.whole(ThicknessText, ThicknessStepper, bar_.Thickness);
  numbers_.numberSize = bind.whole(NumberSizeText, NumberSizeStepper, bar_.NumberSize, DoNumberCheck);
  numbers_.labelSize = bind.whole(LabelSizeText, LabelSizeStepper, bar_.LabelSize, DoLabelCheck);
}

void vcDispObjBar::buildRangeAndLook(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  Range = new ChannelRangeRows(grid, row, {.range = "scale"}, box);
  static_cast<ChannelRangeOutlets&>(*this) = *Range;
  connect(Range, &ChannelRangeRows::edited, this, &vcDispObjBar::UpdatePreview);

  // The line mode is kept in records but not offered: the label stands in.
  ModeSelection = new QComboBox(box);
  ModeSelection->setObjectName("ModeSelection");
  BarLabel = new QLabel("Bar", box);
  BarLabel->setObjectName("BarLabel");
  grid->addWidget(new QLabel("Mode:", box), row, 0);
  grid->addWidget(ModeSelection, row, 1, 1, 3);
  grid->addWidget(BarLabel, row++, 1, 1, 3);

  HorizontalCheck = checkBox("Horizontal", "HorizontalCheck", box);
  FlipCheck = checkBox("Reversed", "FlipCheck", box);
  FlipCheck->setToolTip("The bar grows from the other end");
  RoundedCheck = checkBox("Rounded", "RoundedCheck", box);
  RoundedCheck->setToolTip("A background with rounded corners");
  HighResCheck = checkBox("High resolution", "HighResCheck", box);
  auto* looks = new QGridLayout();
  looks->addWidget(HorizontalCheck, 0, 0);
  looks->addWidget(FlipCheck, 0, 1);
  looks->addWidget(RoundedCheck, 1, 0);
  looks->addWidget(HighResCheck, 1, 1);
  grid->addLayout(looks, row++, 0, 1, 4);

  grid->addWidget(new QLabel("Thickness:", box), row, 0);
  grid->addLayout(numberField(ThicknessText, ThicknessStepper, "Thickness", 1, kMaxThickness, 1, box, 40, "%"), row++,
                  1, 1, 3);

  connect(ModeSelection, &QComboBox::activated, this, &vcDispObjBar::ModeSelection_Changed);
  options_ = new OptionChecks(
      bar_.Options, {{HighResCheck, kBarHighRes}, {FlipCheck, kBarFlip}, {HorizontalCheck, kBarHorizontal}},
      [this]() { UpdatePreview(); }, this);
  connect(RoundedCheck, &QCheckBox::clicked, this, &vcDispObjBar::RoundedCheck_Changed);
}

// One row per element: its switch, its colour and its size.
void vcDispObjBar::buildElements(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  FillColor = colorWell("FillColor", box);
  grid->addWidget(new QLabel("Bar:", box), row, 0);
  grid->addWidget(FillColor, row, 1, Qt::AlignLeft);
  DoFillColor2Check = checkBox("Shading:", "DoFillColor2Check", box);
  DoFillColor2Check->setToolTip("A shading colour of your own; off: a darker shade of the bar's colour");
  FillColor2 = colorWell("FillColor2", box);
  auto* shading = new QHBoxLayout();
  shading->addWidget(DoFillColor2Check);
  shading->addWidget(FillColor2);
  shading->addStretch(1);
  grid->addLayout(shading, row++, 2, 1, 2);

  DoBackCheck = elementRow(grid, row++, "Background:", "Back", BackColor, box);
  DoTrimCheck = elementRow(grid, row, "Trim:", "Trim", TrimColor, box);
  elementSize(grid, row++, "Width:", "Trim", TrimSizeText, TrimSizeStepper, 0, kMaxTrim, box);
  DoNumberCheck = elementRow(grid, row, "Number:", "Number", NumberColor, box);
  elementSize(grid, row++, "Size:", "Number", NumberSizeText, NumberSizeStepper, 1, kMaxTextSize, box);
  NumberDecimalCheck = checkBox("Two decimals", "NumberDecimalCheck", box);
  grid->addWidget(NumberDecimalCheck, row++, 1, 1, 3);
  DoLabelCheck = elementRow(grid, row, "Label:", "Label", LabelColor, box);
  elementSize(grid, row++, "Size:", "Label", LabelSizeText, LabelSizeStepper, 1, kMaxTextSize, box);
  LabelText = labelTextField(box);
  grid->addWidget(LabelText, row++, 1, 1, 3);

  connect(FillColor, &NSColorWellCustom::changed, this, &vcDispObjBar::FillColor_Changed);
  colors_ = new ColorElements(this,
                    {{FillColor2, &bar_.FillColor2, DoFillColor2Check}, {BackColor, &bar_.BackColor, DoBackCheck},
                     {TrimColor, &bar_.TrimColor, DoTrimCheck}, {NumberColor, &bar_.NumberColor, DoNumberCheck},
                     {LabelColor, &bar_.LabelColor, DoLabelCheck}},
                    [this]() { UpdatePreview(); });
  connect(DoFillColor2Check, &QCheckBox::clicked, this, &vcDispObjBar::DoFillColor2Check_Changed);
  connect(DoBackCheck, &QCheckBox::clicked, this, &vcDispObjBar::DoBackCheck_Changed);
  connect(DoTrimCheck, &QCheckBox::clicked, this, &vcDispObjBar::DoTrimCheck_Changed);
  connect(DoNumberCheck, &QCheckBox::clicked, this, &vcDispObjBar::DoNumberCheck_Changed);
  connect(NumberDecimalCheck, &QCheckBox::clicked, this, &vcDispObjBar::NumberDecimalCheck_Changed);
  connect(DoLabelCheck, &QCheckBox::clicked, this, &vcDispObjBar::DoLabelCheck_Changed);
  connect(LabelText, &TextField::changed, this, &vcDispObjBar::LabelText_Changed);
}

bool vcDispObjBar::SetData(uint32_t index) {
  DispStruct record{};
  if (!loadRecords(index, bar_, record)) return false;
  LoadingData = true;
  inputId_ = record.InputID;
  Range->Load(bar_.Field, bar_.Min, bar_.Max, inputId_);

  options_->show();
  RoundedCheck->setChecked((bar_.Options & kBarRounded) != 0);
  NumberDecimalCheck->setChecked((bar_.Options & kBarTwoDecimals) != 0);

  colors_->show();
  showColor(FillColor, bar_.FillColor);

  numbers_.trimSize->show(bar_.TrimSize);
  numbers_.thickness->show(bar_.Thickness);
  numbers_.numberSize->show(wholeSize(bar_.NumberSize));
  numbers_.labelSize->show(wholeSize(bar_.LabelSize));

  ModeSelection->clear();
  ModeSelection->addItems({"Bar", "Line"});
  ModeSelection->setCurrentIndex((bar_.Options & kBarLine) ? 1 : 0);
  ModeSelection->hide();
  BarLabel->show();
  LabelText->setText(W16ToNSString(bar_.Label));
  LoadingData = false;
  SetFieldColor();
  return true;
}

void vcDispObjBar::SetFieldColor() { Range->SetFieldColor(); }

void vcDispObjBar::UpdatePreview() {
  if (LoadingData) return;
  colors_->store();
  storeText(bar_.Label, LabelText->text());
  SetFieldColor();
  if (writeParam(bar_)) updateOtherPanels();
}

// Decimals are a look of the number: asking for them shows it.
void vcDispObjBar::NumberDecimalCheck_Changed() {
  DoNumberCheck->setChecked(true);
  SetOptionBits(bar_.Options, kBarTwoDecimals, NumberDecimalCheck->isChecked());
  UpdatePreview();
}

// Rounded corners belong to the background, so each pulls the other along.
void vcDispObjBar::RoundedCheck_Changed() {
  if (!RoundedCheck->isChecked()) {
    SetOptionBits(bar_.Options, kBarRounded, false);
    UpdatePreview();
    return;
  }
  SetOptionBits(bar_.Options, kBarRounded, true);
  DoBackCheck->setChecked(true);
  DoBackCheck_Changed();
}

void vcDispObjBar::DoBackCheck_Changed() {
  if (DoBackCheck->isChecked()) {
    UpdatePreview();
    return;
  }
  RoundedCheck->setChecked(false);
  RoundedCheck_Changed();
}

// Until the user picks a shading colour of their own, it follows the bar's.
void vcDispObjBar::FillColor_Changed() {
  bar_.FillColor = wellColor(FillColor);
  followSecondColor(bar_.FillColor, bar_.FillColor2, DoFillColor2Check, FillColor2);
  UpdatePreview();
}

void vcDispObjBar::LabelText_Changed() {
  DoLabelCheck->setChecked(true);
  UpdatePreview();
}

void vcDispObjBar::ModeSelection_Changed() {
  SetOptionBits(bar_.Options, kBarLine, ModeSelection->currentText() == "Line");
  UpdatePreview();
}
