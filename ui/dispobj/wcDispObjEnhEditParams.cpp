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

#include "model/dispobjs.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/enh_param_edit.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/number_pair.h"
#include "ui/dispobj/record_bindings.h"
#include "ui/dispobj/wcDispObjEnhEdit.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kRangeLimit = 9999999;
constexpr double kMaxWord = 65535; // u16 fields
constexpr double kMaxTextSize = 500;

double wholeSize(float size) { return std::isfinite(size) ? std::trunc(size) : 0; }

// A titled group of the parameter box; the grid its rows go in.
QGridLayout* groupGrid(const QString& title, QWidget* parent) {
  auto* grid = new QGridLayout(new QGroupBox(title, parent));
  grid->setVerticalSpacing(4);
  return grid;
}

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
  QGridLayout* grid = groupGrid("Data", parent);
  QWidget* group = grid->parentWidget();
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
  QGridLayout* grid = groupGrid("Label", parent);
  QWidget* group = grid->parentWidget();
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
  QGridLayout* grid = groupGrid("Colours", parent);
  QWidget* group = grid->parentWidget();
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
  auto written = [this]() { UpdatePreview(); };
  auto labelWritten = [this]() { labelEdited(); };
  options_.trigger = new OptionChecks(enh_.Options, {{TriggerCheck, kEnhTrigger}}, written, this);
  options_.labelLayer = new OptionChecks(enh_.Options, {{LabelTopLayerCheck, kEnhLabelTopLayer}}, labelWritten, this);
  options_.labelStyle = new OptionChecks(
      enh_.LabelStyle, {{LabelBoldCheck, kEnhLabelBold}, {LabelItalicCheck, kEnhLabelItalic}}, labelWritten, this);
  bindNumbers();
  connect(DoLabelCheck, &QCheckBox::clicked, this, &E::DoLabelCheck_Changed);
  connect(LabelText, &TextField::changed, this, &E::LabelText_Changed);
  connect(LabelColor, &NSColorWellCustom::changed, this, &E::LabelColor_Changed);
  for (int i = 0; i < kEnhColors; ++i)
    connect(Color[i], &NSColorWellCustom::changed, this, [this, i]() { Color_Changed(i); });
}

void wcDispObjEnhEdit::bindNumbers() {
  const NumberBinder bind(this, [this]() { UpdatePreview(); });
  numbers_.sizeX = bind.whole(SizeXText, SizeXStepper, enh_.SizeX);
  numbers_.sizeY = bind.whole(SizeYText, SizeYStepper, enh_.SizeY);
  numbers_.labelSize = bind.whole(LabelSizeText, LabelSizeStepper, enh_.LabelSize, DoLabelCheck);
  numbers_.labelX = bind.whole(LabelPosXText, LabelPosXStepper, enh_.LabelX, DoLabelCheck);
  numbers_.labelY = bind.whole(LabelPosYText, LabelPosYStepper, enh_.LabelY, DoLabelCheck);
  numbers_.colorCount = NumberBinder(this, [this]() {
                          UpdateColorControls();
                          UpdatePreview();
                        }).whole(ColorCountText, ColorCountStepper, enh_.ColorCount);
  // Entering the value already stored leaves the trigger as it is; a new
  // value switches it on.
  numbers_.trigger = new NumberPair(
      TriggerText, TriggerStepper, NumberPair::Kind::kReal,
      [this](double value) {
        if (!EnhTriggerDiffers(value, enh_.TriggerValue)) return;
        enh_.TriggerValue = value;
        TriggerCheck->setChecked(true);
        SetOptionBits(enh_.Options, kEnhTrigger, true);
        UpdatePreview();
      },
      this);
}

void wcDispObjEnhEdit::fillParams(const DispStruct& common) {
  LabelFontSelection->clear();
  LabelFontSelection->setEditText("");
  LabelFontSelection->addItems(AppDelegate::SystemFonts());
  state_.OurInputID = common.InputID;
  Range->Load(enh_.Field, enh_.Min, enh_.Max, state_.OurInputID);
  options_.trigger->show();
  numbers_.trigger->show(enh_.TriggerValue);

  numbers_.sizeX->show(enh_.SizeX);
  numbers_.sizeY->show(enh_.SizeY);
  numbers_.colorCount->show(enh_.ColorCount);
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
  numbers_.labelSize->show(wholeSize(enh_.LabelSize));
  options_.labelStyle->show();
  numbers_.labelX->show(enh_.LabelX);
  numbers_.labelY->show(enh_.LabelY);
  options_.labelLayer->show();
}

void wcDispObjEnhEdit::SetFieldColor() { Range->SetFieldColor(); }

// Any edit of the label's look means the user wants to see it.
void wcDispObjEnhEdit::labelEdited() {
  DoLabelCheck->setChecked(true);
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
