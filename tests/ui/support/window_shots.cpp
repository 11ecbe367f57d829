#include "ui/support/window_shots.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

bool SaveWindowShot(QWidget* window, const QString& name) {
  if (window == nullptr) return false;
  const QString dir = QCoreApplication::applicationDirPath() + "/ui-screenshots";
  QDir().mkpath(dir);
  const QPixmap picture = window->grab();
  return !picture.isNull() && picture.width() > 50 && picture.height() > 50 && picture.save(dir + "/" + name + ".png");
}
