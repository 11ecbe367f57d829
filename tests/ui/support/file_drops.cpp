#include "ui/support/file_drops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

DropAnswer DragAndDropFiles(QWidget* widget, const QStringList& paths, Qt::DropActions offered,
                            Qt::KeyboardModifiers modifiers, QPoint at) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  data.setUrls(urls);
  DropAnswer answer;
  QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, modifiers);
  QApplication::sendEvent(widget, &enter);
  answer.entered = enter.isAccepted();
  answer.enterAction = enter.dropAction();
  if (!answer.entered) return answer;
  QDragMoveEvent move(at, offered, &data, Qt::LeftButton, modifiers);
  QApplication::sendEvent(widget, &move);
  answer.moveAction = move.dropAction();
  QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, modifiers);
  answer.proposed = drop.proposedAction();
  QApplication::sendEvent(widget, &drop);
  answer.dropped = drop.isAccepted();
  answer.dropAction = drop.dropAction();
  return answer;
}
