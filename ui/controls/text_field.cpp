#include "ui/controls/text_field.h"

#include <QFocusEvent>
#include <QKeyEvent>

TextField::TextField(QWidget* parent) : TextField(QString(), parent) {}

TextField::TextField(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
  // textEdited comes for the user's changes only, textChanged for every
  // change; a change to anything but the text the user made is the program's.
  connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
    edited_ = true;
    userText_ = text;
  });
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (text != userText_) edited_ = false;
  });
  connect(this, &QLineEdit::returnPressed, this, &TextField::act);
}

void TextField::act() {
  edited_ = false;
  emit changed();
}

void TextField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A popup of the field's own (its context menu) takes the focus for a
  // moment without ending the edit.
  if (edited_ && event->reason() != Qt::PopupFocusReason) act();
}

void TextField::keyPressEvent(QKeyEvent* event) {
  QLineEdit::keyPressEvent(event);
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) event->accept();
}
