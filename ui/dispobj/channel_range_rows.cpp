#include "ui/dispobj/channel_range_rows.h"

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

ChannelRangeRows::ChannelRangeRows(QGridLayout* grid, int& row, const ChannelRangeLook& look, QWidget* parent)
    : QObject(parent) {
  const int span = look.span, textWidth = look.textWidth;
  FieldLabel = new QLabel("Channel:", parent);
  FieldLabel->setObjectName("FieldLabel");
  FieldSelection = DispObjPanel::typableList("FieldSelection", parent);
  FieldSelection->setMaxVisibleItems(20);
  grid->addWidget(FieldLabel, row, 0);
  grid->addWidget(FieldSelection, row++, 1, 1, span);

  MinManualCheck = DispObjPanel::checkBox("Min:", "MinManualCheck", parent);
  MinManualCheck->setToolTip(
      QString("A fixed %1 of the %2; off: the channel's lowest value").arg(look.low, look.range));
  MaxManualCheck = DispObjPanel::checkBox("Max:", "MaxManualCheck", parent);
  MaxManualCheck->setToolTip(
      QString("A fixed %1 of the %2; off: the channel's highest value").arg(look.high, look.range));
  grid->addWidget(MinManualCheck, row, 0);
  grid->addLayout(DispObjPanel::numberField(MinText, MinStepper, "Min", -kRangeLimit, kRangeLimit, 1, parent, textWidth),
                  row++, 1, 1, span);
  grid->addWidget(MaxManualCheck, row, 0);
  grid->addLayout(DispObjPanel::numberField(MaxText, MaxStepper, "Max", -kRangeLimit, kRangeLimit, 1, parent, textWidth),
                  row++, 1, 1, span);

  DispObjPanel::onListChosen(FieldSelection, this, &ChannelRangeRows::FieldSelection_Changed);
  connect(MinManualCheck, &QCheckBox::clicked, this, &ChannelRangeRows::MinManualCheck_Changed);
  connect(MaxManualCheck, &QCheckBox::clicked, this, &ChannelRangeRows::MaxManualCheck_Changed);
  connect(MinText, &TextField::changed, this, &ChannelRangeRows::MinText_Changed);
  connect(MinStepper, &RealStepper::changed, this, &ChannelRangeRows::MinStepper_Changed);
  connect(MaxText, &TextField::changed, this, &ChannelRangeRows::MaxText_Changed);
  connect(MaxStepper, &RealStepper::changed, this, &ChannelRangeRows::MaxStepper_Changed);
}

void ChannelRangeRows::Load(char16_t (&field)[kNameLength], double& min, double& max, uint32_t input,
                            bool automatic) {
  field_ = &field;
  min_ = &min;
  max_ = &max;
  input_ = input;
  automatic_ = automatic;
  loading_ = true;
  DispObjPanel::fillFieldCombo(FieldSelection, automatic ? "(Automatic)" : "(None)",
                               DispObjPanel::dataFieldNames(input), W16ToNSString(field));
  const bool minSet = !RangeMinIsAuto(min);
  const bool maxSet = !RangeMaxIsAuto(max);
  MinManualCheck->setChecked(minSet);
  MinStepper->setValue(minSet ? min : 0);
  MaxManualCheck->setChecked(maxSet);
  MaxStepper->setValue(maxSet ? max : 100);
  showRanges();
  loading_ = false;
  SetFieldColor();
}

void ChannelRangeRows::SetFieldColor() const {
  if (field_ != nullptr) DispObjPanel::showFieldState(FieldLabel, input_, *field_, automatic_);
}

void ChannelRangeRows::showRanges() {
  UISetControlEnabled(MinText, MinManualCheck->isChecked());
  UISetControlEnabled(MinStepper, MinManualCheck->isChecked());
  UISetControlEnabled(MaxText, MaxManualCheck->isChecked());
  UISetControlEnabled(MaxStepper, MaxManualCheck->isChecked());
  MinText->setText(number(MinStepper->value()));
  MaxText->setText(number(MaxStepper->value()));
}

void ChannelRangeRows::FieldSelection_Changed() {
  if (loading_ || field_ == nullptr || !DispObjPanel::storeChosenField(FieldSelection, *field_)) return;
  SetFieldColor();
  emit edited();
}

void ChannelRangeRows::MinManualCheck_Changed() {
  if (min_ == nullptr) return;
  *min_ = MinManualCheck->isChecked() ? MinStepper->value() : kRangeAutoMin;
  showRanges();
  emit edited();
}

void ChannelRangeRows::MaxManualCheck_Changed() {
  if (max_ == nullptr) return;
  *max_ = MaxManualCheck->isChecked() ? MaxStepper->value() : kRangeAutoMax;
  showRanges();
  emit edited();
}

void ChannelRangeRows::MinText_Changed() {
  MinStepper->setValue(NSStringToDouble(MinText->text()));
  MinStepper_Changed();
}

void ChannelRangeRows::MinStepper_Changed() {
  MinText->setText(number(MinStepper->value()));
  if (min_ == nullptr) return;
  *min_ = MinStepper->value();
  emit edited();
}

void ChannelRangeRows::MaxText_Changed() {
  MaxStepper->setValue(NSStringToDouble(MaxText->text()));
  MaxStepper_Changed();
}

void ChannelRangeRows::MaxStepper_Changed() {
  MaxText->setText(number(MaxStepper->value()));
  if (max_ == nullptr) return;
  *max_ = MaxStepper->value();
  emit edited();
}
