#include "ui/support/window_shots.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <QtGlobal>

void SaveWindowShot(QWidget* window, const QString& name) {
  const QString dir = qEnvironmentVariable("QV_SCREENSHOTS");
  if (dir.isEmpty() || window == nullptr) return;
  QDir().mkpath(dir);
  if (!window->grab().save(dir + "/" + name + ".png")) qWarning("Screenshot %s not written", qUtf8Printable(name));
}
