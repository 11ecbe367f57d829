// The script editor's parameter box: data channel, range, trigger,
// rendering area, named colours and label, and what each control stores.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

#include "engine/model/dispobjs.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/enh_param_edit.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/wcDispObjEnhEdit.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kRangeLimit = 9999999;
constexpr double kMaxWord = 65535; // u16 fields
constexpr double kMaxTextSize = 500;

QString number(double value) { return FormatNumberNSString(1, 4, value); }
QString whole(const RealStepper* stepper) { return QString::number(stepper->intValue()); }
uint16_t word(const RealStepper* stepper) { return static_cast<uint16_t>(stepper->intValue() & 0xFFFF); }
double wholeSize(float size) { return std::isfinite(size) ? std::trunc(size) : 0; }

} // namespace

QGroupBox* wcDispObjEnhEdit::makeParamBox(QWidget* parent) {
  auto* box = new QGroupBox("Parameters", parent);
  box->setObjectName("ParamBox");
  auto* row = new QHBoxLayout(box);
  auto* left = new QVBoxLayout();
  left->addWidget(makeDataColumn(box));
  left->addWidget(makeLabelRows(box));
  left->addStretch(1);
  row->addLayout(left, 3);
  row->addWidget(makeColorColumn(box), 2, Qt::AlignTop);
  return box;
}

QWidget* wcDispObjEnhEdit::makeDataColumn(QWidget* parent) {
  auto* group = new QGroupBox("Data", parent);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(4);
  int row = 0;
  Range = new ChannelRangeRows(grid, row, {.textWidth = 90}, group);
  TriggerCheck = DispObjPanel::checkBox("Trigger:", "TriggerCheck", group);
  TriggerCheck->setToolTip("A value the scripts compare the channel with");
  grid->addWidget(TriggerCheck, row, 0);
  grid->addLayout(
      DispObjPanel::numberField(TriggerText, TriggerStepper, "Trigger", -kRangeLimit, kRangeLimit, 1, group, 90),
      row++, 1, 1, 3);
  grid->addWidget(new QLabel("Rendering area:", group), row, 0);
  grid->addLayout(DispObjPanel::numberField(SizeXText, SizeXStepper, "SizeX", 0, kMaxWord, 1, group, 56, "x"), row,
                  1);
  grid->addLayout(DispObjPanel::numberField(SizeYText, SizeYStepper, "SizeY", 0, kMaxWord, 1, group, 56), row++, 2);
  grid->setColumnStretch(3, 1);
  return group;
}

QWidget* wcDispObjEnhEdit::makeLabelRows(QWidget* parent) {
  auto* group = new QGroupBox("Label", parent);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(4);
  int row = 0;
  DoLabelCheck = DispObjPanel::checkBox("Label:", "DoLabelCheck", group);
  LabelText = new TextField(group);
  LabelText->setObjectName("LabelText");
  LabelText->setMaxLength(kNameLength - 1);
  LabelColor = DispObjPanel::colorWell("LabelColor", group);
  grid->addWidget(DoLabelCheck, row, 0);
  grid->addWidget(LabelText, row, 1, 1, 2);
  grid->addWidget(LabelColor, row++, 3);
  LabelFontSelection = DispObjPanel::typableList("LabelFontSelection", group);
  LabelFontSelection->setMaxVisibleItems(20);
  grid->addWidget(new QLabel("Font:", group), row, 0);
  grid->addWidget(LabelFontSelection, row++, 1, 1, 3);
  grid->addWidget(new QLabel("Size:", group), row, 0);
  grid->addLayout(
      DispObjPanel::numberField(LabelSizeText, LabelSizeStepper, "LabelSize", 1, kMaxTextSize, 1, group, 44), row, 1);
  LabelBoldCheck = DispObjPanel::checkBox("Bold", "LabelBoldCheck", group);
  LabelItalicCheck = DispObjPanel::checkBox("Italic", "LabelItalicCheck", group);
  auto* styles = new QHBoxLayout();
  styles->addWidget(LabelBoldCheck);
  styles->addWidget(LabelItalicCheck);
  styles->addStretch(1);
  grid->addLayout(styles, row++, 2, 1, 2);
  grid->addWidget(new QLabel("Position:", group), row, 0);
  grid->addLayout(
      DispObjPanel::numberField(LabelPosXText, LabelPosXStepper, "LabelPosX", 0, kMaxWord, 1, group, 56, "x"), row, 1);
  grid->addLayout(DispObjPanel::numberField(LabelPosYText, LabelPosYStepper, "LabelPosY", 0, kMaxWord, 1, group, 56),
                  row++, 2, 1, 2);
  LabelTopLayerCheck = DispObjPanel::checkBox("Drawn over the moving elements", "LabelTopLayerCheck", group);
  grid->addWidget(LabelTopLayerCheck, row++, 1, 1, 3);
  grid->setColumnStretch(2, 1);
  return group;
}

