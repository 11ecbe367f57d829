#pragma once
// File drags as the window system delivers them: entering a widget, moving
// over it and let go there, with the actions the source offers.
#include <QPoint>
#include <QStringList>
#include <Qt>

class QWidget;

struct DropAnswer {
  bool entered = false;                        // the entering drag was accepted
  Qt::DropAction enterAction = Qt::IgnoreAction;
  Qt::DropAction moveAction = Qt::IgnoreAction; // while it moves over the widget
  Qt::DropAction proposed = Qt::IgnoreAction;  // what the source asked for
  bool dropped = false;                        // the drop was accepted
  Qt::DropAction dropAction = Qt::IgnoreAction; // the answer the source gets
};

// A source that prefers move is one whose user holds Shift.
DropAnswer DragAndDropFiles(QWidget* widget, const QStringList& paths, Qt::DropActions offered,
                            Qt::KeyboardModifiers modifiers = Qt::NoModifier, QPoint at = QPoint(5, 5));
