#pragma once
// A number field as every editor binds it: a text field and its stepper.
// The text's action reads the typed number into the stepper, which holds
// it in range, and runs the stepper's action; the stepper's action shows
// the held value in the text and then runs the owner's action with it.
// Filling from a record (show) runs no action.
#include <QObject>
#include <QString>
#include <functional>
#include "ui/dispobj/dispobj_fwd.h"

class NumberPair : public QObject {
  Q_OBJECT
public:
  enum class Kind {
    kInteger, // typed as an integer (leading digits), shown as one
    kReal,    // typed as a real number, shown with 1 to maxDecimals decimals
  };
  using Action = std::function<void(double value)>;

  NumberPair(TextField* text, RealStepper* stepper, Kind kind, Action action, QObject* parent, int maxDecimals = 4);

  TextField* text() const { return text_; }
  RealStepper* stepper() const { return stepper_; }
  double value() const;
  int intValue() const;
  // Sets the stepper (held in its range) and shows it; no action runs.
  void show(double value);
  // The two actions, as the user's edits run them.
  void Text_Changed();
  void Stepper_Changed();
  // The text a value shows as.
  QString format(double value) const;

  void setEnabled(bool enabled);

private:
  TextField* text_;
  RealStepper* stepper_;
  Kind kind_;
  int maxDecimals_;
  Action action_;
};
