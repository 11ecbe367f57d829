#include "ui/dispobj/number_pair.h"

#include <QCheckBox>

#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/util/ui_utils.h"

NumberPair::NumberPair(TextField* text, RealStepper* stepper, Kind kind, Action action, QObject* parent,
                       int maxDecimals)
    : QObject(parent), text_(text), stepper_(stepper), kind_(kind), maxDecimals_(maxDecimals),
      action_(std::move(action)) {
  connect(text_, &TextField::changed, this, &NumberPair::Text_Changed);
  connect(stepper_, &RealStepper::changed, this, &NumberPair::Stepper_Changed);
}

double NumberPair::value() const { return stepper_->value(); }

int NumberPair::intValue() const { return stepper_->intValue(); }

QString NumberPair::format(double value) const {
  if (format_) return format_(value);
  if (kind_ == Kind::kReal) return FormatNumberNSString(1, maxDecimals_, value);
  return QString::number(ControlIntValue(value));
}

void NumberPair::show(double value) {
  stepper_->setValue(value);
  text_->setText(format(stepper_->value()));
}

void NumberPair::Text_Changed() {
  const QString typed = text_->text();
  stepper_->setValue(kind_ == Kind::kReal ? NSStringToDouble(typed) : NSStringToInt(typed));
  Stepper_Changed();
}

void NumberPair::Stepper_Changed() {
  text_->setText(format(stepper_->value()));
  if (action_) action_(kind_ == Kind::kReal ? stepper_->value() : stepper_->intValue());
}

void NumberPair::setEnabled(bool enabled) {
  UISetControlEnabled(text_, enabled);
  UISetControlEnabled(stepper_, enabled);
}

void NumberBinder::tick(QCheckBox* elementSwitch) { elementSwitch->setChecked(true); }
