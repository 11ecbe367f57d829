// The gauge designer's moving parts and colours: the display mode, the
// needle and the second needle of the dual mode, the face with its
// gradient and rim, and the warning colours that marks and needles take
// from given values up.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
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

QLabel* label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

} // namespace

QWidget* wcDispObjGaugeDesign::buildNeedlePage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* column = new QVBoxLayout(page);
  auto* display = new QGroupBox("Display", page);
  auto* dg = new QGridLayout(display);
  ModeSelection = new QComboBox(display);
  ModeSelection->setObjectName("ModeSelection");
  ModeSelection->setToolTip("Needle: one needle; Graph: an arc grows along the scale; Dual: two needles, full circle");
  SmoothMovementCheck = DispObjPanel::checkBox("Smooth movement", "SmoothMovementCheck", display);
  HighResCheck = DispObjPanel::checkBox("High resolution", "HighResCheck", display);
  dg->addWidget(label("Mode:", display), 0, 0);
  dg->addWidget(ModeSelection, 0, 1);
  dg->addWidget(SmoothMovementCheck, 1, 0, 1, 2);
  dg->addWidget(HighResCheck, 1, 2, 1, 2);
  dg->setColumnStretch(3, 1);
  column->addWidget(display);

  auto* needle = new QGroupBox("Needle", page);
  auto* ng = new QGridLayout(needle);
  NeedleColor = DispObjPanel::colorWell("NeedleColor", needle);
  NeedleBackColor = DispObjPanel::colorWell("NeedleBackColor", needle);
  NeedleBackColor->setToolTip("The centre cap, and in the graph mode the arc behind the graph");
  ng->addWidget(label("Colour:", needle), 0, 0);
  ng->addWidget(NeedleColor, 0, 1, Qt::AlignLeft);
  ng->addWidget(label("Back:", needle), 0, 2, Qt::AlignRight);
  ng->addWidget(NeedleBackColor, 0, 3, Qt::AlignLeft);
  ng->addWidget(label("Width:", needle), 1, 0);
  ng->addLayout(DispObjPanel::numberField(NeedleSizeText, NeedleSizeStepper, "NeedleSize", 0, 255, 1, needle, 50), 1,
                1);
  NeedleCenterSizeLabel = label("Centre cap:", needle);
  ng->addWidget(NeedleCenterSizeLabel, 1, 2, Qt::AlignRight);
  ng->addLayout(DispObjPanel::numberField(NeedleCenterSizeText, NeedleCenterSizeStepper, "NeedleCenterSize", 0, 255, 1,
                                          needle, 50),
                1, 3);
  ng->addWidget(label("Tip length:", needle), 2, 0);
  ng->addLayout(
      DispObjPanel::numberField(NeedleTipLenText, NeedleTipLenStepper, "NeedleTipLen", 0, 255, 1, needle, 50), 2, 1);
  ng->addWidget(label("Tail length:", needle), 2, 2, Qt::AlignRight);
  ng->addLayout(
      DispObjPanel::numberField(NeedleTailLenText, NeedleTailLenStepper, "NeedleTailLen", -128, 127, 1, needle, 50), 2,
      3);
  NeedleTaperCheck = DispObjPanel::checkBox("Tapered, shape:", "NeedleTaperCheck", needle);
  ng->addWidget(NeedleTaperCheck, 3, 0);
  ng->addLayout(DispObjPanel::numberField(NeedleTaperShapeText, NeedleTaperShapeStepper, "NeedleTaperShape", 0, 3, 1,
                                          needle, 50),
                3, 1);
  ng->setColumnStretch(3, 1);
  column->addWidget(needle);

  auto* dual = new QGroupBox("Second Needle (Dual Mode)", page);
  auto* sg = new QGridLayout(dual);
  DualNeedleLabel = label("Colour:", dual);
  DualNeedleColor = DispObjPanel::colorWell("DualNeedleColor", dual);
  DualNeedleSizeLabel = label("Width:", dual);
  DualNeedleTipLenLabel = label("Tip length:", dual);
  DualNeedleTailLenLabel = label("Tail length:", dual);
  sg->addWidget(DualNeedleLabel, 0, 0);
  sg->addWidget(DualNeedleColor, 0, 1, Qt::AlignLeft);
  sg->addWidget(DualNeedleSizeLabel, 0, 2, Qt::AlignRight);
  sg->addLayout(
      DispObjPanel::numberField(DualNeedleSizeText, DualNeedleSizeStepper, "DualNeedleSize", 0, 255, 1, dual, 50), 0, 3);
  sg->addWidget(DualNeedleTipLenLabel, 1, 0);
  sg->addLayout(DispObjPanel::numberField(DualNeedleTipLenText, DualNeedleTipLenStepper, "DualNeedleTipLen", 0, 255, 1,
                                          dual, 50),
                1, 1);
  sg->addWidget(DualNeedleTailLenLabel, 1, 2, Qt::AlignRight);
  sg->addLayout(DispObjPanel::numberField(DualNeedleTailLenText, DualNeedleTailLenStepper, "DualNeedleTailLen", -128,
                                          127, 1, dual, 50),
                1, 3);
  DualIntervalCheck = DispObjPanel::checkBox("One turn of the needle per:", "DualIntervalCheck", dual);
  DualIntervalCheck->setToolTip("Off: the major mark step");
  sg->addWidget(DualIntervalCheck, 2, 0, 1, 2);
  sg->addLayout(DispObjPanel::numberField(DualIntervalText, DualIntervalStepper, "DualInterval", 0, kValueLimit, 1,
                                          dual, 90),
                2, 2, 1, 2);
  sg->setColumnStretch(3, 1);
  column->addWidget(dual);
  column->addStretch(1);
  return page;
}

