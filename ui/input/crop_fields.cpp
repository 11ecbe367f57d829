#include "ui/input/crop_fields.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <algorithm>

#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/util/ui_utils.h"

namespace {

const char* const kSideNames[] = {"Top", "Left", "Right", "Bottom"};

} // namespace

CropFields::CropFields(QWidget* parent, QGridLayout* grid, std::function<void()> changed)
    : changed_(std::move(changed)) {
  const QPoint cells[kSides] = {{1, 0}, {0, 1}, {2, 1}, {1, 2}};
  for (int side = 0; side < kSides; ++side) {
    auto* pair = new QHBoxLayout();
    text_[side] = new TextField(parent);
    text_[side]->setObjectName(QString("Crop%1Text").arg(kSideNames[side]));
    text_[side]->setToolTip(kSideNames[side]);
    text_[side]->setMaximumWidth(56);
    stepper_[side] = new RealStepper(0, 0, 1, parent);
    stepper_[side]->setObjectName(QString("Crop%1Stepper").arg(kSideNames[side]));
    pair->addWidget(text_[side]);
    pair->addWidget(stepper_[side]);
    grid->addLayout(pair, cells[side].y(), cells[side].x());
    const Side which = static_cast<Side>(side);
    QObject::connect(text_[side], &TextField::changed, parent, [this, which]() { Text_Changed(which); });
    QObject::connect(stepper_[side], &RealStepper::changed, parent, [this, which]() { Stepper_Changed(which); });
  }
}

void CropFields::SetPictureSize(int32_t width, int32_t height) {
  const int32_t maxX = std::max(width - 1, 0);
  const int32_t maxY = std::max(height - 1, 0);
  const int32_t maxima[kSides] = {maxY, maxX, maxX, maxY};
  for (int side = 0; side < kSides; ++side) stepper_[side]->setRange(0, maxima[side]);
}

CropMargins CropFields::Margins() const {
  return {stepper_[kLeft]->intValue(), stepper_[kRight]->intValue(), stepper_[kTop]->intValue(),
          stepper_[kBottom]->intValue()};
}

void CropFields::SetMargins(const CropMargins& margins) {
  const int32_t values[kSides] = {margins.top, margins.left, margins.right, margins.bottom};
  for (int side = 0; side < kSides; ++side) {
    stepper_[side]->setValue(values[side]);
    text_[side]->setText(QString::number(stepper_[side]->intValue()));
  }
}

void CropFields::TakeTexts(std::initializer_list<Side> order) {
  for (Side side : order) Text_Changed(side);
}

void CropFields::Text_Changed(Side side) {
  stepper_[side]->setValue(NSStringToInt(text_[side]->text()));
  Stepper_Changed(side);
}

void CropFields::Stepper_Changed(Side side) {
  text_[side]->setText(QString::number(stepper_[side]->intValue()));
  if (changed_) changed_();
}
