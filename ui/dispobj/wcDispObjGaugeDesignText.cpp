// The gauge designer's texts: the label, the numbers along the scale
// (drawn in the label's colour, font and style, so each of their controls
// switches the label's colour on) and the readout of the value.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

#include "platform/graphics/text_raster.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/record_bindings.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/gauge_edit.h"
#include "ui/dispobj/number_pair.h"
#include "ui/dispobj/wcDispObjGaugeDesign.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kMaxTextSize = 200;
constexpr double kMaxPosition = 999; // 1000 and above mean automatic

QComboBox* fontList(const char* name, QWidget* parent) {
  QComboBox* combo = DispObjPanel::typableList(name, parent);
  combo->setMinimumContentsLength(16);
  return combo;
}

double wholeSize(float size) { return std::isfinite(size) ? std::trunc(size) : 0; }

// A text's look: switch and colour, font, size, bold and italic.
struct TextRowOutlets {
  QCheckBox*& on;
  NSColorWellCustom*& color;
  QComboBox*& font;
  TextField*& sizeText;
  RealStepper*& sizeStepper;
  QCheckBox*& bold;
  QCheckBox*& italic;
  const char* prefix;
};

void buildLook(QGridLayout* grid, int& r, const TextRowOutlets& o, const QString& title) {
  QWidget* box = grid->parentWidget();
  const QString p = o.prefix;
  o.on = DispObjPanel::checkBox(title, p == "Label" ? "DoLabelCheck" : "DoNumberCheck", box);
  o.color = DispObjPanel::colorWell((p + "Color").toUtf8().constData(), box);
  grid->addWidget(o.on, r, 0);
  grid->addWidget(o.color, r++, 1, Qt::AlignLeft);
  o.font = fontList((p + "FontSelection").toUtf8().constData(), box);
  grid->addWidget(new QLabel("Font:", box), r, 0);
  grid->addWidget(o.font, r++, 1, 1, 3);
  grid->addWidget(new QLabel("Size:", box), r, 0);
  grid->addLayout(DispObjPanel::numberField(o.sizeText, o.sizeStepper, p + "Size", 1, kMaxTextSize, 1, box, 50), r, 1);
  o.bold = DispObjPanel::checkBox("Bold", (p + "BoldCheck").toUtf8().constData(), box);
  o.italic = DispObjPanel::checkBox("Italic", (p + "ItalicCheck").toUtf8().constData(), box);
  grid->addWidget(o.bold, r, 2);
  grid->addWidget(o.italic, r++, 3);
}

void buildPosition(QGridLayout* grid, int& r, QCheckBox*& autoCheck, TextField*& xText, RealStepper*& xStepper,
                   TextField*& yText, RealStepper*& yStepper, const char* prefix) {
  QWidget* box = grid->parentWidget();
  const QString p = prefix;
  autoCheck = DispObjPanel::checkBox("Automatic position", (p + "PosAutoCheck").toUtf8().constData(), box);
  autoCheck->setToolTip("Off: placed at X and Y on the gauge's 312 x 312 drawing");
  grid->addWidget(autoCheck, r++, 0, 1, 4);
  grid->addWidget(new QLabel("X:", box), r, 0);
  grid->addLayout(DispObjPanel::numberField(xText, xStepper, p + "PosX", 0, kMaxPosition, 1, box, 50), r, 1);
  grid->addWidget(new QLabel("Y:", box), r, 2, Qt::AlignRight);
  grid->addLayout(DispObjPanel::numberField(yText, yStepper, p + "PosY", 0, kMaxPosition, 1, box, 50), r++, 3);
}

} // namespace

