#include "ui/dispobj/vcDispObjGauge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/record_bindings.h"
#include "ui/dispobj/gauge_edit.h"
#include "ui/dispobj/number_pair.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/dispobj/wcDispObjGaugeDesign.h"
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kValueLimit = 9999999;
constexpr double kMaxTextSize = 200;

// A size stored as a real number shows as a whole one, cut toward zero.
double wholeSize(float size) { return std::isfinite(size) ? std::trunc(size) : 0; }

} // namespace

vcDispObjGauge::vcDispObjGauge(wcDispObjEdit* owner) : DispObjPanel(kPanelGauge, "vcDispObjGauge", owner) {
  buildControls();
  connectActions();
}

void vcDispObjGauge::buildControls() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 4, 6, 4);
  auto* box = new QGroupBox("Gauge", this);
  box->setObjectName("GaugeBox");
  outer->addWidget(box);
  auto* column = new QVBoxLayout(box);
  column->setSpacing(6);
  // Each part is a grid of its own: a label column, then its controls.
  auto* scale = new QGridLayout();
  auto* colors = new QGridLayout();
  auto* texts = new QGridLayout();
  for (QGridLayout* grid : {scale, colors, texts}) {
    grid->setVerticalSpacing(4);
    grid->setColumnMinimumWidth(0, 96); // the labels line up across the parts
    column->addLayout(grid);
  }
  int row = 0;
  buildScale(scale, row);
  row = 0;
  buildColors(colors, row);
  row = 0;
  buildTexts(texts, row);
  GaugeDesignerButton = new QPushButton("Gauge Designer...", box);
  GaugeDesignerButton->setObjectName("GaugeDesignerButton");
  GaugeDesignerButton->setToolTip("Design every part of the gauge, with a live preview");
  column->addWidget(GaugeDesignerButton);
}

void vcDispObjGauge::buildScale(QGridLayout* grid, int& r) {
  QWidget* box = findChild<QGroupBox*>("GaugeBox");
  Range = new ChannelRangeRows(grid, r, {.span = 1, .range = "scale", .low = "start", .high = "end"}, box);
  static_cast<ChannelRangeOutlets&>(*this) = *Range;
  connect(Range, &ChannelRangeRows::edited, this, &vcDispObjGauge::UpdatePreview);

  ModeSelection = new QComboBox(box);
  ModeSelection->setObjectName("ModeSelection");
  HighResCheck = checkBox("High resolution", "HighResCheck", box);
  grid->addWidget(new QLabel("Mode:", box), r, 0);
  grid->addWidget(ModeSelection, r++, 1, Qt::AlignLeft);
  grid->addWidget(HighResCheck, r++, 1);

  SweepLabel = new QLabel("Sweep:", box);
  grid->addWidget(SweepLabel, r, 0);
  grid->addLayout(numberField(SweepText, SweepStepper, "Sweep", 1, 360, 1, box, 40, QString::fromUtf8("\u00B0")),
                  r++, 1);
  CcwCheck = checkBox("Counter-clockwise", "CcwCheck", box);
  grid->addWidget(CcwCheck, r++, 1);
  StartDegManualCheck = checkBox("Start:", "StartDegManualCheck", box);
  StartDegManualCheck->setToolTip("A fixed start angle, from straight down; off: the arc is centred");
  grid->addWidget(StartDegManualCheck, r, 0);
  grid->addLayout(
      numberField(StartDegText, StartDegStepper, "StartDeg", 0, 359, 1, box, 40, QString::fromUtf8("\u00B0")), r++, 1);
  grid->setColumnStretch(1, 1);
}

