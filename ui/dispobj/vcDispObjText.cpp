#include "ui/dispobj/vcDispObjText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/error.h"
#include "model/dispobjs.h"
#include "platform/graphics/font_map.h"
#include "platform/graphics/text_raster.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/number_pair.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace {

struct ModeTitle {
  const char* title;
  uint8_t value;
};

const ModeTitle kModes[] = {
    {"Number Only", kTextDataNumberOnly},
    {"Number & Text", kTextDataNumberText},
    {"Text & Number", kTextDataTextNumber},
    {"Text Only", kTextDataTextOnly},
    {"Number Only - Flash", kTextDataNumberOnly | kTextDataFlash},
    {"Number & Text - Flash", kTextDataNumberText | kTextDataFlash},
    {"Text & Number - Flash", kTextDataTextNumber | kTextDataFlash},
    {"Text Only - Flash", kTextDataTextOnly | kTextDataFlash},
};

// The growth that gives fixed-size text room once the box stops following
// it (percent of the frame).
constexpr float kGrowWidth = 1.5f, kGrowHeight = 3.5f;

constexpr double kMaxSize = 999;
constexpr double kMaxDigits = 10;
constexpr double kMaxDecimals = 6;
constexpr double kMaxHold = 25.5; // seconds: the tenths must fit a byte
constexpr double kRangeLimit = 99999999;

bool isNumberOnly(uint8_t mode) { return (mode & kTextDataModeMask) == kTextDataNumberOnly; }

} // namespace

vcDispObjText::vcDispObjText(wcDispObjEdit* owner) : DispObjPanel(kPanelText, "vcDispObjText", owner) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 4, 6, 4);
  outer->setSpacing(4);
  buildDataBox();
  buildTextBox();
  outer->addWidget(DataBox);
  outer->addWidget(TextBox);
  bindNumbers();
}

// In the order of the boxes; the hold time is stored in tenths of a second.
void vcDispObjText::bindNumbers() {
  const NumberBinder bind(this, [this]() { UpdatePreview(); });
  numbers_.digits = bind.whole(DigitsText, DigitsStepper, text_.Digits);
  numbers_.decimals = bind.whole(DecimalsText, DecimalsStepper, text_.DecimalPlaces);
  numbers_.lapHold = new NumberPair(
      LapHoldText, LapHoldStepper, NumberPair::Kind::kReal,
      [this](double v) {
        text_.DataParam = static_cast<uint8_t>(RoundFloat(static_cast<float>(v * 10)) & 0xFF);
        UpdatePreview();
      },
      this, 1);
  numbers_.min = bind.real(MinText, MinStepper, text_.MinRange);
  numbers_.max = bind.real(MaxText, MaxStepper, text_.MaxRange);
  numbers_.size = bind.whole(SizeText, SizeStepper, text_.Size);
}