QWidget* wcDispObjEnhEdit::makeColorColumn(QWidget* parent) {
  auto* group = new QGroupBox("Colours", parent);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(4);
  grid->addWidget(new QLabel("In use:", group), 0, 0);
  grid->addLayout(
      DispObjPanel::numberField(ColorCountText, ColorCountStepper, "ColorCount", 0, kEnhColors, 1, group, 36), 0, 1,
      1, 2);
  for (int i = 0; i < kEnhColors; ++i) {
    const QString letter(QChar('A' + i));
    ColorVar[i] = new QLabel("Color " + letter, group);
    ColorVar[i]->setObjectName("ColorVar" + letter);
    ColorLabel[i] = new TextField(group);
    ColorLabel[i]->setObjectName("ColorLabel" + letter);
    ColorLabel[i]->setMaxLength(kEnhNameUnits - 1);
    ColorLabel[i]->setPlaceholderText("Name");
    Color[i] = DispObjPanel::colorWell(("Color" + letter).toLatin1().constData(), group);
    grid->addWidget(ColorVar[i], i + 1, 0);
    grid->addWidget(ColorLabel[i], i + 1, 1);
    grid->addWidget(Color[i], i + 1, 2);
  }
  grid->setColumnStretch(1, 1);
  return group;
}

void wcDispObjEnhEdit::connectParams() {
  using E = wcDispObjEnhEdit;
  connect(Range, &ChannelRangeRows::edited, this, &E::UpdatePreview);
  DispObjPanel::onListChosen(LabelFontSelection, this, &E::LabelFontSelection_Changed);
  const std::pair<QCheckBox*, void (E::*)()> checks[] = {
      {TriggerCheck, &E::TriggerCheck_Changed},     {DoLabelCheck, &E::DoLabelCheck_Changed},
      {LabelBoldCheck, &E::LabelBoldCheck_Changed}, {LabelItalicCheck, &E::LabelItalicCheck_Changed},
      {LabelTopLayerCheck, &E::LabelTopLayerCheck_Changed}};
  for (const auto& [box, action] : checks) connect(box, &QCheckBox::clicked, this, action);
  struct NumberActions {
    TextField* text;
    RealStepper* stepper;
    void (E::*textAction)();
    void (E::*stepperAction)();
  };
  const NumberActions numbers[] = {
      {TriggerText, TriggerStepper, &E::TriggerText_Changed, &E::TriggerStepper_Changed},
      {SizeXText, SizeXStepper, &E::SizeXText_Changed, &E::SizeXStepper_Changed},
      {SizeYText, SizeYStepper, &E::SizeYText_Changed, &E::SizeYStepper_Changed},
      {ColorCountText, ColorCountStepper, &E::ColorCountText_Changed, &E::ColorCountStepper_Changed},
      {LabelSizeText, LabelSizeStepper, &E::LabelSizeText_Changed, &E::LabelSizeStepper_Changed},
      {LabelPosXText, LabelPosXStepper, &E::LabelPosXText_Changed, &E::LabelPosXStepper_Changed},
      {LabelPosYText, LabelPosYStepper, &E::LabelPosYText_Changed, &E::LabelPosYStepper_Changed}};
  for (const NumberActions& n : numbers) {
    connect(n.text, &TextField::changed, this, n.textAction);
    connect(n.stepper, &RealStepper::changed, this, n.stepperAction);
  }
  connect(LabelText, &TextField::changed, this, &E::LabelText_Changed);
  connect(LabelColor, &NSColorWellCustom::changed, this, &E::LabelColor_Changed);
  for (int i = 0; i < kEnhColors; ++i)
    connect(Color[i], &NSColorWellCustom::changed, this, [this, i]() { Color_Changed(i); });
}