// Two pairs of a switch (or label) and a well per row.
void vcDispObjGauge::buildColors(QGridLayout* grid, int& r) {
  QWidget* box = findChild<QGroupBox*>("GaugeBox");
  DoFaceCheck = checkBox("Face:", "DoFaceCheck", box);
  FaceColor = colorWell("FaceColor", box);
  DoFaceGradientCheck = checkBox("Gradient:", "DoFaceGradientCheck", box);
  FaceColor2 = colorWell("FaceColor2", box);
  DoTrimCheck = checkBox("Trim:", "DoTrimCheck", box);
  TrimColor = colorWell("TrimColor", box);
  MarkColor = colorWell("MarkColor", box);
  DoMarkColor2Check = checkBox("", "DoMarkColor2Check", box);
  MarkColor2 = colorWell("MarkColor2", box);
  NeedleColor = colorWell("NeedleColor", box);
  NeedleBackColor = colorWell("NeedleBackColor", box);
  NeedleBackColor->setToolTip("The needle's centre cap, and the arc behind the graph");
  DoPinsCheck = checkBox("Pins:", "DoPinsCheck", box);
  PinColor = colorWell("PinColor", box);
  auto place = [&](QWidget* left, QWidget* leftWell, QWidget* right, QWidget* rightWell) {
    grid->addWidget(left, r, 0);
    grid->addWidget(leftWell, r, 1, Qt::AlignLeft);
    if (right != nullptr) grid->addWidget(right, r, 2);
    if (rightWell != nullptr) grid->addWidget(rightWell, r, 3, Qt::AlignLeft);
    ++r;
  };
  place(DoFaceCheck, FaceColor, DoFaceGradientCheck, FaceColor2);
  place(DoTrimCheck, TrimColor, new QLabel("Marks:", box), MarkColor);
  place(new QLabel("Needle:", box), NeedleColor, new QLabel("Centre:", box), NeedleBackColor);
  place(DoPinsCheck, PinColor, DoMarkColor2Check, MarkColor2);

  ChangeLabel = new QLabel("Warning:", box);
  ChangeColor = colorWell("ChangeColor", box);
  ChangeValueLabel = new QLabel("from", box);
  auto* changeRow = numberField(ChangeValueText, ChangeValueStepper, "ChangeValue", -kValueLimit, kValueLimit, 1, box, 70);
  changeRow->insertWidget(0, ChangeValueLabel);
  grid->addWidget(ChangeLabel, r, 0);
  grid->addWidget(ChangeColor, r, 1, Qt::AlignLeft);
  grid->addLayout(changeRow, r++, 2, 1, 2);
  DoChangeColor2Check = checkBox("Warning 2:", "DoChangeColor2Check", box);
  DoChangeColor2Check->setToolTip("A first warning colour below the main one");
  ChangeColor2 = colorWell("ChangeColor2", box);
  ChangeValue2Label = new QLabel("from", box);
  auto* change2Row =
      numberField(ChangeValue2Text, ChangeValue2Stepper, "ChangeValue2", -kValueLimit, kValueLimit, 1, box, 70);
  change2Row->insertWidget(0, ChangeValue2Label);
  grid->addWidget(DoChangeColor2Check, r, 0);
  grid->addWidget(ChangeColor2, r, 1, Qt::AlignLeft);
  grid->addLayout(change2Row, r++, 2, 1, 2);
  grid->setColumnStretch(3, 1);
}

void vcDispObjGauge::buildTexts(QGridLayout* grid, int& r) {
  QWidget* box = findChild<QGroupBox*>("GaugeBox");
  DoNumberCheck = checkBox("Readout:", "DoNumberCheck", box);
  NumberColor = colorWell("NumberColor", box);
  DoNumberDecimalCheck = checkBox("Two decimals", "DoNumberDecimalCheck", box);
  auto* numberRow = numberField(NumberSizeText, NumberSizeStepper, "NumberSize", 1, kMaxTextSize, 1, box, 36);
  numberRow->insertWidget(0, new QLabel("Size:", box));
  numberRow->insertWidget(0, NumberColor);
  grid->addWidget(DoNumberCheck, r, 0);
  grid->addLayout(numberRow, r++, 1);
  grid->addWidget(DoNumberDecimalCheck, r++, 1);

  DoLabelCheck = checkBox("Label:", "DoLabelCheck", box);
  LabelColor = colorWell("LabelColor", box);
  auto* labelRow = numberField(LabelSizeText, LabelSizeStepper, "LabelSize", 1, kMaxTextSize, 1, box, 36);
  labelRow->insertWidget(0, new QLabel("Size:", box));
  labelRow->insertWidget(0, LabelColor);
  grid->addWidget(DoLabelCheck, r, 0);
  grid->addLayout(labelRow, r++, 1);
  LabelText = labelTextField(box);
  grid->addWidget(LabelText, r++, 1);
  grid->setColumnStretch(1, 1);
}

