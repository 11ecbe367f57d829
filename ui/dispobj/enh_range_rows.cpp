#include "ui/dispobj/enh_range_rows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr double kRangeLimit = 9999999;

QString number(double value) { return FormatNumberNSString(1, 4, value); }

} // namespace

EnhRangeRows::EnhRangeRows(QGridLayout* grid, int& row, int span, int textWidth, QWidget* parent)
    : QObject(parent) {
  FieldLabel = new QLabel("Channel:", parent);
  FieldLabel->setObjectName("FieldLabel");
  FieldSelection = DispObjPanel::typableList("FieldSelection", parent);
  FieldSelection->setMaxVisibleItems(20);
  grid->addWidget(FieldLabel, row, 0);
  grid->addWidget(FieldSelection, row++, 1, 1, span);

  MinManualCheck = DispObjPanel::checkBox("Min:", "MinManualCheck", parent);
  MinManualCheck->setToolTip("A fixed bottom of the range; off: the channel's lowest value");
  MaxManualCheck = DispObjPanel::checkBox("Max:", "MaxManualCheck", parent);
  MaxManualCheck->setToolTip("A fixed top of the range; off: the channel's highest value");
  grid->addWidget(MinManualCheck, row, 0);
  grid->addLayout(DispObjPanel::numberField(MinText, MinStepper, "Min", -kRangeLimit, kRangeLimit, 1, parent, textWidth),
                  row++, 1, 1, span);
  grid->addWidget(MaxManualCheck, row, 0);
  grid->addLayout(DispObjPanel::numberField(MaxText, MaxStepper, "Max", -kRangeLimit, kRangeLimit, 1, parent, textWidth),
                  row++, 1, 1, span);

  connect(FieldSelection, &QComboBox::activated, this, &EnhRangeRows::FieldSelection_Changed);
  connect(static_cast<TextField*>(FieldSelection->lineEdit()), &TextField::changed, this,
          &EnhRangeRows::FieldSelection_Changed);
  connect(MinManualCheck, &QCheckBox::clicked, this, &EnhRangeRows::MinManualCheck_Changed);
  connect(MaxManualCheck, &QCheckBox::clicked, this, &EnhRangeRows::MaxManualCheck_Changed);
  connect(MinText, &TextField::changed, this, &EnhRangeRows::MinText_Changed);
  connect(MinStepper, &RealStepper::changed, this, &EnhRangeRows::MinStepper_Changed);
  connect(MaxText, &TextField::changed, this, &EnhRangeRows::MaxText_Changed);
  connect(MaxStepper, &RealStepper::changed, this, &EnhRangeRows::MaxStepper_Changed);
}

void EnhRangeRows::Load(EnhParam& record, uint32_t input) {
  record_ = &record;
  input_ = input;
  loading_ = true;
  DispObjPanel::fillFieldCombo(FieldSelection, "(None)", DispObjPanel::dataFieldNames(input),
                               W16ToNSString(record.Field));
  const bool minSet = !RangeMinIsAuto(record.Min);
  const bool maxSet = !RangeMaxIsAuto(record.Max);
  MinManualCheck->setChecked(minSet);
  MinStepper->setValue(minSet ? record.Min : 0);
  MaxManualCheck->setChecked(maxSet);
  MaxStepper->setValue(maxSet ? record.Max : 100);
  showRanges();
  loading_ = false;
  SetFieldColor();
}

void EnhRangeRows::SetFieldColor() const {
  if (record_ != nullptr) DispObjPanel::showFieldState(FieldLabel, input_, record_->Field);
}

void EnhRangeRows::showRanges() {
  UISetControlEnabled(MinText, MinManualCheck->isChecked());
  UISetControlEnabled(MinStepper, MinManualCheck->isChecked());
  UISetControlEnabled(MaxText, MaxManualCheck->isChecked());
  UISetControlEnabled(MaxStepper, MaxManualCheck->isChecked());
  MinText->setText(number(MinStepper->value()));
  MaxText->setText(number(MaxStepper->value()));
}

void EnhRangeRows::FieldSelection_Changed() {
  if (loading_ || record_ == nullptr || !DispObjPanel::storeChosenField(FieldSelection, record_->Field)) return;
  SetFieldColor();
  emit edited();
}

void EnhRangeRows::MinManualCheck_Changed() {
  if (record_ == nullptr) return;
  record_->Min = MinManualCheck->isChecked() ? MinStepper->value() : kRangeAutoMin;
  showRanges();
  emit edited();
}

void EnhRangeRows::MaxManualCheck_Changed() {
  if (record_ == nullptr) return;
  record_->Max = MaxManualCheck->isChecked() ? MaxStepper->value() : kRangeAutoMax;
  showRanges();
  emit edited();
}

void EnhRangeRows::MinText_Changed() {
  MinStepper->setValue(NSStringToDouble(MinText->text()));
  MinStepper_Changed();
}

void EnhRangeRows::MinStepper_Changed() {
  MinText->setText(number(MinStepper->value()));
  if (record_ == nullptr) return;
  record_->Min = MinStepper->value();
  emit edited();
}

void EnhRangeRows::MaxText_Changed() {
  MaxStepper->setValue(NSStringToDouble(MaxText->text()));
  MaxStepper_Changed();
}

void EnhRangeRows::MaxStepper_Changed() {
  MaxText->setText(number(MaxStepper->value()));
  if (record_ == nullptr) return;
  record_->Max = MaxStepper->value();
  emit edited();
}
