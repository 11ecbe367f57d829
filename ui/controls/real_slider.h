#pragma once
// A slider over a real value in [minimum, maximum], moved by the user in
// steps of its resolution.
//
// Contract:
// - changed() is the slider's action. It is emitted only when the user moves
//   the knob (dragging, where every move counts while tracking is on, a click
//   on the groove, the arrow and page keys, the scroll wheel).
// - setValue and setRange never emit. A value set by the program is kept
//   exactly (held inside the range, NaN gives the minimum) and the knob goes
//   to the nearest step; only a user move turns the value into a step,
//   minimum + n × resolution, the last step being the maximum itself.
// - intValue() truncates toward zero, as a slider's integer value is read.
#include <QWidget>

class QSlider;

class RealSlider : public QWidget {
  Q_OBJECT
public:
  explicit RealSlider(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);
  RealSlider(double minimum, double maximum, double resolution, QWidget* parent = nullptr);

  double value() const { return value_; }
  int intValue() const;
  void setValue(double value);

  double minimum() const { return minimum_; }
  double maximum() const { return maximum_; }
  double resolution() const { return resolution_; }
  // A maximum below the minimum is raised to it. A resolution of zero or
  // less gives a thousand steps over the range.
  void setRange(double minimum, double maximum, double resolution = 0);
  // Off: changed() comes only when a drag ends.
  void setTracking(bool tracking);

  // The Qt slider that takes the user's input, for layouts and tests.
  QSlider* knob() const { return slider_; }

signals:
  void changed();

private:
  int stepOf(double value) const;
  double valueOfStep(int step) const;
  void placeKnob();
  void userMoved(int step);

  double minimum_ = 0;
  double maximum_ = 1;
  double resolution_ = 0.001;
  int steps_ = 1000;
  double value_ = 0;
  bool placing_ = false;
  QSlider* slider_ = nullptr;
};