QWidget* wcDispObjGaugeDesign::buildFacePage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* column = new QVBoxLayout(page);
  auto* face = new QGroupBox("Face", page);
  auto* fg = new QGridLayout(face);
  DoFaceCheck = DispObjPanel::checkBox("Face:", "DoFaceCheck", face);
  FaceColor = DispObjPanel::colorWell("FaceColor", face);
  DoFaceGradientCheck = DispObjPanel::checkBox("Gradient:", "DoFaceGradientCheck", face);
  FaceColor2 = DispObjPanel::colorWell("FaceColor2", face);
  fg->addWidget(DoFaceCheck, 0, 0);
  fg->addWidget(FaceColor, 0, 1, Qt::AlignLeft);
  fg->addWidget(DoFaceGradientCheck, 0, 2);
  fg->addWidget(FaceColor2, 0, 3, Qt::AlignLeft);
  DoTrimCheck = DispObjPanel::checkBox("Rim:", "DoTrimCheck", face);
  TrimColor = DispObjPanel::colorWell("TrimColor", face);
  fg->addWidget(DoTrimCheck, 1, 0);
  fg->addWidget(TrimColor, 1, 1, Qt::AlignLeft);
  fg->addWidget(label("Width:", face), 1, 2, Qt::AlignRight);
  fg->addLayout(DispObjPanel::numberField(TrimSizeText, TrimSizeStepper, "TrimSize", 0, 255, 1, face, 50), 1, 3);
  fg->setColumnStretch(3, 1);
  column->addWidget(face);

  auto* change = new QGroupBox("Warning Colours", page);
  auto* cg = new QGridLayout(change);
  ChangeColor = DispObjPanel::colorWell("ChangeColor", change);
  cg->addWidget(label("Colour:", change), 0, 0);
  cg->addWidget(ChangeColor, 0, 1, Qt::AlignLeft);
  cg->addWidget(label("from:", change), 0, 2, Qt::AlignRight);
  cg->addLayout(DispObjPanel::numberField(ChangeValueText, ChangeValueStepper, "ChangeValue", -kValueLimit,
                                          kValueLimit, 1, change, 90),
                0, 3);
  DoChangeColor2Check = DispObjPanel::checkBox("First colour:", "DoChangeColor2Check", change);
  DoChangeColor2Check->setToolTip("A warning colour below the main one");
  ChangeColor2 = DispObjPanel::colorWell("ChangeColor2", change);
  ChangeValue2Label = label("from:", change);
  cg->addWidget(DoChangeColor2Check, 1, 0);
  cg->addWidget(ChangeColor2, 1, 1, Qt::AlignLeft);
  cg->addWidget(ChangeValue2Label, 1, 2, Qt::AlignRight);
  cg->addLayout(DispObjPanel::numberField(ChangeValue2Text, ChangeValue2Stepper, "ChangeValue2", -kValueLimit,
                                          kValueLimit, 1, change, 90),
                1, 3);
  ChangeMarkCheck = DispObjPanel::checkBox("Marks change", "ChangeMarkCheck", change);
  ChangeMarkGradientCheck = DispObjPanel::checkBox("gradually", "ChangeMarkGradientCheck", change);
  ChangeNeedleCheck = DispObjPanel::checkBox("Needles change", "ChangeNeedleCheck", change);
  ChangeNeedleGradientCheck = DispObjPanel::checkBox("gradually", "ChangeNeedleGradientCheck", change);
  cg->addWidget(ChangeMarkCheck, 2, 0, 1, 2);
  cg->addWidget(ChangeMarkGradientCheck, 2, 2, 1, 2);
  cg->addWidget(ChangeNeedleCheck, 3, 0, 1, 2);
  cg->addWidget(ChangeNeedleGradientCheck, 3, 2, 1, 2);
  // The face-change settings are carried through as loaded, never shown.
  ChangeFaceCheck = DispObjPanel::checkBox("Face changes", "ChangeFaceCheck", change);
  ChangeFaceColorCheck = DispObjPanel::checkBox("Face colour", "ChangeFaceColorCheck", change);
  ChangeFaceSolidCheck = DispObjPanel::checkBox("Solid face", "ChangeFaceSolidCheck", change);
  ChangeFacePosLabel = label("Face offset:", change);
  ChangeFaceDarkenLabel = label("Face shade:", change);
  cg->addWidget(ChangeFaceCheck, 4, 0);
  cg->addWidget(ChangeFaceColorCheck, 4, 1);
  cg->addWidget(ChangeFaceSolidCheck, 4, 2);
  cg->addWidget(ChangeFacePosLabel, 5, 0);
  cg->addLayout(DispObjPanel::numberField(ChangeFacePosText, ChangeFacePosStepper, "ChangeFacePos", 0, 255, 1, change,
                                          50),
                5, 1);
  cg->addWidget(ChangeFaceDarkenLabel, 5, 2);
  cg->addLayout(DispObjPanel::numberField(ChangeFaceDarkenText, ChangeFaceDarkenStepper, "ChangeFaceDarken", -128, 127,
                                          1, change, 50),
                5, 3);
  cg->setColumnStretch(3, 1);
  column->addWidget(change);
  column->addStretch(1);
  return page;
}