void vcDispObjText::buildTextBox() {
  TextBox = new QGroupBox("Text", this);
  TextBox->setObjectName("TextBox");
  auto* grid = new QGridLayout(TextBox);
  grid->setVerticalSpacing(4);

  Text = new QPlainTextEdit(TextBox);
  Text->setObjectName("Text");
  Text->setTabChangesFocus(true);
  Text->setFixedHeight(52);
  grid->addWidget(Text, 0, 0, 1, 4);
  ApplyButton = new QPushButton("Apply", TextBox);
  ApplyButton->setObjectName("ApplyButton");
  ApplyButton->setToolTip("Shows the typed text on the object");
  grid->addWidget(ApplyButton, 1, 3, Qt::AlignRight);

  FontSelection = new QComboBox(TextBox);
  FontSelection->setObjectName("FontSelection");
  FontSelection->setEditable(true);
  FontSelection->setInsertPolicy(QComboBox::NoInsert);
  FontSelection->setLineEdit(new TextField(FontSelection));
  FontSelection->setMaxVisibleItems(20);
  FontSelection->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  grid->addWidget(new QLabel("Font:", TextBox), 2, 0);
  grid->addWidget(FontSelection, 2, 1, 1, 3);

  grid->addWidget(new QLabel("Size:", TextBox), 3, 0);
  grid->addLayout(numberField(SizeText, SizeStepper, "Size", 1, kMaxSize, 1, TextBox, 44), 3, 1);
  Color = colorWell("Color", TextBox);
  grid->addWidget(new QLabel("Colour:", TextBox), 3, 2, Qt::AlignRight);
  grid->addWidget(Color, 3, 3, Qt::AlignLeft);

  auto* styles = new QHBoxLayout();
  BoldCheck = checkBox("Bold", "BoldCheck", TextBox);
  ItalicCheck = checkBox("Italic", "ItalicCheck", TextBox);
  UnderlineCheck = checkBox("Underline", "UnderlineCheck", TextBox);
  StrikeCheck = checkBox("Strike", "StrikeCheck", TextBox);
  StrikeCheck->setToolTip("Strike-through");
  for (QCheckBox* c : {BoldCheck, ItalicCheck, UnderlineCheck, StrikeCheck}) styles->addWidget(c);
  styles->addStretch(1);
  grid->addLayout(styles, 4, 0, 1, 4);

  AlignmentMatrix = new QButtonGroup(TextBox);
  LeftButton = new QRadioButton("Left", TextBox);
  CenterButton = new QRadioButton("Centre", TextBox);
  RightButton = new QRadioButton("Right", TextBox);
  LeftButton->setObjectName("LeftButton");
  CenterButton->setObjectName("CenterButton");
  RightButton->setObjectName("RightButton");
  auto* align = new QHBoxLayout();
  int id = kTextAlignLeft;
  for (QRadioButton* b : {LeftButton, CenterButton, RightButton}) {
    AlignmentMatrix->addButton(b, id++);
    align->addWidget(b);
  }
  align->addStretch(1);
  grid->addWidget(new QLabel("Align:", TextBox), 5, 0);
  grid->addLayout(align, 5, 1, 1, 3);

  AutoSizeCheck = checkBox("Size box to fit the text", "AutoSizeCheck", TextBox);
  AutoSizeCheck->setToolTip("The object's box follows the size of its text");
  grid->addWidget(AutoSizeCheck, 6, 0, 1, 4);
  // Kept for records that carry an outline; the panel does not offer it.
  OutlineCheck = checkBox("Outline", "OutlineCheck", TextBox);
  OutlineColor = colorWell("OutlineColor", TextBox);
  grid->addWidget(OutlineCheck, 7, 0);
  grid->addWidget(OutlineColor, 7, 1, Qt::AlignLeft);
  OutlineCheck->hide();
  OutlineColor->hide();
  grid->setColumnStretch(1, 1);

  connect(ApplyButton, &QPushButton::clicked, this, &vcDispObjText::ApplyButton_Pressed);
  onListChosen(FontSelection, this, &vcDispObjText::FontSelection_Changed);
  connect(Color, &NSColorWellCustom::changed, this, &vcDispObjText::Color_Changed);
  for (QCheckBox* c : {BoldCheck, ItalicCheck, UnderlineCheck, StrikeCheck})
    connect(c, &QCheckBox::clicked, this, &vcDispObjText::StyleCheck_Changed);
  connect(AlignmentMatrix, &QButtonGroup::idClicked, this, &vcDispObjText::AlignmentMatrix_Changed);
  connect(AutoSizeCheck, &QCheckBox::clicked, this, &vcDispObjText::AutoSizeCheck_Changed);
  connect(OutlineCheck, &QCheckBox::clicked, this, &vcDispObjText::OutlineCheck_Changed);
  connect(OutlineColor, &NSColorWellCustom::changed, this, &vcDispObjText::OutlineColor_Changed);
}

