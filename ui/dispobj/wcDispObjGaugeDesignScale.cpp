// The gauge designer's scale and marks: value range, arc, two-part scale,
// major and minor marks with their shapes, sizes and spacing, the mark
// colours and the pins.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

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

constexpr double kValueLimit = 9999999;
const QString kDegrees = QString::fromUtf8("\u00B0");

QComboBox* shapeList(const char* name, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->setEditable(true); // the older names ("Drop", "Dash 2") may be typed
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setLineEdit(new TextField(combo));
  return combo;
}

QRadioButton* radio(const QString& title, const char* name, QWidget* parent) {
  auto* r = new QRadioButton(title, parent);
  r->setObjectName(name);
  return r;
}

} // namespace

QWidget* wcDispObjGaugeDesign::buildScalePage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* column = new QVBoxLayout(page);
  auto* range = new QGroupBox("Range and Arc", page);
  auto* grid = new QGridLayout(range);
  int r = 0;
  MinManualCheck = DispObjPanel::checkBox("Minimum:", "MinManualCheck", range);
  MinManualCheck->setToolTip("A fixed start of the scale; off: the channel's lowest value");
  grid->addWidget(MinManualCheck, r, 0);
  grid->addLayout(DispObjPanel::numberField(MinText, MinStepper, "Min", -kValueLimit, kValueLimit, 1, range, 90), r++,
                  1);
  MaxManualCheck = DispObjPanel::checkBox("Maximum:", "MaxManualCheck", range);
  MaxManualCheck->setToolTip("A fixed end of the scale; off: the channel's highest value");
  grid->addWidget(MaxManualCheck, r, 0);
  grid->addLayout(DispObjPanel::numberField(MaxText, MaxStepper, "Max", -kValueLimit, kValueLimit, 1, range, 90), r++,
                  1);
  grid->addWidget(new QLabel("Sweep:", range), r, 0);
  grid->addLayout(DispObjPanel::numberField(SweepDegText, SweepDegStepper, "SweepDeg", 1, 360, 1, range, 50, kDegrees),
                  r++, 1);
  CcwCheck = DispObjPanel::checkBox("Counter-clockwise", "CcwCheck", range);
  grid->addWidget(CcwCheck, r++, 1);
  StartDegManualCheck = DispObjPanel::checkBox("Start angle:", "StartDegManualCheck", range);
  StartDegManualCheck->setToolTip("Degrees from straight down; off: the arc is centred");
  grid->addWidget(StartDegManualCheck, r, 0);
  grid->addLayout(
      DispObjPanel::numberField(StartDegText, StartDegStepper, "StartDeg", 0, 359, 1, range, 50, kDegrees), r++, 1);
  grid->setColumnStretch(1, 1);
  column->addWidget(range);

  auto* twoPart = new QGroupBox("Two-Part Scale", page);
  auto* g2 = new QGridLayout(twoPart);
  StepMidCheck = DispObjPanel::checkBox("Joint at value:", "StepMidCheck", twoPart);
  StepMidCheck->setToolTip("The scale up to this value takes the first part of the arc, the rest the remainder");
  g2->addWidget(StepMidCheck, 0, 0);
  g2->addLayout(
      DispObjPanel::numberField(StepMidText, StepMidStepper, "StepMid", -kValueLimit, kValueLimit, 1, twoPart, 90), 0,
      1);
  g2->addWidget(new QLabel("Joint at angle:", twoPart), 1, 0);
  g2->addLayout(DispObjPanel::numberField(StepMidAngleText, StepMidAngleStepper, "StepMidAngle", 0, 360, 1, twoPart,
                                          50, kDegrees),
                1, 1);
  g2->setColumnStretch(1, 1);
  column->addWidget(twoPart);
  column->addStretch(1);
  return page;
}

