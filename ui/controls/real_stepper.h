#pragma once
// A stepper: two arrows that move a real value by its increment inside
// [minimum, maximum]. It is the right half of every number field; the text
// beside it is a plain QLineEdit.
//
// Contract:
// - changed() is the stepper's action. It is emitted only when the user
//   changes the value (a click on an arrow, an arrow held down repeating, the
//   Up, Down, Page Up and Page Down keys) and only when the value moved.
// - setValue, setRange, setIncrement and setWraps never emit; a value set by
//   the program is held inside the range (NaN gives the minimum), so a text
//   action can push any typed number in and read the held value back.
// - Without wrapping a step stops at the ends; with it, a step past one end
//   lands on the other.
// - intValue() truncates toward zero, as a stepper's integer value is read.
#include <QWidget>

class QToolButton;

class RealStepper : public QWidget {
  Q_OBJECT
public:
  explicit RealStepper(QWidget* parent = nullptr);
  RealStepper(double minimum, double maximum, double increment, QWidget* parent = nullptr);

  double value() const { return value_; }
  int intValue() const;
  void setValue(double value);

  double minimum() const { return minimum_; }
  double maximum() const { return maximum_; }
  double increment() const { return increment_; }
  // A maximum below the minimum is raised to it.
  void setRange(double minimum, double maximum);
  // Increments of zero or less, or NaN, count as 1.
  void setIncrement(double increment);
  void setWraps(bool wraps) { wraps_ = wraps; }

  QToolButton* upArrow() const { return up_; }
  QToolButton* downArrow() const { return down_; }

  QSize sizeHint() const override;

signals:
  void changed();

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  void userStep(int steps);
  double held(double value) const;

  double minimum_ = 0;
  double maximum_ = 100;
  double increment_ = 1;
  double value_ = 0;
  bool wraps_ = false;
  QToolButton* up_ = nullptr;
  QToolButton* down_ = nullptr;
};