QWidget* wcDispObjGaugeDesign::buildTextPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* column = new QVBoxLayout(page);

  auto* label = new QGroupBox("Label", page);
  auto* lg = new QGridLayout(label);
  int r = 0;
  LabelText = new TextField(label);
  LabelText->setObjectName("LabelText");
  LabelText->setPlaceholderText("Label text, such as a unit");
  lg->addWidget(new QLabel("Text:", label), r, 0);
  lg->addWidget(LabelText, r++, 1, 1, 3);
  buildLook(lg, r, {DoLabelCheck, LabelColor, LabelFontSelection, LabelSizeText, LabelSizeStepper, LabelBoldCheck,
                    LabelItalicCheck, "Label"},
            "Colour:");
  buildPosition(lg, r, LabelPosAutoCheck, LabelPosXText, LabelPosXStepper, LabelPosYText, LabelPosYStepper, "Label");
  lg->setColumnStretch(3, 1);
  column->addWidget(label);

  auto* numbers = new QGroupBox("Scale Numbers", page);
  auto* ng = new QGridLayout(numbers);
  MarkNumbersCheck = DispObjPanel::checkBox("Numbers along the scale", "MarkNumbersCheck", numbers);
  MarkNumbersCheck->setToolTip("In the label's colour, font and style, at each major step");
  ng->addWidget(MarkNumbersCheck, 0, 0, 1, 2);
  MarkNumbersUnitsSelection = new QComboBox(numbers);
  MarkNumbersUnitsSelection->setObjectName("MarkNumbersUnitsSelection");
  MarkNumbersUnitsSelection->setToolTip("Numbers divided by 1000, 100 or 10");
  ng->addWidget(new QLabel("Units:", numbers), 1, 0);
  ng->addWidget(MarkNumbersUnitsSelection, 1, 1);
  ng->addWidget(new QLabel("Size:", numbers), 1, 2, Qt::AlignRight);
  ng->addLayout(DispObjPanel::numberField(IntervalSizeText, IntervalSizeStepper, "IntervalSize", 1, kMaxTextSize, 1,
                                          numbers, 50),
                1, 3);
  MarkNumbers2Check = DispObjPanel::checkBox("Every second step", "MarkNumbers2Check", numbers);
  MarkNumbersMinMaxCheck = DispObjPanel::checkBox("Number the ends", "MarkNumbersMinMaxCheck", numbers);
  MarkNumbersLimitClutterCheck = DispObjPanel::checkBox("Limit clutter", "MarkNumbersLimitClutterCheck", numbers);
  MarkNumbersLimitClutterCheck->setToolTip("Leave numbers out until they fit");
  ng->addWidget(MarkNumbers2Check, 2, 0, 1, 2);
  ng->addWidget(MarkNumbersMinMaxCheck, 2, 2, 1, 2);
  ng->addWidget(MarkNumbersLimitClutterCheck, 3, 0, 1, 2);
  ng->setColumnStretch(3, 1);
  column->addWidget(numbers);

  auto* readout = new QGroupBox("Readout", page);
  auto* rg = new QGridLayout(readout);
  r = 0;
  buildLook(rg, r, {DoNumberCheck, NumberColor, NumberFontSelection, NumberSizeText, NumberSizeStepper, NumberBoldCheck,
                    NumberItalicCheck, "Number"},
            "Colour:");
  DoNumberDecimalCheck = DispObjPanel::checkBox("Two decimals", "DoNumberDecimalCheck", readout);
  rg->addWidget(DoNumberDecimalCheck, r++, 1, 1, 3);
  buildPosition(rg, r, NumberPosAutoCheck, NumberPosXText, NumberPosXStepper, NumberPosYText, NumberPosYStepper,
                "Number");
  rg->setColumnStretch(3, 1);
  column->addWidget(readout);
  column->addStretch(1);
  return page;
}

