#include "ui/controls/real_stepper.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/util/ui_utils.h"

namespace {

constexpr int kPageSteps = 10;

// Sums of decimal increments (0.1 ten times) drift off the decimal they
// stand for; a field that shows 1.0 must also read as 1, so the sum is put
// back on the nearest nine-decimal value while that is still exact.
double cleanDecimal(double value) {
  if (std::fabs(value) >= 1e6) return value;
  return std::nearbyint(value * 1e9) / 1e9;
}

QToolButton* makeArrow(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  button->setFixedWidth(16);
  return button;
}

} // namespace

RealStepper::RealStepper(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  up_ = makeArrow(Qt::UpArrow, this);
  down_ = makeArrow(Qt::DownArrow, this);
  column->addWidget(up_);
  column->addWidget(down_);
  setFocusPolicy(Qt::TabFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(up_, &QToolButton::clicked, this, [this]() { userStep(1); });
  connect(down_, &QToolButton::clicked, this, [this]() { userStep(-1); });
}

RealStepper::RealStepper(double minimum, double maximum, double increment, QWidget* parent)
    : RealStepper(parent) {
  setRange(minimum, maximum);
  setIncrement(increment);
}

QSize RealStepper::sizeHint() const { return {16, 24}; }

int RealStepper::intValue() const { return ControlIntValue(value_); }

double RealStepper::held(double value) const {
  if (std::isnan(value)) return minimum_;
  return std::clamp(value, minimum_, maximum_);
}

void RealStepper::setValue(double value) { value_ = held(value); }

void RealStepper::setRange(double minimum, double maximum) {
  if (std::isnan(minimum)) minimum = 0;
  if (std::isnan(maximum) || maximum < minimum) maximum = minimum;
  minimum_ = minimum;
  maximum_ = maximum;
  value_ = held(value_);
}

void RealStepper::setIncrement(double increment) {
  increment_ = (increment > 0 && std::isfinite(increment)) ? increment : 1.0;
}

void RealStepper::userStep(int steps) {
  if (!isEnabled()) return;
  double next = cleanDecimal(value_ + increment_ * steps);
  if (next > maximum_) next = wraps_ ? minimum_ : maximum_;
  if (next < minimum_) next = wraps_ ? maximum_ : minimum_;
  if (next == value_) return;
  value_ = next;
  emit changed();
}

void RealStepper::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
  case Qt::Key_Up: userStep(1); break;
  case Qt::Key_Down: userStep(-1); break;
  case Qt::Key_PageUp: userStep(kPageSteps); break;
  case Qt::Key_PageDown: userStep(-kPageSteps); break;
  default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}
