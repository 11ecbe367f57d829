#include "ui/controls/NSTextLabelCustom.h"

#include <QMouseEvent>

NSTextLabelCustom::NSTextLabelCustom(QWidget* parent) : QLabel(parent) {
  setTextInteractionFlags(Qt::NoTextInteraction);
}

NSTextLabelCustom::NSTextLabelCustom(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextInteractionFlags(Qt::NoTextInteraction);
}

void NSTextLabelCustom::mousePressEvent(QMouseEvent* event) {
  clickCount_ = 1;
  event->accept();
}

void NSTextLabelCustom::mouseDoubleClickEvent(QMouseEvent* event) {
  clickCount_ = 2;
  event->accept();
}

void NSTextLabelCustom::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  int count = clickCount_;
  clickCount_ = 0;
  if (count >= 1 && isEnabled() && isVisible()) emit clicked();
}