void wcDispObjGaugeDesign::connectText() {
  // A look of a text is asked for to be seen: it switches the text on.
  auto labelWritten = [this]() { textEdited(DoLabelCheck); };
  auto numberWritten = [this]() { textEdited(DoNumberCheck); };
  const NumberBinder label(this, labelWritten);
  text_.labelSize = label.whole(LabelSizeText, LabelSizeStepper, gauge_.LabelSize);
  text_.intervalSize = label.whole(IntervalSizeText, IntervalSizeStepper, gauge_.IntervalSize);
  text_.labelX = label.whole(LabelPosXText, LabelPosXStepper, gauge_.LabelX);
  text_.labelY = label.whole(LabelPosYText, LabelPosYStepper, gauge_.LabelY);
  const NumberBinder number(this, numberWritten);
  text_.numberSize = number.whole(NumberSizeText, NumberSizeStepper, gauge_.NumberSize);
  text_.numberX = number.whole(NumberPosXText, NumberPosXStepper, gauge_.NumberX);
  text_.numberY = number.whole(NumberPosYText, NumberPosYStepper, gauge_.NumberY);
  auto onClick = [this](QCheckBox* box, void (wcDispObjGaugeDesign::*action)()) {
    connect(box, &QCheckBox::clicked, this, action);
  };
  onClick(DoLabelCheck, &wcDispObjGaugeDesign::UpdatePreview);
  onClick(DoNumberCheck, &wcDispObjGaugeDesign::UpdatePreview);
  onClick(LabelPosAutoCheck, &wcDispObjGaugeDesign::LabelPosAutoCheck_Changed);
  onClick(MarkNumbersCheck, &wcDispObjGaugeDesign::MarkNumbersCheck_Changed);
  onClick(NumberPosAutoCheck, &wcDispObjGaugeDesign::NumberPosAutoCheck_Changed);
  textOptions_.labelStyle = new OptionChecks(
      gauge_.LabelStyle, {{LabelBoldCheck, kTextBold}, {LabelItalicCheck, kTextItalic}}, labelWritten, this);
  textOptions_.numberStyle = new OptionChecks(
      gauge_.NumberStyle, {{NumberBoldCheck, kTextBold}, {NumberItalicCheck, kTextItalic}}, numberWritten, this);
  textOptions_.decimals =
      new OptionChecks(gauge_.Options, {{DoNumberDecimalCheck, kGaugeTwoDecimals}}, numberWritten, this);
  connect(LabelText, &TextField::changed, this, &wcDispObjGaugeDesign::LabelText_Changed);
  new ColorElements(this,
                    {{LabelColor, &gauge_.LabelColor, DoLabelCheck}, {NumberColor, &gauge_.NumberColor, DoNumberCheck}},
                    [this]() { UpdatePreview(); });
  connect(MarkNumbersUnitsSelection, &QComboBox::activated, this,
          &wcDispObjGaugeDesign::MarkNumbersUnitsSelection_Changed);
  DispObjPanel::onListChosen(LabelFontSelection, this, &wcDispObjGaugeDesign::LabelFontSelection_Changed);
  DispObjPanel::onListChosen(NumberFontSelection, this, &wcDispObjGaugeDesign::NumberFontSelection_Changed);
  // The numbers' sub-options switch the numbers on.
  numberOptions_ = new OptionChecks(gauge_.MarkNumberType,
                                    {{MarkNumbers2Check, kGaugeNumbersEverySecond},
                                     {MarkNumbersMinMaxCheck, kGaugeNumbersEnds},
                                     {MarkNumbersLimitClutterCheck, kGaugeNumbersLimitClutter}},
                                    labelWritten, this, {MarkNumbersCheck, kGaugeNumbersOn});
}

void wcDispObjGaugeDesign::loadReadoutAndLabel() {
  DispObjPanel::showElement(DoNumberCheck, NumberColor, gauge_.NumberColor);
  textOptions_.decimals->show();
  NumberFontSelection->setCurrentText(W16ToNSString(gauge_.NumberFont));
  text_.numberSize->show(wholeSize(gauge_.NumberSize));
  textOptions_.numberStyle->show();
  showPosition(NumberPosAutoCheck, text_.numberX, text_.numberY, {gauge_.NumberX, gauge_.NumberY},
               {kGaugeNumberAutoX, kGaugeNumberAutoY});

  LabelText->setText(W16ToNSString(gauge_.Label));
  DispObjPanel::showElement(DoLabelCheck, LabelColor, gauge_.LabelColor);
  LabelFontSelection->setCurrentText(W16ToNSString(gauge_.LabelFont));
  text_.labelSize->show(wholeSize(gauge_.LabelSize));
  text_.intervalSize->show(wholeSize(gauge_.IntervalSize));
  textOptions_.labelStyle->show();
  showPosition(LabelPosAutoCheck, text_.labelX, text_.labelY, {gauge_.LabelX, gauge_.LabelY},
               {kGaugeLabelAutoX, kGaugeLabelAutoY});
}

// A text's place: automatic (the X and Y fields showing where that is, and
// disabled) or where the record puts it.
void wcDispObjGaugeDesign::showPosition(QCheckBox* autoCheck, NumberPair* x, NumberPair* y,
                                        std::pair<uint16_t, uint16_t> stored,
                                        std::pair<uint16_t, uint16_t> automatic) {
  const bool isAuto = GaugePosIsAuto(stored.first, stored.second);
  autoCheck->setChecked(isAuto);
  x->show(isAuto ? automatic.first : stored.first);
  y->show(isAuto ? automatic.second : stored.second);
  x->setEnabled(!isAuto);
  y->setEnabled(!isAuto);
}

