#include "ui/dispobj/vcDispObjGForce.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/number_pair.h"
#include "ui/dispobj/record_bindings.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kMinRange = 0.1, kMaxRange = 10; // g at full scale
constexpr double kMaxSize = 60;
const QString kAutomatic = "(Automatic)";
const QString kNone = "(None)"; // the axis is not used

} // namespace

vcDispObjGForce::vcDispObjGForce(wcDispObjEdit* owner) : DispObjPanel(kPanelGForce, "vcDispObjGForce", owner) {
  QGridLayout* grid = titledGrid("G-Force", "GForceBox");
  int row = 0;
  buildChannelRows(grid, row);
  buildLookRows(grid, row);
  grid->setColumnStretch(3, 1);
  connectControls();
}

void vcDispObjGForce::buildChannelRows(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  FieldXSelection = typableList("FieldXSelection", box);
  FieldXSelection->setToolTip("The sideways acceleration; (None) leaves the axis unused");
  FieldYSelection = typableList("FieldYSelection", box);
  FieldYSelection->setToolTip("The forward acceleration; (None) leaves the axis unused");
  grid->addWidget(new QLabel("Horizontal:", box), row, 0);
  grid->addWidget(FieldXSelection, row++, 1, 1, 3);
  grid->addWidget(new QLabel("Vertical:", box), row, 0);
  grid->addWidget(FieldYSelection, row++, 1, 1, 3);

  FlipXCheck = checkBox("Flip", "FlipXCheck", box);
  FlipYCheck = checkBox("Flip", "FlipYCheck", box);
  grid->addWidget(new QLabel("Range X:", box), row, 0);
  grid->addLayout(numberField(RangeXText, RangeXStepper, "RangeX", kMinRange, kMaxRange, 0.1, box, 44, "g"), row,
                  1, 1, 2);
  grid->addWidget(FlipXCheck, row++, 3);
  grid->addWidget(new QLabel("Range Y:", box), row, 0);
  grid->addLayout(numberField(RangeYText, RangeYStepper, "RangeY", kMinRange, kMaxRange, 0.1, box, 44, "g"), row,
                  1, 1, 2);
  grid->addWidget(FlipYCheck, row++, 3);
  SwapXYCheck = checkBox("Swap horizontal and vertical", "SwapXYCheck", box);
  grid->addWidget(SwapXYCheck, row++, 0, 1, 4);
}

void vcDispObjGForce::buildLookRows(QGridLayout* grid, int& row) {
  QWidget* box = grid->parentWidget();
  LineColor = colorWell("LineColor", box);
  grid->addWidget(new QLabel("Marker:", box), row, 0);
  grid->addWidget(LineColor, row, 1, Qt::AlignLeft);
  elementSize(grid, row++, "Size:", "Line", LineSizeText, LineSizeStepper, 1, kMaxSize, box);
  DoBallCheck = checkBox("Ball", "DoBallCheck", box);
  DoBallCheck->setToolTip("A ball at the reading; off: a line from the centre");
  DoFadeCheck = checkBox("Fading trail", "DoFadeCheck", box);
  grid->addWidget(DoBallCheck, row, 1);
  grid->addWidget(DoFadeCheck, row++, 2, 1, 2);

  DoAxisCheck = elementRow(grid, row, "Axis:", "Axis", AxisColor, box);
  elementSize(grid, row++, "Size:", "Axis", AxisSizeText, AxisSizeStepper, 1, kMaxSize, box);
  DoCirclesCheck = checkBox("Circles", "DoCirclesCheck", box);
  DoCirclesCheck->setToolTip("Rings around the centre at each third of the range");
  DoCirclesAxisCheck = checkBox("Circles on axis", "DoCirclesAxisCheck", box);
  DoCirclesAxisCheck->setToolTip("Small rings where each third of the range crosses the axis");
  grid->addWidget(DoCirclesCheck, row, 1);
  grid->addWidget(DoCirclesAxisCheck, row++, 2, 1, 2);

  DoShadowCheck = elementRow(grid, row++, "Shadow:", "Shadow", ShadowColor, box);
  DoBackCheck = elementRow(grid, row++, "Background:", "Back", BackColor, box);
}