void wcDispObjGaugeDesign::connectNeedle() {
  auto byte = [](double v) { return static_cast<uint8_t>(static_cast<int>(v)); };
  auto signedByte = [byte](double v) { return static_cast<int8_t>(byte(v)); };
  needle_.size = pair(NeedleSizeText, NeedleSizeStepper, false, [=, this](double v) { gauge_.NeedleSize = byte(v); });
  needle_.tipLen =
      pair(NeedleTipLenText, NeedleTipLenStepper, false, [=, this](double v) { gauge_.NeedleTipLen = byte(v); });
  needle_.tailLen = pair(NeedleTailLenText, NeedleTailLenStepper, false,
                         [=, this](double v) { gauge_.NeedleTailLen = signedByte(v); });
  needle_.centerSize = pair(NeedleCenterSizeText, NeedleCenterSizeStepper, false,
                            [=, this](double v) { gauge_.NeedleCenterSize = byte(v); });
  needle_.taperShape = pair(NeedleTaperShapeText, NeedleTaperShapeStepper, false, [=, this](double v) {
    gauge_.TaperShape = byte(v);
    NeedleTaperCheck->setChecked(true);
    setOption(kGaugeUntapered, false);
  });
  needle_.dualSize = pair(DualNeedleSizeText, DualNeedleSizeStepper, false,
                          [=, this](double v) { gauge_.DualNeedleSize = byte(v); });
  needle_.dualTipLen = pair(DualNeedleTipLenText, DualNeedleTipLenStepper, false,
                            [=, this](double v) { gauge_.DualNeedleTipLen = byte(v); });
  needle_.dualTailLen = pair(DualNeedleTailLenText, DualNeedleTailLenStepper, false,
                             [=, this](double v) { gauge_.DualNeedleTailLen = signedByte(v); });
  needle_.dualInterval = pair(DualIntervalText, DualIntervalStepper, true, [this](double v) {
    gauge_.DualInterval = v;
    DualIntervalCheck->setChecked(true);
  });
  needle_.trimSize = pair(TrimSizeText, TrimSizeStepper, false, [=, this](double v) { gauge_.TrimSize = byte(v); });
  needle_.changeValue =
      pair(ChangeValueText, ChangeValueStepper, true, [this](double v) { gauge_.ChangeColorValue = v; });
  needle_.changeValue2 =
      pair(ChangeValue2Text, ChangeValue2Stepper, true, [this](double v) { gauge_.ChangeColor2Value = v; });
  auto faceChange = [this]() {
    ChangeFaceCheck->setChecked(true);
    setChangeBit(kGaugeChangeFace, true);
  };
  needle_.facePos = pair(ChangeFacePosText, ChangeFacePosStepper, false, [=, this](double v) {
    gauge_.ChangeFaceOffset = byte(v);
    faceChange();
  });
  needle_.faceDarken = pair(ChangeFaceDarkenText, ChangeFaceDarkenStepper, false, [=, this](double v) {
    gauge_.ChangeFaceShade = signedByte(v);
    faceChange();
  });

  auto onClick = [this](QCheckBox* box, void (wcDispObjGaugeDesign::*action)()) {
    connect(box, &QCheckBox::clicked, this, action);
  };
  connect(ModeSelection, &QComboBox::activated, this, &wcDispObjGaugeDesign::ModeSelection_Changed);
  onClick(NeedleTaperCheck, &wcDispObjGaugeDesign::NeedleTaperCheck_Changed);
  onClick(DualIntervalCheck, &wcDispObjGaugeDesign::DualIntervalCheck_Changed);
  onClick(DoFaceCheck, &wcDispObjGaugeDesign::UpdatePreview);
  onClick(DoTrimCheck, &wcDispObjGaugeDesign::UpdatePreview);
  onClick(DoChangeColor2Check, &wcDispObjGaugeDesign::DoChangeColor2Check_Changed);
  connect(ChangeColor2, &NSColorWellCustom::changed, this, &wcDispObjGaugeDesign::ChangeColor2_Changed);
  new ColorElements(this,
                    {{NeedleColor, &gauge_.NeedleColor}, {NeedleBackColor, &gauge_.NeedleBackColor},
                     {DualNeedleColor, &gauge_.DualNeedleColor}, {TrimColor, &gauge_.TrimColor, DoTrimCheck},
                     {ChangeColor, &gauge_.ChangeColor}},
                    [this]() { UpdatePreview(); });
  // What changes colour past the warning value; each "how" switches its
  // part on.
  uint8_t& change = gauge_.ChangeColorOptions;
  auto written = [this]() { UpdatePreview(); };
  changeChecks_ = {
      new OptionChecks(change,
                       {{ChangeMarkCheck, kGaugeChangeMarks},
                        {ChangeNeedleCheck, kGaugeChangeNeedles},
                        {ChangeFaceCheck, kGaugeChangeFace}},
                       written, this),
      new OptionChecks(change, {{ChangeMarkGradientCheck, kGaugeChangeMarksFade}}, written, this,
                       {ChangeMarkCheck, kGaugeChangeMarks}),
      new OptionChecks(change, {{ChangeNeedleGradientCheck, kGaugeChangeNeedlesFade}}, written, this,
                       {ChangeNeedleCheck, kGaugeChangeNeedles}),
      new OptionChecks(change,
                       {{ChangeFaceColorCheck, kGaugeChangeFaceBand}, {ChangeFaceSolidCheck, kGaugeChangeFaceSolid}},
                       written, this, {ChangeFaceCheck, kGaugeChangeFace})};
  BindGaugeFace(this, gauge_, {DoFaceCheck, FaceColor, DoFaceGradientCheck, FaceColor2}, [this]() { UpdatePreview(); });
}