void wcDispObjEnhEdit::fillParams(const DispStruct& common) {
  LabelFontSelection->clear();
  LabelFontSelection->setEditText("");
  LabelFontSelection->addItems(AppDelegate::SystemFonts());
  state_.OurInputID = common.InputID;
  Range->Load(enh_.Field, enh_.Min, enh_.Max, state_.OurInputID);
  TriggerCheck->setChecked((enh_.Options & kEnhTrigger) != 0);
  TriggerStepper->setValue(enh_.TriggerValue);
  TriggerText->setText(number(TriggerStepper->value()));

  SizeXStepper->setValue(enh_.SizeX);
  SizeYStepper->setValue(enh_.SizeY);
  ColorCountStepper->setValue(enh_.ColorCount);
  for (auto [text, stepper] : {std::pair{SizeXText, SizeXStepper}, std::pair{SizeYText, SizeYStepper},
                               std::pair{ColorCountText, ColorCountStepper}})
    text->setText(whole(stepper));
  for (int i = 0; i < kEnhColors; ++i) {
    ColorLabel[i]->setText(W16ToNSString(enh_.ColorName[i]));
    DispObjPanel::showColor(Color[i], enh_.Color[i]);
  }

  LabelText->setText(W16ToNSString(enh_.Label));
  DoLabelCheck->setChecked(!ColorIsOff(enh_.LabelColor));
  DispObjPanel::showColor(LabelColor, enh_.LabelColor);
  const QString font = W16ToNSString(enh_.LabelFont);
  const int row = LabelFontSelection->findText(font, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (row >= 0) LabelFontSelection->setCurrentIndex(row);
  else LabelFontSelection->setEditText(font);
  LabelSizeStepper->setValue(wholeSize(enh_.LabelSize));
  LabelBoldCheck->setChecked((enh_.LabelStyle & kEnhLabelBold) != 0);
  LabelItalicCheck->setChecked((enh_.LabelStyle & kEnhLabelItalic) != 0);
  LabelPosXStepper->setValue(enh_.LabelX);
  LabelPosYStepper->setValue(enh_.LabelY);
  for (auto [text, stepper] : {std::pair{LabelSizeText, LabelSizeStepper}, std::pair{LabelPosXText, LabelPosXStepper},
                               std::pair{LabelPosYText, LabelPosYStepper}})
    text->setText(whole(stepper));
  LabelTopLayerCheck->setChecked((enh_.Options & kEnhLabelTopLayer) != 0);
}

void wcDispObjEnhEdit::SetFieldColor() { Range->SetFieldColor(); }

void wcDispObjEnhEdit::setOption(uint8_t bit, bool on) {
  if (on) enh_.Options |= bit;
  else enh_.Options &= static_cast<uint8_t>(~bit);
}

void wcDispObjEnhEdit::setLabelStyle(uint8_t bit, bool on) {
  if (on) enh_.LabelStyle |= bit;
  else enh_.LabelStyle &= static_cast<uint8_t>(~bit);
}

// Any edit of the label's look means the user wants to see it.
void wcDispObjEnhEdit::labelEdited() {
  DoLabelCheck->setChecked(true);
  UpdatePreview();
}

void wcDispObjEnhEdit::TriggerCheck_Changed() {
  setOption(kEnhTrigger, TriggerCheck->isChecked());
  UpdatePreview();
}

void wcDispObjEnhEdit::TriggerText_Changed() {
  TriggerStepper->setValue(NSStringToDouble(TriggerText->text()));
  TriggerStepper_Changed();
}

// Entering the value already stored leaves the trigger as it is; a new
// value switches it on.
void wcDispObjEnhEdit::TriggerStepper_Changed() {
  TriggerText->setText(number(TriggerStepper->value()));
  if (!EnhTriggerDiffers(TriggerStepper->value(), enh_.TriggerValue)) return;
  enh_.TriggerValue = TriggerStepper->value();
  TriggerCheck->setChecked(true);
  setOption(kEnhTrigger, true);
  UpdatePreview();
}

void wcDispObjEnhEdit::SizeXText_Changed() {
  SizeXStepper->setValue(NSStringToInt(SizeXText->text()));
  SizeXStepper_Changed();
}

void wcDispObjEnhEdit::SizeXStepper_Changed() {
  SizeXText->setText(whole(SizeXStepper));
  enh_.SizeX = word(SizeXStepper);
  UpdatePreview();
}

void wcDispObjEnhEdit::SizeYText_Changed() {
  SizeYStepper->setValue(NSStringToInt(SizeYText->text()));
  SizeYStepper_Changed();
}

void wcDispObjEnhEdit::SizeYStepper_Changed() {
  SizeYText->setText(whole(SizeYStepper));
  enh_.SizeY = word(SizeYStepper);
  UpdatePreview();
}

void wcDispObjEnhEdit::ColorCountText_Changed() {
  ColorCountStepper->setValue(NSStringToInt(ColorCountText->text()));
  ColorCountStepper_Changed();
}

void wcDispObjEnhEdit::ColorCountStepper_Changed() {
  ColorCountText->setText(whole(ColorCountStepper));
  enh_.ColorCount = static_cast<uint8_t>(ColorCountStepper->intValue() & 0xFF);
  UpdateColorControls();
  UpdatePreview();
}

void wcDispObjEnhEdit::Color_Changed(int i) {
  enh_.Color[i] = DispObjPanel::wellColor(Color[i]);
  UpdatePreview();
}

// Return in an unchanged label changes nothing, not even the label's switch.
void wcDispObjEnhEdit::LabelText_Changed() {
  const QString text = LabelText->text();
  if (text == W16ToNSString(enh_.Label)) return;
  DispObjPanel::storeText(enh_.Label, text);
  labelEdited();
}

void wcDispObjEnhEdit::LabelColor_Changed() {
  enh_.LabelColor = DispObjPanel::wellColor(LabelColor);
  labelEdited();
}

void wcDispObjEnhEdit::LabelFontSelection_Changed() {
  if (state_.LoadingData) return;
  DispObjPanel::storeText(enh_.LabelFont, LabelFontSelection->currentText());
  labelEdited();
}

void wcDispObjEnhEdit::LabelSizeText_Changed() {
  LabelSizeStepper->setValue(NSStringToInt(LabelSizeText->text()));
  LabelSizeStepper_Changed();
}

void wcDispObjEnhEdit::LabelSizeStepper_Changed() {
  LabelSizeText->setText(whole(LabelSizeStepper));
  enh_.LabelSize = static_cast<float>(LabelSizeStepper->intValue());
  labelEdited();
}

void wcDispObjEnhEdit::LabelBoldCheck_Changed() {
  setLabelStyle(kEnhLabelBold, LabelBoldCheck->isChecked());
  labelEdited();
}

void wcDispObjEnhEdit::LabelItalicCheck_Changed() {
  setLabelStyle(kEnhLabelItalic, LabelItalicCheck->isChecked());
  labelEdited();
}

void wcDispObjEnhEdit::LabelPosXText_Changed() {
  LabelPosXStepper->setValue(NSStringToInt(LabelPosXText->text()));
  LabelPosXStepper_Changed();
}

void wcDispObjEnhEdit::LabelPosXStepper_Changed() {
  LabelPosXText->setText(whole(LabelPosXStepper));
  enh_.LabelX = word(LabelPosXStepper);
  labelEdited();
}

void wcDispObjEnhEdit::LabelPosYText_Changed() {
  LabelPosYStepper->setValue(NSStringToInt(LabelPosYText->text()));
  LabelPosYStepper_Changed();
}

void wcDispObjEnhEdit::LabelPosYStepper_Changed() {
  LabelPosYText->setText(whole(LabelPosYStepper));
  enh_.LabelY = word(LabelPosYStepper);
  labelEdited();
}

void wcDispObjEnhEdit::LabelTopLayerCheck_Changed() {
  setOption(kEnhLabelTopLayer, LabelTopLayerCheck->isChecked());
  labelEdited();
}