void vcDispObjGForce::connectControls() {
  options_ = new OptionChecks(gforce_.Options,
                              {{SwapXYCheck, kGForceSwapXY}, {FlipXCheck, kGForceFlipX}, {FlipYCheck, kGForceFlipY},
                               {DoBallCheck, kGForceBall}, {DoFadeCheck, kGForceFade}},
                              [this]() { UpdatePreview(); }, this);
  connect(DoCirclesCheck, &QCheckBox::clicked, this, &vcDispObjGForce::DoCirclesCheck_Changed);
  connect(DoCirclesAxisCheck, &QCheckBox::clicked, this, &vcDispObjGForce::DoCirclesAxisCheck_Changed);
  // The element switches are read by the write path.
  for (QCheckBox* check : {DoAxisCheck, DoShadowCheck, DoBackCheck})
    connect(check, &QCheckBox::clicked, this, &vcDispObjGForce::UpdatePreview);
  // The marker's colour has no off switch.
  colors_ = new ColorElements(this,
                    {{LineColor, &gforce_.LineColor}, {AxisColor, &gforce_.AxisColor, DoAxisCheck},
                     {ShadowColor, &gforce_.ShadowColor, DoShadowCheck},
                     {BackColor, &gforce_.BackColor, DoBackCheck}},
                    [this]() { UpdatePreview(); });
  bindNumbers();
  onListChosen(FieldXSelection, this, &vcDispObjGForce::FieldXSelection_Changed);
  onListChosen(FieldYSelection, this, &vcDispObjGForce::FieldYSelection_Changed);
}

// A range shows one decimal; the record takes the stepper's own value.
void vcDispObjGForce::bindNumbers() {
  const NumberBinder bind(this, [this]() { UpdatePreview(); });
  numbers_.rangeX = bind.real(RangeXText, RangeXStepper, gforce_.RangeX, nullptr, 1);
  numbers_.rangeY = bind.real(RangeYText, RangeYStepper, gforce_.RangeY, nullptr, 1);
  numbers_.lineSize = bind.whole(LineSizeText, LineSizeStepper, gforce_.LineSize);
  numbers_.axisSize = bind.whole(AxisSizeText, AxisSizeStepper, gforce_.AxisSize);
}

bool vcDispObjGForce::SetData(uint32_t index) {
  DispStruct record{};
  if (!loadRecords(index, gforce_, record)) return false;
  LoadingData = true;
  // "(None)" is a stored choice here (an unused axis), so it follows the
  // automatic entry instead of standing in for an empty name.
  const QStringList names = QStringList{kNone} + dataFieldNames(record.InputID);
  fillFieldCombo(FieldXSelection, kAutomatic, names, W16ToNSString(gforce_.FieldX));
  fillFieldCombo(FieldYSelection, kAutomatic, names, W16ToNSString(gforce_.FieldY));

  options_->show();
  DoCirclesCheck->setChecked((gforce_.Options & kGForceCircles) != 0);
  DoCirclesAxisCheck->setChecked((gforce_.Options & kGForceCirclesAxis) != 0);
  numbers_.rangeX->show(gforce_.RangeX);
  numbers_.rangeY->show(gforce_.RangeY);
  numbers_.lineSize->show(gforce_.LineSize);
  numbers_.axisSize->show(gforce_.AxisSize);
  colors_->show();
  showCirclesEnabled();
  LoadingData = false;
  return true;
}

// The circles belong to the axis: without it they are out of reach but
// keep their choice.
void vcDispObjGForce::showCirclesEnabled() {
  DoCirclesCheck->setEnabled(DoAxisCheck->isChecked());
  DoCirclesAxisCheck->setEnabled(DoAxisCheck->isChecked());
}

void vcDispObjGForce::UpdatePreview() {
  if (LoadingData) return;
  colors_->store();
  showCirclesEnabled();
  writeParam(gforce_);
}

// "(None)" is a choice of its own here: an unused axis.
void vcDispObjGForce::fieldChosen(QComboBox* combo, char16_t (&field)[kNameLength]) {
  if (!LoadingData && storeChosenField(combo, field, {"(Automatic)"})) UpdatePreview();
}

void vcDispObjGForce::FieldXSelection_Changed() { fieldChosen(FieldXSelection, gforce_.FieldX); }
void vcDispObjGForce::FieldYSelection_Changed() { fieldChosen(FieldYSelection, gforce_.FieldY); }

// The two kinds of circles exclude each other.
void vcDispObjGForce::DoCirclesCheck_Changed() {
  SetOptionBits(gforce_.Options, kGForceCircles, DoCirclesCheck->isChecked());
  if (DoCirclesCheck->isChecked()) {
    SetOptionBits(gforce_.Options, kGForceCirclesAxis, false);
    DoCirclesAxisCheck->setChecked(false);
  }
  UpdatePreview();
}

void vcDispObjGForce::DoCirclesAxisCheck_Changed() {
  SetOptionBits(gforce_.Options, kGForceCirclesAxis, DoCirclesAxisCheck->isChecked());
  if (DoCirclesAxisCheck->isChecked()) {
    SetOptionBits(gforce_.Options, kGForceCircles, false);
    DoCirclesCheck->setChecked(false);
  }
  UpdatePreview();
}

