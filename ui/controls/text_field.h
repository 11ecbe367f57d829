#pragma once
// The editable text field of every editor: a line edit whose action means
// "the user has entered this text".
//
// Contract:
// - changed() is the field's action. It is emitted when the user presses
//   Return or Enter in the field (edited or not), and when the field loses
//   the keyboard focus after the user edited it since the last action.
// - Return belongs to the field: it does not also press the window's
//   default button, so entering a number never closes a dialog.
// - setText() by the program never emits and drops any pending edit, so a
//   field refilled from a record does not write the record back when the
//   user merely tabs through it.
// Number fields pair one with a RealStepper: the text action reads the text
// (NSStringToDouble or NSStringToInt) into the stepper, which holds it in
// range, then runs the stepper action, which formats the value back.
#include <QLineEdit>

class TextField : public QLineEdit {
  Q_OBJECT
public:
  explicit TextField(QWidget* parent = nullptr);
  explicit TextField(const QString& text, QWidget* parent = nullptr);

  // Whether the user typed since the last action or the program's last set.
  bool isEdited() const { return edited_; }

signals:
  void changed();

protected:
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void act();

  bool edited_ = false;
  QString userText_;
};