void vcDispObjGauge::connectActions() {
  const NumberBinder bind(this, [this]() { UpdatePreview(); });
  numbers_.sweep = bind.whole(SweepText, SweepStepper, gauge_.SweepDeg);
  numbers_.startDeg = bind.whole(StartDegText, StartDegStepper, gauge_.StartDeg);
  numbers_.changeValue = bind.real(ChangeValueText, ChangeValueStepper, gauge_.ChangeColorValue);
  numbers_.changeValue2 = bind.real(ChangeValue2Text, ChangeValue2Stepper, gauge_.ChangeColor2Value);
  numbers_.numberSize = bind.whole(NumberSizeText, NumberSizeStepper, gauge_.NumberSize, DoNumberCheck);
  numbers_.labelSize = bind.whole(LabelSizeText, LabelSizeStepper, gauge_.LabelSize, DoLabelCheck);
  options_ = new OptionChecks(gauge_.Options, {{HighResCheck, kGaugeHighRes}, {CcwCheck, kGaugeCcw}},
                              [this]() { UpdatePreview(); }, this);
  auto onClick = [this](QCheckBox* box, void (vcDispObjGauge::*action)()) {
    connect(box, &QCheckBox::clicked, this, action);
  };
  connect(ModeSelection, &QComboBox::activated, this, &vcDispObjGauge::ModeSelection_Changed);
  onClick(StartDegManualCheck, &vcDispObjGauge::StartDegManualCheck_Changed);
  onClick(DoChangeColor2Check, &vcDispObjGauge::DoChangeColor2Check_Changed);
  onClick(DoNumberDecimalCheck, &vcDispObjGauge::DoNumberDecimalCheck_Changed);
  // The other element switches are read by the write path.
  for (QCheckBox* box : {DoFaceCheck, DoTrimCheck, DoMarkColor2Check, DoPinsCheck, DoNumberCheck, DoLabelCheck})
    onClick(box, &vcDispObjGauge::UpdatePreview);
  connect(ChangeColor2, &NSColorWellCustom::changed, this, &vcDispObjGauge::ChangeColor2_Changed);
  new ColorElements(this,
                    {{ChangeColor, &gauge_.ChangeColor}, {NeedleColor, &gauge_.NeedleColor},
                     {NeedleBackColor, &gauge_.NeedleBackColor}, {MarkColor, &gauge_.MarkColor},
                     {TrimColor, &gauge_.TrimColor, DoTrimCheck},
                     {MarkColor2, &gauge_.MarkColor2, DoMarkColor2Check},
                     {PinColor, &gauge_.MarkPinColor, DoPinsCheck}, {NumberColor, &gauge_.NumberColor, DoNumberCheck},
                     {LabelColor, &gauge_.LabelColor, DoLabelCheck}},
                    [this]() { UpdatePreview(); });
  BindGaugeFace(this, gauge_, {DoFaceCheck, FaceColor, DoFaceGradientCheck, FaceColor2}, [this]() { UpdatePreview(); });
  connect(LabelText, &TextField::changed, this, &vcDispObjGauge::LabelText_Changed);
  connect(GaugeDesignerButton, &QPushButton::clicked, this, &vcDispObjGauge::GaugeDesignerButton_Pressed);
}

bool vcDispObjGauge::SetData(uint32_t index) {
  DispStruct record{};
  if (!loadRecords(index, gauge_, record)) return false;
  LoadingData = true;
  inputId_ = record.InputID;
  Range->Load(gauge_.Field, gauge_.Min, gauge_.Max, inputId_, gauge_.Type != kGaugeGeneric);
  loadScale();
  loadColors();
  showElement(DoNumberCheck, NumberColor, gauge_.NumberColor);
  DoNumberDecimalCheck->setChecked((gauge_.Options & kGaugeTwoDecimals) != 0);
  numbers_.numberSize->show(wholeSize(gauge_.NumberSize));
  LabelText->setText(W16ToNSString(gauge_.Label));
  showElement(DoLabelCheck, LabelColor, gauge_.LabelColor);
  numbers_.labelSize->show(wholeSize(gauge_.LabelSize));
  LoadingData = false;
  SetFieldColor();
  return true;
}

// Sweep, start angle and mode.
void vcDispObjGauge::loadScale() {
  numbers_.sweep->show(gauge_.SweepDeg);
  const bool startSet = gauge_.StartDeg < kGaugeAutoStart;
  StartDegManualCheck->setChecked(startSet);
  numbers_.startDeg->show(startSet ? gauge_.StartDeg : 0);
  numbers_.startDeg->setEnabled(startSet);
  ModeSelection->clear();
  ModeSelection->addItems(GaugeModeNames());
  ModeSelection->setCurrentText(GaugeModeName(gauge_.Options));
  enableForMode();
  options_->show();
}

