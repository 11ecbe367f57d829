#pragma once
// A number field as every editor binds it: a text field and its stepper.
// The text's action reads the typed number into the stepper, which holds
// it in range, and runs the stepper's action; the stepper's action shows
// the held value in the text and then runs the owner's action with it.
// Filling from a record (show) runs no action.
#include <QObject>
#include <QString>
#include <functional>
#include <type_traits>

#include "ui/dispobj/dispobj_fwd.h"

class NumberPair : public QObject {
  Q_OBJECT
public:
  enum class Kind {
    kInteger, // typed as an integer (leading digits), shown as one
    kReal,    // typed as a real number, shown with 1 to maxDecimals decimals
  };
  using Action = std::function<void(double value)>;
  using Format = std::function<QString(double value)>;

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
  // For a field that shows its values in a way of its own.
  void setFormat(Format format) { format_ = std::move(format); }

  void setEnabled(bool enabled);

private:
  TextField* text_;
  RealStepper* stepper_;
  Kind kind_;
  int maxDecimals_;
  Action action_;
  Format format_;
};

// Number fields bound to the fields of the record an owner edits: an edit
// stores the number (a whole one into an integer field), ticks the
// element's switch where it has one and runs the owner's write path.
class NumberBinder {
public:
  NumberBinder(QObject* owner, std::function<void()> written) : owner_(owner), written_(std::move(written)) {}

  template <class Field>
  NumberPair* whole(TextField* text, RealStepper* stepper, Field& field, QCheckBox* elementSwitch = nullptr) const {
    return bind(text, stepper, NumberPair::Kind::kInteger, field, elementSwitch, 4);
  }
  template <class Field>
  NumberPair* real(TextField* text, RealStepper* stepper, Field& field, QCheckBox* elementSwitch = nullptr,
                   int maxDecimals = 4) const {
    return bind(text, stepper, NumberPair::Kind::kReal, field, elementSwitch, maxDecimals);
  }

private:
  template <class Field>
  NumberPair* bind(TextField* text, RealStepper* stepper, NumberPair::Kind kind, Field& field,
                   QCheckBox* elementSwitch, int maxDecimals) const {
    auto store = [&field, elementSwitch, written = written_](double v) {
      if constexpr (std::is_integral_v<Field>) field = static_cast<Field>(static_cast<int>(v));
      else field = static_cast<Field>(v);
      if (elementSwitch != nullptr) tick(elementSwitch);
      written();
    };
    return new NumberPair(text, stepper, kind, store, owner_, maxDecimals);
  }
  static void tick(QCheckBox* elementSwitch);

  QObject* owner_;
  std::function<void()> written_;
};