void vcDispObjText::buildDataBox() {
  DataBox = new QGroupBox("Data", this);
  DataBox->setObjectName("DataBox");
  auto* grid = new QGridLayout(DataBox);
  grid->setVerticalSpacing(4);

  FieldLabel = new QLabel("Channel:", DataBox);
  FieldLabel->setObjectName("FieldLabel");
  FieldSelection = typableList("FieldSelection", DataBox);
  grid->addWidget(FieldLabel, 0, 0);
  grid->addWidget(FieldSelection, 0, 1, 1, 3);

  ModeSelection = new QComboBox(DataBox);
  ModeSelection->setObjectName("ModeSelection");
  grid->addWidget(new QLabel("Show:", DataBox), 1, 0);
  grid->addWidget(ModeSelection, 1, 1, 1, 3);

  grid->addWidget(new QLabel("Digits:", DataBox), 2, 0);
  grid->addLayout(numberField(DigitsText, DigitsStepper, "Digits", 0, kMaxDigits, 1, DataBox, 36), 2, 1);
  DigitsText->setToolTip("Least number of digits before the point (filled with zeros)");
  grid->addWidget(new QLabel("Decimals:", DataBox), 2, 2, Qt::AlignRight);
  grid->addLayout(numberField(DecimalsText, DecimalsStepper, "Decimals", 0, kMaxDecimals, 1, DataBox, 36), 2, 3);

  LapHoldLabel = new QLabel("Hold:", DataBox);
  LapHoldLabel->setObjectName("LapHoldLabel");
  LapHoldLabel->setToolTip("How long the last lap's time stays shown after each lap");
  grid->addWidget(LapHoldLabel, 3, 0);
  auto* holdRow = numberField(LapHoldText, LapHoldStepper, "LapHold", 0, kMaxHold, 0.1, DataBox, 44);
  LapHoldUnit = new QLabel("seconds", DataBox);
  holdRow->insertWidget(2, LapHoldUnit);
  grid->addLayout(holdRow, 3, 1, 1, 3);

  TotalLapsCheck = checkBox("Show the number of laps", "TotalLapsCheck", DataBox);
  grid->addWidget(TotalLapsCheck, 4, 0, 1, 4);

  MinManualCheck = checkBox("Min:", "MinManualCheck", DataBox);
  MinManualCheck->setToolTip("Shows the number only while the value is at or above this");
  MaxManualCheck = checkBox("Max:", "MaxManualCheck", DataBox);
  MaxManualCheck->setToolTip("Shows the number only while the value is at or below this");
  grid->addWidget(MinManualCheck, 5, 0);
  grid->addLayout(numberField(MinText, MinStepper, "Min", -kRangeLimit, kRangeLimit, 1, DataBox, 80), 5, 1, 1, 3);
  grid->addWidget(MaxManualCheck, 6, 0);
  grid->addLayout(numberField(MaxText, MaxStepper, "Max", -kRangeLimit, kRangeLimit, 1, DataBox, 80), 6, 1, 1, 3);
  grid->setColumnStretch(1, 1);

  onListChosen(FieldSelection, this, &vcDispObjText::FieldSelection_Changed);
  connect(ModeSelection, &QComboBox::activated, this, &vcDispObjText::ModeSelection_Changed);
  connect(TotalLapsCheck, &QCheckBox::clicked, this, &vcDispObjText::TotalLapsCheck_Changed);
  connect(MinManualCheck, &QCheckBox::clicked, this, &vcDispObjText::MinManualCheck_Changed);
  connect(MaxManualCheck, &QCheckBox::clicked, this, &vcDispObjText::MaxManualCheck_Changed);
}

QStringList vcDispObjText::ModeTitles() {
  QStringList titles;
  for (const ModeTitle& mode : kModes) titles << mode.title;
  return titles;
}

uint8_t vcDispObjText::ModeValueOf(const QString& title) {
  for (const ModeTitle& mode : kModes)
    if (title == mode.title) return mode.value;
  return kTextDataNumberOnly;
}

QString vcDispObjText::ModeTitleOf(uint8_t value) {
  for (const ModeTitle& mode : kModes)
    if (mode.value == value) return mode.title;
  return kModes[0].title;
}