void vcDispObjGauge::loadColors() {
  showElement(DoFaceCheck, FaceColor, gauge_.FaceColor);
  showElement(DoFaceGradientCheck, FaceColor2, gauge_.FaceColor2);
  showElement(DoTrimCheck, TrimColor, gauge_.TrimColor);
  showColor(NeedleColor, gauge_.NeedleColor);
  showColor(NeedleBackColor, gauge_.NeedleBackColor);
  showColor(MarkColor, gauge_.MarkColor);
  // The second mark colour is only carried through here.
  showElement(DoMarkColor2Check, MarkColor2, gauge_.MarkColor2);
  DoMarkColor2Check->setVisible(false);
  MarkColor2->setVisible(false);
  showElement(DoPinsCheck, PinColor, gauge_.MarkPinColor);

  // Warning colours matter only while some part changes colour.
  const bool inUse = (gauge_.ChangeColorOptions & (kGaugeChangeMarks | kGaugeChangeNeedles | kGaugeChangeFace)) != 0;
  for (QWidget* w : std::initializer_list<QWidget*>{ChangeLabel, ChangeValueLabel, ChangeColor, DoChangeColor2Check,
                                                   ChangeColor2})
    UISetControlEnabled(w, inUse);
  numbers_.changeValue->setEnabled(inUse);
  showColor(ChangeColor, gauge_.ChangeColor);
  numbers_.changeValue->show(gauge_.ChangeColorValue);
  showElement(DoChangeColor2Check, ChangeColor2, gauge_.ChangeColor2);
  enableChangeValue2(inUse);
  numbers_.changeValue2->show(gauge_.ChangeColor2Value);
}

void vcDispObjGauge::enableChangeValue2(bool groupInUse) {
  const bool on = groupInUse && DoChangeColor2Check->isChecked();
  UISetControlEnabled(ChangeValue2Label, on);
  numbers_.changeValue2->setEnabled(on);
}

void vcDispObjGauge::enableForMode() {
  const QString mode = ModeSelection->currentText();
  UISetControlEnabled(SweepLabel, mode != "Dual");
  numbers_.sweep->setEnabled(mode != "Dual");
  UISetControlEnabled(DoPinsCheck, mode == "Needle");
  UISetControlEnabled(PinColor, mode == "Needle");
}

void vcDispObjGauge::SetFieldColor() { Range->SetFieldColor(); }

void vcDispObjGauge::readSwitches() {
  storeText(gauge_.Label, LabelText->text());
  GaugeApplySwitches(gauge_, {DoChangeColor2Check->isChecked(), DoLabelCheck->isChecked(), DoNumberCheck->isChecked(),
                              DoFaceCheck->isChecked(), DoFaceGradientCheck->isChecked(), DoTrimCheck->isChecked(),
                              DoMarkColor2Check->isChecked(), DoPinsCheck->isChecked()});
}

void vcDispObjGauge::UpdatePreview() {
  if (LoadingData) return;
  readSwitches();
  SetFieldColor();
  writeParam(gauge_);
}

void vcDispObjGauge::UpdatePreviewNoUndo() {
  if (LoadingData) return;
  readSwitches();
  SetFieldColor();
  writeParamNoUndo(gauge_);
}

void vcDispObjGauge::setOption(uint8_t bit, bool on) { SetOptionBits(gauge_.Options, bit, on); }

void vcDispObjGauge::StartDegManualCheck_Changed() {
  const bool on = StartDegManualCheck->isChecked();
  gauge_.StartDeg = on ? static_cast<uint16_t>(numbers_.startDeg->intValue()) : kGaugeAutoStart;
  numbers_.startDeg->setEnabled(on);
  UpdatePreview();
}

void vcDispObjGauge::ModeSelection_Changed() {
  gauge_.Options = GaugeOptionsWithMode(gauge_.Options, ModeSelection->currentText());
  enableForMode();
  UpdatePreview();
}

void vcDispObjGauge::DoChangeColor2Check_Changed() {
  enableChangeValue2(true);
  UpdatePreview();
}

void vcDispObjGauge::ChangeColor2_Changed() {
  gauge_.ChangeColor2 = wellColor(ChangeColor2);
  DoChangeColor2Check->setChecked(true);
  DoChangeColor2Check_Changed();
}

void vcDispObjGauge::DoNumberDecimalCheck_Changed() {
  setOption(kGaugeTwoDecimals, DoNumberDecimalCheck->isChecked());
  DoNumberCheck->setChecked(true);
  UpdatePreview();
}

void vcDispObjGauge::LabelText_Changed() {
  DoLabelCheck->setChecked(true);
  UpdatePreview();
}

// The designer writes every change into the engine while it is open; the
// checkpoint taken here is what Cancel returns to.
void vcDispObjGauge::GaugeDesignerButton_Pressed() {
  PreviewStop();
  UpdatePreview();
  UndoSave();
  wcDispObjGaugeDesign* designer = AppWindows().wndDispObjGaugeDesign();
  if (designer != nullptr && designer->SetData(OurIndex)) {
    RunModalForWindow(designer);
    if (!designer->Success()) {
      UndoToggle();
      UndoSave();
    }
  }
  const uint32_t object = OurIndex;
  SetData(object);
  if (main() != nullptr) main()->setProjectModified(true);
  UpdatePreviewNoUndo();
  // A style or background applied in the designer shows in the other panels.
  updateOtherPanels();
}