// The automatic check stores the automatic place, or the one the fields
// show, and switches the text on.
void wcDispObjGaugeDesign::positionAutoChanged(const QCheckBox* autoCheck, std::pair<NumberPair*, NumberPair*> xy,
                                               uint16_t& storedX, uint16_t& storedY, QCheckBox* textSwitch) {
  const bool automatic = autoCheck->isChecked();
  storedX = automatic ? kGaugeAutoPos : static_cast<uint16_t>(xy.first->intValue());
  storedY = automatic ? kGaugeAutoPos : static_cast<uint16_t>(xy.second->intValue());
  xy.first->setEnabled(!automatic);
  xy.second->setEnabled(!automatic);
  textEdited(textSwitch);
}

void wcDispObjGaugeDesign::fontChosen(const QComboBox* list, char16_t (&font)[kNameLength], QCheckBox* textSwitch) {
  DispObjPanel::storeText(font, list->currentText());
  textEdited(textSwitch);
}

void wcDispObjGaugeDesign::textEdited(QCheckBox* textSwitch) {
  textSwitch->setChecked(true);
  UpdatePreview();
}

void wcDispObjGaugeDesign::loadNumberOptions() {
  const uint8_t type = gauge_.MarkNumberType;
  const bool on = (type & kGaugeNumbersOn) != 0;
  MarkNumbersCheck->setChecked(on);
  for (QWidget* w : std::initializer_list<QWidget*>{MarkNumbersUnitsSelection, MarkNumbersMinMaxCheck, MarkNumbers2Check})
    UISetControlEnabled(w, on);
  numberOptions_->show();
  MarkNumbersUnitsSelection->clear();
  MarkNumbersUnitsSelection->addItems(GaugeNumberUnitNames());
  MarkNumbersUnitsSelection->setCurrentText(GaugeNumberUnitName(type));
}

void wcDispObjGaugeDesign::LabelText_Changed() {
  DispObjPanel::storeText(gauge_.Label, LabelText->text());
  UpdatePreview();
}

void wcDispObjGaugeDesign::LabelFontSelection_Changed() {
  fontChosen(LabelFontSelection, gauge_.LabelFont, DoLabelCheck);
}

void wcDispObjGaugeDesign::LabelPosAutoCheck_Changed() {
  positionAutoChanged(LabelPosAutoCheck, {text_.labelX, text_.labelY}, gauge_.LabelX, gauge_.LabelY, DoLabelCheck);
}

void wcDispObjGaugeDesign::MarkNumbersCheck_Changed() {
  const bool on = MarkNumbersCheck->isChecked();
  setMarkNumberBit(kGaugeNumbersOn, on);
  for (QWidget* w : std::initializer_list<QWidget*>{MarkNumbersUnitsSelection, MarkNumbersMinMaxCheck, MarkNumbers2Check})
    UISetControlEnabled(w, on);
  DoLabelCheck->setChecked(true);
  UpdatePreview();
}

// The sub-options switch the numbers on; the other sub-options keep the
// enabling they had until the numbers' own box is used.
void wcDispObjGaugeDesign::MarkNumbersUnitsSelection_Changed() {
  gauge_.MarkNumberType = static_cast<uint8_t>((gauge_.MarkNumberType & ~kGaugeNumbersUnitMask) |
                                               GaugeNumberUnitBits(MarkNumbersUnitsSelection->currentText()));
  setMarkNumberBit(kGaugeNumbersOn, true);
  MarkNumbersCheck->setChecked(true);
  DoLabelCheck->setChecked(true);
  UpdatePreview();
}

void wcDispObjGaugeDesign::NumberFontSelection_Changed() {
  fontChosen(NumberFontSelection, gauge_.NumberFont, DoNumberCheck);
}

void wcDispObjGaugeDesign::NumberPosAutoCheck_Changed() {
  positionAutoChanged(NumberPosAutoCheck, {text_.numberX, text_.numberY}, gauge_.NumberX, gauge_.NumberY,
                      DoNumberCheck);
}
