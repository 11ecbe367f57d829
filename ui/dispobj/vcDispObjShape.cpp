#include "ui/dispobj/vcDispObjShape.h"

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

struct ShapeTitle {
  uint8_t code;
  const char* title;
  bool offered; // in the list; lines come only from styles
};

const ShapeTitle kShapes[] = {
    {kShapeLineNwSe, "Line NW-SE", false},   {kShapeLineNeSw, "Line NE-SW", false},
    {kShapeCircle, "Circle", true},          {kShapeRectangle, "Rectangle", true},
    {kShapeRounded, "Rounded Rectangle", true}, {kShapeRounder, "Rounder Rectangle", true},
};

constexpr double kMaxLineSize = 100;

} // namespace

vcDispObjShape::vcDispObjShape(wcDispObjEdit* owner) : DispObjPanel(kPanelShape, "vcDispObjShape", owner) {
  buildControls();
}

void vcDispObjShape::buildControls() {
  QGridLayout* grid = titledGrid("Shape", "ShapeBox");
  QWidget* box = grid->parentWidget();

  ShapeSelection = new QComboBox(box);
  ShapeSelection->setObjectName("ShapeSelection");
  grid->addWidget(new QLabel("Shape:", box), 0, 0);
  grid->addWidget(ShapeSelection, 0, 1, 1, 3);

  DoFillCheck = checkBox("Fill:", "DoFillCheck", box);
  FillColor = colorWell("FillColor", box);
  grid->addWidget(DoFillCheck, 1, 0);
  grid->addWidget(FillColor, 1, 1, Qt::AlignLeft);

  DoLineCheck = checkBox("Outline:", "DoLineCheck", box);
  LineColor = colorWell("LineColor", box);
  grid->addWidget(DoLineCheck, 2, 0);
  grid->addWidget(LineColor, 2, 1, Qt::AlignLeft);
  grid->addWidget(new QLabel("Width:", box), 2, 2, Qt::AlignRight);
  grid->addLayout(numberField(LineSizeText, LineSizeStepper, "LineSize", 0, kMaxLineSize, 1, box, 40), 2, 3);

  HighResCheck = checkBox("High resolution", "HighResCheck", box);
  HighResCheck->setToolTip("Draws the shape at double resolution for smoother edges");
  grid->addWidget(HighResCheck, 3, 0, 1, 4);
  grid->setColumnStretch(1, 1);

  connect(ShapeSelection, &QComboBox::activated, this, &vcDispObjShape::ShapeSelection_Changed);
  connect(DoFillCheck, &QCheckBox::clicked, this, &vcDispObjShape::DoFillCheck_Changed);
  connect(DoLineCheck, &QCheckBox::clicked, this, &vcDispObjShape::DoLineCheck_Changed);
  options_ = new OptionChecks(shape_.Options, {{HighResCheck, kShapeHighRes}}, [this]() { UpdatePreview(); }, this);
  lineSize_ = NumberBinder(this, [this]() { UpdatePreview(); }).whole(LineSizeText, LineSizeStepper, shape_.LineSize);
  new ColorElements(this, {{FillColor, &shape_.FillColor, DoFillCheck}, {LineColor, &shape_.LineColor, DoLineCheck}},
                    [this]() { UpdatePreview(); });
}

uint8_t vcDispObjShape::ShapeCodeOf(const QString& title) {
  for (const ShapeTitle& shape : kShapes)
    if (title == shape.title) return shape.code;
  return kShapeRectangle;
}

QString vcDispObjShape::ShapeTitleOf(uint8_t code) {
  for (const ShapeTitle& shape : kShapes)
    if (shape.code == code) return shape.title;
  return QString();
}

bool vcDispObjShape::SetData(uint32_t index) {
  OurIndex = index;
  if (index == kNoDispObj || !readParam(index, shape_)) return false;
  LoadingData = true;
  ShapeSelection->clear();
  for (const ShapeTitle& shape : kShapes)
    if (shape.offered) ShapeSelection->addItem(shape.title);
  // A line (from a style) or an unknown code shows no entry.
  const QString title = ShapeTitleOf(shape_.Shape);
  ShapeSelection->setCurrentIndex(title.isEmpty() ? -1 : ShapeSelection->findText(title));
  options_->show();
  DoFillCheck->setChecked(!ColorIsOff(shape_.FillColor));
  showColor(FillColor, shape_.FillColor);
  DoLineCheck->setChecked(!ColorIsOff(shape_.LineColor));
  showColor(LineColor, shape_.LineColor);
  lineSize_->show(shape_.LineSize);
  LoadingData = false;
  return true;
}

void vcDispObjShape::UpdatePreview() {
  if (LoadingData) return;
  // A line is its outline: it is never left without one.
  if (ShapeIsLine(shape_.Shape)) {
    DoLineCheck->setChecked(true);
    shape_.LineColor = wellColor(LineColor);
  }
  if (writeParam(shape_)) updateOtherPanels();
}

void vcDispObjShape::ShapeSelection_Changed() {
  shape_.Shape = ShapeCodeOf(ShapeSelection->currentText());
  UpdatePreview();
}

void vcDispObjShape::DoFillCheck_Changed() {
  shape_.FillColor = ColorSwitched(wellColor(FillColor), DoFillCheck->isChecked());
  UpdatePreview();
}

void vcDispObjShape::DoLineCheck_Changed() {
  shape_.LineColor = ColorSwitched(wellColor(LineColor), DoLineCheck->isChecked());
  UpdatePreview();
}