QWidget* wcDispObjGaugeDesign::buildMarksPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* column = new QVBoxLayout(page);
  struct Kind {
    const char* title;
    QComboBox*& shape;
    TextField*& sizeText;
    RealStepper*& sizeStepper;
    QButtonGroup*& matrix;
    QRadioButton*& count;
    QRadioButton*& interval;
    TextField*& countText;
    RealStepper*& countStepper;
    TextField*& intervalText;
    RealStepper*& intervalStepper;
    const char* prefix;
  };
  const Kind kinds[] = {
      {"Major Marks", MarkTypeSelection, MarkSizeText, MarkSizeStepper, MarkMatrix, MarkCountButton,
       MarkIntervalButton, MarkCountText, MarkCountStepper, MarkIntervalText, MarkIntervalStepper, "Mark"},
      {"Minor Marks", MarkSmallTypeSelection, MarkSmallSizeText, MarkSmallSizeStepper, MarkSmallMatrix,
       MarkSmallCountButton, MarkSmallIntervalButton, MarkSmallCountText, MarkSmallCountStepper, MarkSmallIntervalText,
       MarkSmallIntervalStepper, "MarkSmall"},
  };
  for (const Kind& k : kinds) {
    auto* box = new QGroupBox(k.title, page);
    auto* grid = new QGridLayout(box);
    const QString prefix = k.prefix;
    k.shape = shapeList(prefix == "Mark" ? "MarkTypeSelection" : "MarkSmallTypeSelection", box);
    grid->addWidget(new QLabel("Shape:", box), 0, 0);
    grid->addWidget(k.shape, 0, 1);
    grid->addWidget(new QLabel("Size:", box), 1, 0);
    grid->addLayout(DispObjPanel::numberField(k.sizeText, k.sizeStepper, prefix + "Size", 0, 255, 1, box, 50), 1, 1);
    k.matrix = new QButtonGroup(box);
    k.count = radio("Sections:", (prefix + "CountButton").toUtf8().constData(), box);
    k.count->setToolTip(prefix == "Mark" ? "Equal sections of the whole scale"
                                         : "Equal sections of the scale for the minor marks");
    k.interval = radio("Every:", (prefix + "IntervalButton").toUtf8().constData(), box);
    k.interval->setToolTip("A mark at every multiple of this value");
    k.matrix->addButton(k.count, 0);
    k.matrix->addButton(k.interval, 1);
    grid->addWidget(k.count, 2, 0);
    grid->addLayout(DispObjPanel::numberField(k.countText, k.countStepper, prefix + "Count", 1, 256, 1, box, 50), 2,
                    1);
    grid->addWidget(k.interval, 3, 0);
    grid->addLayout(
        DispObjPanel::numberField(k.intervalText, k.intervalStepper, prefix + "Interval", 0, kValueLimit, 1, box, 90),
        3, 1);
    grid->setColumnStretch(1, 1);
    column->addWidget(box);
  }

  auto* look = new QGroupBox("Colours and Pins", page);
  auto* grid = new QGridLayout(look);
  MarkColor = DispObjPanel::colorWell("MarkColor", look);
  DoMarkColor2Check = DispObjPanel::checkBox("Second colour:", "DoMarkColor2Check", look);
  MarkColor2 = DispObjPanel::colorWell("MarkColor2", look);
  grid->addWidget(new QLabel("Marks:", look), 0, 0);
  grid->addWidget(MarkColor, 0, 1, Qt::AlignLeft);
  grid->addWidget(DoMarkColor2Check, 0, 2);
  grid->addWidget(MarkColor2, 0, 3, Qt::AlignLeft);
  DoPinsCheck = DispObjPanel::checkBox("Pins:", "DoPinsCheck", look);
  DoPinsCheck->setToolTip("Stops at both ends of the scale");
  PinColor = DispObjPanel::colorWell("PinColor", look);
  grid->addWidget(DoPinsCheck, 1, 0);
  grid->addWidget(PinColor, 1, 1, Qt::AlignLeft);
  grid->addWidget(new QLabel("Size:", look), 1, 2, Qt::AlignRight);
  grid->addLayout(DispObjPanel::numberField(PinSizeText, PinSizeStepper, "PinSize", 0, 255, 1, look, 50), 1, 3);
  grid->setColumnStretch(3, 1);
  column->addWidget(look);
  column->addStretch(1);
  return page;
}