void wcDispObjGaugeDesign::loadModeAndNeedles() {
  ModeSelection->clear();
  ModeSelection->addItems(GaugeModeNames());
  ModeSelection->setCurrentText(GaugeModeName(gauge_.Options));
  enableForMode();
  DoFaceCheck->setChecked(!ColorIsOff(gauge_.FaceColor));
  DispObjPanel::showColor(FaceColor, gauge_.FaceColor);
  DoFaceGradientCheck->setChecked(!ColorIsOff(gauge_.FaceColor2));
  DispObjPanel::showColor(FaceColor2, gauge_.FaceColor2);
  DoTrimCheck->setChecked(!ColorIsOff(gauge_.TrimColor));
  DispObjPanel::showColor(TrimColor, gauge_.TrimColor);
  needle_.trimSize->show(gauge_.TrimSize);
  DispObjPanel::showColor(NeedleColor, gauge_.NeedleColor);
  DispObjPanel::showColor(DualNeedleColor, gauge_.DualNeedleColor);
  DispObjPanel::showColor(NeedleBackColor, gauge_.NeedleBackColor);
  needle_.centerSize->show(gauge_.NeedleCenterSize);
  needle_.size->show(gauge_.NeedleSize);
  needle_.dualSize->show(gauge_.DualNeedleSize);
  needle_.tipLen->show(gauge_.NeedleTipLen);
  needle_.tailLen->show(gauge_.NeedleTailLen);
  needle_.dualTipLen->show(gauge_.DualNeedleTipLen);
  needle_.dualTailLen->show(gauge_.DualNeedleTailLen);
  // Without a span of its own the needle turns once per major step.
  const bool ownSpan = gauge_.DualInterval >= 0.0001;
  DualIntervalCheck->setChecked(ownSpan);
  needle_.dualInterval->show(ownSpan ? gauge_.DualInterval : gauge_.MarkInterval);
  NeedleTaperCheck->setChecked((gauge_.Options & kGaugeUntapered) == 0);
  needle_.taperShape->show(gauge_.TaperShape);
}

