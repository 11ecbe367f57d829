#include "ui/controls/real_slider.h"

#include <QHBoxLayout>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "ui/util/ui_utils.h"

namespace {

constexpr int kDefaultSteps = 1000;
// Qt keeps slider positions in an int; far more steps than pixels is plenty.
constexpr double kMostSteps = 1000000;

} // namespace

RealSlider::RealSlider(Qt::Orientation orientation, QWidget* parent) : QWidget(parent) {
  auto* box = new QHBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  slider_ = new QSlider(orientation, this);
  box->addWidget(slider_);
  setFocusProxy(slider_);
  setSizePolicy(slider_->sizePolicy());
  // valueChanged comes from the user's moves and from our own placing of
  // the knob; the flag tells them apart.
  connect(slider_, &QSlider::valueChanged, this, &RealSlider::userMoved);
  setRange(0, 1, 0);
}

RealSlider::RealSlider(double minimum, double maximum, double resolution, QWidget* parent)
    : RealSlider(Qt::Horizontal, parent) {
  setRange(minimum, maximum, resolution);
}

int RealSlider::intValue() const { return ControlIntValue(value_); }

void RealSlider::setValue(double value) {
  value_ = std::isnan(value) ? minimum_ : std::clamp(value, minimum_, maximum_);
  placeKnob();
}

void RealSlider::setRange(double minimum, double maximum, double resolution) {
  if (!std::isfinite(minimum)) minimum = 0;
  if (!std::isfinite(maximum) || maximum < minimum) maximum = minimum;
  minimum_ = minimum;
  maximum_ = maximum;
  const double span = maximum - minimum;
  if (!(resolution > 0) || !std::isfinite(resolution)) resolution = span > 0 ? span / kDefaultSteps : 1;
  resolution_ = resolution;
  steps_ = static_cast<int>(std::clamp(std::ceil(span / resolution - 1e-9), 1.0, kMostSteps));
  placing_ = true;
  slider_->setRange(0, steps_);
  slider_->setSingleStep(1);
  slider_->setPageStep(std::max(1, steps_ / 10));
  placing_ = false;
  setValue(value_);
}

void RealSlider::setTracking(bool tracking) { slider_->setTracking(tracking); }

int RealSlider::stepOf(double value) const {
  return static_cast<int>(std::clamp(std::lround((value - minimum_) / resolution_), 0L, static_cast<long>(steps_)));
}

double RealSlider::valueOfStep(int step) const {
  if (step >= steps_) return maximum_;
  const double value = minimum_ + step * resolution_;
  // Steps of a decimal resolution (0.1) read as that decimal, not its sum.
  return std::fabs(value) < 1e6 ? std::nearbyint(value * 1e9) / 1e9 : value;
}

void RealSlider::placeKnob() {
  placing_ = true;
  slider_->setValue(stepOf(value_));
  placing_ = false;
}

void RealSlider::userMoved(int step) {
  if (placing_) return;
  value_ = valueOfStep(step);
  emit changed();
}