void wcDispObjGaugeDesign::connectScale() {
  scale_.min = pair(MinText, MinStepper, true, [this](double v) { gauge_.Min = v; });
  scale_.max = pair(MaxText, MaxStepper, true, [this](double v) { gauge_.Max = v; });
  scale_.sweep = pair(SweepDegText, SweepDegStepper, false, [this](double v) { gauge_.SweepDeg = uint16_t(v); });
  scale_.startDeg = pair(StartDegText, StartDegStepper, false, [this](double v) { gauge_.StartDeg = uint16_t(v); });
  // Editing the joint switches the two-part scale on; the write then
  // switches it off again while the joint lies outside the range.
  scale_.stepMid = pair(StepMidText, StepMidStepper, true, [this](double v) {
    gauge_.StepMidValue = v;
    StepMidCheck->setChecked(true);
  });
  scale_.stepMidAngle = pair(StepMidAngleText, StepMidAngleStepper, false, [this](double v) {
    gauge_.StepMidAngle = uint16_t(v);
    StepMidCheck->setChecked(true);
  });
  scale_.markSize = pair(MarkSizeText, MarkSizeStepper, false, [this](double v) { gauge_.MarkSize = uint8_t(v); });
  scale_.markSmallSize =
      pair(MarkSmallSizeText, MarkSmallSizeStepper, false, [this](double v) { gauge_.MarkSmallSize = uint8_t(v); });
  scale_.markInterval = pair(MarkIntervalText, MarkIntervalStepper, true, [this](double v) {
    gauge_.MarkInterval = v;
    selectSpacing(true);
  });
  scale_.markSmallInterval = pair(MarkSmallIntervalText, MarkSmallIntervalStepper, true, [this](double v) {
    gauge_.MarkSmallInterval = v;
    selectSpacing(true);
  });
  // Counts show the number of sections, one more than the stored count.
  scale_.markCount = pair(MarkCountText, MarkCountStepper, false, [this](double v) {
    gauge_.MarkCount = static_cast<uint8_t>(static_cast<int>(v) - 1);
    selectSpacing(false);
  });
  scale_.markSmallCount = pair(MarkSmallCountText, MarkSmallCountStepper, false, [this](double v) {
    gauge_.MarkSmallCount = static_cast<uint8_t>(static_cast<int>(v) - 1);
    selectSpacing(false);
  });
  scale_.pinSize = pair(PinSizeText, PinSizeStepper, false, [this](double v) {
    gauge_.MarkPinSize = uint8_t(v);
    DoPinsCheck->setChecked(true);
  });
  auto onClick = [this](QAbstractButton* box, void (wcDispObjGaugeDesign::*action)()) {
    connect(box, &QAbstractButton::clicked, this, action);
  };
  onClick(MinManualCheck, &wcDispObjGaugeDesign::MinManualCheck_Changed);
  onClick(MaxManualCheck, &wcDispObjGaugeDesign::MaxManualCheck_Changed);
  onClick(StartDegManualCheck, &wcDispObjGaugeDesign::StartDegManualCheck_Changed);
  onClick(StepMidCheck, &wcDispObjGaugeDesign::StepMidCheck_Changed);
  onClick(DoMarkColor2Check, &wcDispObjGaugeDesign::UpdatePreview);
  onClick(DoPinsCheck, &wcDispObjGaugeDesign::UpdatePreview);
  connect(MarkMatrix, &QButtonGroup::buttonClicked, this, &wcDispObjGaugeDesign::MarkMatrix_Changed);
  connect(MarkSmallMatrix, &QButtonGroup::buttonClicked, this, &wcDispObjGaugeDesign::MarkSmallMatrix_Changed);
  DispObjPanel::onListChosen(MarkTypeSelection, this, &wcDispObjGaugeDesign::MarkTypeSelection_Changed);
  DispObjPanel::onListChosen(MarkSmallTypeSelection, this, &wcDispObjGaugeDesign::MarkSmallTypeSelection_Changed);
  new ColorElements(this,
                    {{MarkColor, &gauge_.MarkColor}, {MarkColor2, &gauge_.MarkColor2, DoMarkColor2Check},
                     {PinColor, &gauge_.MarkPinColor, DoPinsCheck}},
                    [this]() { UpdatePreview(); });
}

void wcDispObjGaugeDesign::loadRangeAndArc() {
  const bool minSet = !RangeMinIsAuto(gauge_.Min), maxSet = !RangeMaxIsAuto(gauge_.Max);
  MinManualCheck->setChecked(minSet);
  scale_.min->show(minSet ? gauge_.Min : 0);
  scale_.min->setEnabled(minSet);
  MaxManualCheck->setChecked(maxSet);
  scale_.max->show(maxSet ? gauge_.Max : 100);
  scale_.max->setEnabled(maxSet);
  scale_.sweep->show(gauge_.SweepDeg);
  const bool startSet = gauge_.StartDeg < kGaugeAutoStart;
  StartDegManualCheck->setChecked(startSet);
  scale_.startDeg->show(startSet ? gauge_.StartDeg : 0);
  scale_.startDeg->setEnabled(startSet);
}

// The second mark colour is carried through but not offered.
void wcDispObjGaugeDesign::loadMarkColors() {
  DispObjPanel::showColor(MarkColor, gauge_.MarkColor);
  DoMarkColor2Check->setChecked(!ColorIsOff(gauge_.MarkColor2));
  DispObjPanel::showColor(MarkColor2, gauge_.MarkColor2);
  DoMarkColor2Check->setVisible(false);
  MarkColor2->setVisible(false);
}