void wcDispObjGaugeDesign::loadChangeColors() {
  DispObjPanel::showColor(ChangeColor, gauge_.ChangeColor);
  needle_.changeValue->show(gauge_.ChangeColorValue);
  for (const OptionChecks* checks : changeChecks_) checks->show();
  needle_.facePos->show(gauge_.ChangeFaceOffset);
  needle_.faceDarken->show(gauge_.ChangeFaceShade);
  for (QWidget* w : std::initializer_list<QWidget*>{ChangeFaceCheck, ChangeFaceColorCheck, ChangeFaceSolidCheck,
                                                   ChangeFacePosLabel, ChangeFacePosText, ChangeFacePosStepper,
                                                   ChangeFaceDarkenLabel, ChangeFaceDarkenText,
                                                   ChangeFaceDarkenStepper})
    w->setVisible(false);
  const bool second = !ColorIsOff(gauge_.ChangeColor2);
  DoChangeColor2Check->setChecked(second);
  UISetControlEnabled(ChangeValue2Label, second);
  needle_.changeValue2->setEnabled(second);
  DispObjPanel::showColor(ChangeColor2, gauge_.ChangeColor2);
  needle_.changeValue2->show(gauge_.ChangeColor2Value);
}

void wcDispObjGaugeDesign::enableForMode() {
  const QString mode = ModeSelection->currentText();
  const bool dual = mode == "Dual", needleMode = mode != "Dual" && mode != "Graph";
  for (QWidget* w : std::initializer_list<QWidget*>{DualNeedleLabel, DualNeedleColor, DualNeedleSizeLabel,
                                                   DualNeedleTipLenLabel, DualNeedleTailLenLabel, DualIntervalCheck})
    UISetControlEnabled(w, dual);
  for (NumberPair* p : {needle_.dualSize, needle_.dualTipLen, needle_.dualTailLen, needle_.dualInterval})
    p->setEnabled(dual);
  scale_.sweep->setEnabled(!dual);
  UISetControlEnabled(DoPinsCheck, needleMode);
  UISetControlEnabled(PinColor, needleMode);
  scale_.pinSize->setEnabled(needleMode);
  UISetControlEnabled(NeedleCenterSizeLabel, needleMode || dual);
  needle_.centerSize->setEnabled(needleMode || dual);
}

void wcDispObjGaugeDesign::ModeSelection_Changed() {
  gauge_.Options = GaugeOptionsWithMode(gauge_.Options, ModeSelection->currentText());
  enableForMode();
  UpdatePreview();
}

void wcDispObjGaugeDesign::NeedleTaperCheck_Changed() {
  setOption(kGaugeUntapered, !NeedleTaperCheck->isChecked());
  UpdatePreview();
}

void wcDispObjGaugeDesign::DualIntervalCheck_Changed() {
  gauge_.DualInterval = DualIntervalCheck->isChecked() ? needle_.dualInterval->value() : 0;
  UpdatePreview();
}

void wcDispObjGaugeDesign::DoChangeColor2Check_Changed() {
  const bool on = DoChangeColor2Check->isChecked();
  UISetControlEnabled(ChangeValue2Label, on);
  needle_.changeValue2->setEnabled(on);
  UpdatePreview();
}

void wcDispObjGaugeDesign::ChangeColor2_Changed() {
  gauge_.ChangeColor2 = DispObjPanel::wellColor(ChangeColor2);
  DoChangeColor2Check->setChecked(true);
  DoChangeColor2Check_Changed();
}