bool vcDispObjText::SetData(uint32_t index) {
  DispStruct record{};
  if (!loadRecords(index, text_, record)) return false;
  LoadingData = true;
  type_ = record.Type;
  inputId_ = record.InputID;

  FontSelection->clear();
  FontSelection->setEditText("");
  FontSelection->addItems(AppDelegate::SystemFonts());
  const QString font = W16ToNSString(text_.Font);
  const int fontRow = FontSelection->findText(font, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (fontRow >= 0) FontSelection->setCurrentIndex(fontRow);
  else FontSelection->setEditText(font);
  showFontMapping();

  Text->setPlainText(W16ToNSString(text_.Text));
  showColor(Color, text_.Color);
  showColor(OutlineColor, text_.OutlineColor);
  OutlineCheck->setChecked(!ColorIsOff(text_.OutlineColor));
  BoldCheck->setChecked((text_.Style & kTextBold) != 0);
  ItalicCheck->setChecked((text_.Style & kTextItalic) != 0);
  UnderlineCheck->setChecked((text_.Style & kTextUnderline) != 0);
  StrikeCheck->setChecked((text_.Style & kTextStrike) != 0);
  const int align = text_.Options & kTextAlignMask;
  (align == kTextAlignRight ? RightButton : align == kTextAlignCenter ? CenterButton : LeftButton)->setChecked(true);
  AutoSizeCheck->setChecked((text_.Options & kTextAutoSize) != 0);
  numbers_.size->show(RoundFloat(text_.Size));

  if (type_ == kDispText) {
    Text->setEnabled(true);
    DataBox->hide();
  } else {
    loadDataControls();
    DataBox->show();
  }
  OutlineCheck->hide();
  OutlineColor->hide();
  LoadingData = false;
  return true;
}

void vcDispObjText::loadDataControls() {
  TotalLapsCheck->setVisible(type_ == kDispLapCount);
  UISetControlEnabled(FieldLabel, type_ != kDispLapCount);
  UISetControlEnabled(FieldSelection, type_ != kDispLapCount);
  const char* first = type_ == kDispTextData ? "(None)" : type_ == kDispLapTimer ? "(Lap Time)" : "(Automatic)";
  fillFieldCombo(FieldSelection, first, dataFieldNames(inputId_), W16ToNSString(text_.Field));

  ModeSelection->clear();
  ModeSelection->addItems(ModeTitles());
  ModeSelection->setCurrentIndex(ModeSelection->findText(ModeTitleOf(text_.DataMode)));
  enableTextForMode();

  numbers_.digits->show(text_.Digits);
  numbers_.decimals->show(text_.DecimalPlaces);
  const bool timer = type_ == kDispLapTimer;
  for (QWidget* w : std::initializer_list<QWidget*>{LapHoldLabel, LapHoldText, LapHoldStepper, LapHoldUnit})
    w->setVisible(timer);
  if (timer) numbers_.lapHold->show(text_.DataParam / 10.0);
  // A missing limit shows its check off with a neutral value to start from.
  const bool minSet = !TextMinRangeIsNone(text_.MinRange);
  const bool maxSet = !TextMaxRangeIsNone(text_.MaxRange);
  MinManualCheck->setChecked(minSet);
  numbers_.min->show(minSet ? text_.MinRange : 0);
  MaxManualCheck->setChecked(maxSet);
  numbers_.max->show(maxSet ? text_.MaxRange : 100);
  showRanges();
  TotalLapsCheck->setChecked((text_.DataOptions & kTextTotalLaps) != 0);
}

void vcDispObjText::showRanges() {
  numbers_.min->setEnabled(MinManualCheck->isChecked());
  numbers_.max->setEnabled(MaxManualCheck->isChecked());
}

// The font list holds the installed families; a stored name that is not
// one of them (a font of another system) is drawn with the face the font
// lookup maps it to, which the tip names.
void vcDispObjText::showFontMapping() {
  const QString font = FontSelection->currentText();
  const std::string face = font.isEmpty() ? std::string() : FontMapNameCopy(font.toStdString());
  FontSelection->setToolTip(face.empty() ? QString("No installed font draws this name")
                                         : QString("Drawn with %1").arg(QString::fromStdString(face)));
}

void vcDispObjText::enableTextForMode() {
  Text->setEnabled(!isNumberOnly(ModeValueOf(ModeSelection->currentText())));
}


void vcDispObjText::takeControls() {
  storeText(text_.Text, Text->toPlainText());
  const int align = AlignmentMatrix->checkedId();
  const uint8_t alignment = align == kTextAlignCenter || align == kTextAlignRight ? static_cast<uint8_t>(align)
                                                                                   : uint8_t{kTextAlignLeft};
  text_.Options = static_cast<uint8_t>((AutoSizeCheck->isChecked() ? kTextAutoSize : 0) | alignment);
  text_.OutlineColor = ColorSwitched(text_.OutlineColor, OutlineCheck->isChecked());
}

void vcDispObjText::UpdatePreview() {
  if (LoadingData) return;
  takeControls();
  if (writeParam(text_)) updateOtherPanels();
}

void vcDispObjText::MinManualCheck_Changed() {
  text_.MinRange = MinManualCheck->isChecked() ? MinStepper->value() : kTextNoMinRange;
  showRanges();
  UpdatePreview();
}

void vcDispObjText::MaxManualCheck_Changed() {
  text_.MaxRange = MaxManualCheck->isChecked() ? MaxStepper->value() : kTextNoMaxRange;
  showRanges();
  UpdatePreview();
}

void vcDispObjText::StyleCheck_Changed() {
  uint8_t style = text_.Style & static_cast<uint8_t>(~(kTextBold | kTextItalic | kTextUnderline | kTextStrike));
  if (BoldCheck->isChecked()) style |= kTextBold;
  if (ItalicCheck->isChecked()) style |= kTextItalic;
  if (UnderlineCheck->isChecked()) style |= kTextUnderline;
  if (StrikeCheck->isChecked()) style |= kTextStrike;
  text_.Style = style;
  UpdatePreview();
}

void vcDispObjText::TotalLapsCheck_Changed() {
  if (TotalLapsCheck->isChecked()) text_.DataOptions |= kTextTotalLaps;
  else text_.DataOptions &= static_cast<uint8_t>(~kTextTotalLaps);
  UpdatePreview();
}

// Picking from the list and typing then pressing Return can both report
// the same name: only a new name is written.
void vcDispObjText::FontSelection_Changed() {
  if (LoadingData) return;
  const QString font = FontSelection->currentText();
  showFontMapping();
  if (font == W16ToNSString(text_.Font)) return;
  storeText(text_.Font, font);
  UpdatePreview();
}

void vcDispObjText::FieldSelection_Changed() {
  if (!LoadingData && storeChosenField(FieldSelection, text_.Field, {"(Automatic)", "(None)", "(Lap Time)"}))
    UpdatePreview();
}

void vcDispObjText::ModeSelection_Changed() {
  text_.DataMode = ModeValueOf(ModeSelection->currentText());
  enableTextForMode();
  UpdatePreview();
}

// The text colour is kept as the well gives it, its alpha byte included;
// it is drawn whatever that byte holds.
void vcDispObjText::Color_Changed() {
  text_.Color = NSColorToColor(Color->color());
  UpdatePreview();
}

void vcDispObjText::OutlineColor_Changed() {
  text_.OutlineColor = NSColorToColor(OutlineColor->color());
  OutlineCheck->setChecked(true);
  UpdatePreview();
}

void vcDispObjText::AutoSizeCheck_Changed() {
  if (LoadingData) return;
  if (AutoSizeCheck->isChecked()) {
    UpdatePreview();
    return;
  }
  growBoxAndWrite();
}

// One checkpoint before both writes, so that Undo gives back the box and
// the automatic size together.
void vcDispObjText::growBoxAndWrite() {
  if (DispObjGet(OurIndex) == nullptr) return;
  takeControls();
  bool paramWritten = false;
  const bool boxWritten = writeCommon(
      [](DispStruct& r) {
        r.Width += kGrowWidth;
        r.Height += kGrowHeight;
        if (r.X + r.Width > 100) r.X = 100 - r.Width;
        if (r.Y + r.Height > 100) r.Y = 100 - r.Height;
      },
      false,
      [this, &paramWritten]() {
        paramWritten = DispObjSetParam(OurIndex, &text_) == 0;
        if (!paramWritten) ErrorShowLast();
      });
  if (boxWritten && paramWritten) updateOtherPanels();
}