void wcDispObjGaugeDesign::loadMarks() {
  DoPinsCheck->setChecked(!ColorIsOff(gauge_.MarkPinColor));
  DispObjPanel::showColor(PinColor, gauge_.MarkPinColor);
  scale_.pinSize->show(gauge_.MarkPinSize);
  scale_.markSize->show(gauge_.MarkSize);
  scale_.markSmallSize->show(gauge_.MarkSmallSize);
  for (QComboBox* list : {MarkTypeSelection, MarkSmallTypeSelection}) {
    list->clear();
    list->setEditText("");
    list->addItems(GaugeMarkShapeNames());
  }
  MarkTypeSelection->setCurrentText(GaugeMarkShapeShown(GaugeMajorShape(gauge_.MarkType)));
  MarkSmallTypeSelection->setCurrentText(GaugeMarkShapeShown(GaugeMinorShape(gauge_.MarkType)));
  selectSpacing((gauge_.MarkType & kGaugeMarkByInterval) != 0);
  scale_.markInterval->show(gauge_.MarkInterval);
  scale_.markSmallInterval->show(gauge_.MarkSmallInterval);
  scale_.markCount->show(gauge_.MarkCount + 1);
  scale_.markSmallCount->show(gauge_.MarkSmallCount + 1);
}

void wcDispObjGaugeDesign::loadTwoPartScale() {
  scale_.stepMid->show(GaugeTwoPartOn(gauge_) ? gauge_.StepMidValue : GaugeScaleMidpoint(gauge_));
  scale_.stepMidAngle->show(gauge_.StepMidAngle);
  StepMidCheck->setChecked(GaugeTwoPartOn(gauge_));
}

void wcDispObjGaugeDesign::selectSpacing(bool byInterval) {
  gauge_.MarkType = static_cast<uint8_t>(byInterval ? gauge_.MarkType | kGaugeMarkByInterval
                                                    : gauge_.MarkType & ~kGaugeMarkByInterval);
  MarkIntervalButton->setChecked(byInterval);
  MarkSmallIntervalButton->setChecked(byInterval);
  MarkCountButton->setChecked(!byInterval);
  MarkSmallCountButton->setChecked(!byInterval);
}

void wcDispObjGaugeDesign::MinManualCheck_Changed() {
  const bool on = MinManualCheck->isChecked();
  gauge_.Min = on ? scale_.min->value() : kRangeAutoMin;
  scale_.min->setEnabled(on);
  UpdatePreview();
}

void wcDispObjGaugeDesign::MaxManualCheck_Changed() {
  const bool on = MaxManualCheck->isChecked();
  gauge_.Max = on ? scale_.max->value() : kRangeAutoMax;
  scale_.max->setEnabled(on);
  UpdatePreview();
}

void wcDispObjGaugeDesign::StartDegManualCheck_Changed() {
  const bool on = StartDegManualCheck->isChecked();
  gauge_.StartDeg = on ? static_cast<uint16_t>(scale_.startDeg->intValue()) : kGaugeAutoStart;
  scale_.startDeg->setEnabled(on);
  UpdatePreview();
}

// A joint outside the range falls back to the range's midpoint.
void wcDispObjGaugeDesign::StepMidCheck_Changed() {
  const double middle = GaugeScaleMidpoint(gauge_);
  if (!StepMidCheck->isChecked()) {
    gauge_.StepMidValue = kGaugeNoStepMid;
    scale_.stepMid->show(middle);
  } else {
    gauge_.StepMidValue = scale_.stepMid->value();
    if (!GaugeTwoPartOn(gauge_)) gauge_.StepMidValue = middle;
    scale_.stepMid->show(gauge_.StepMidValue);
  }
  UpdatePreview();
}

void wcDispObjGaugeDesign::MarkTypeSelection_Changed() {
  const uint8_t code = GaugeMarkShapeCode(MarkTypeSelection->currentText());
  gauge_.MarkType = static_cast<uint8_t>((gauge_.MarkType & ~kGaugeMarkMajorMask) | code);
  UpdatePreview();
}

void wcDispObjGaugeDesign::MarkSmallTypeSelection_Changed() {
  const uint8_t code = GaugeMarkShapeCode(MarkSmallTypeSelection->currentText());
  gauge_.MarkType =
      static_cast<uint8_t>((gauge_.MarkType & ~kGaugeMarkMinorMask) | (code << kGaugeMarkMinorShift));
  UpdatePreview();
}

void wcDispObjGaugeDesign::MarkMatrix_Changed() {
  selectSpacing(MarkIntervalButton->isChecked());
  UpdatePreview();
}

void wcDispObjGaugeDesign::MarkSmallMatrix_Changed() {
  selectSpacing(MarkSmallIntervalButton->isChecked());
  UpdatePreview();
}

