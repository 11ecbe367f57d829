#include "ui/shell/window_calls.h"

#include <QByteArray>
#include <QMetaObject>

#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"

namespace {

bool carries(WindowController* window, const QByteArray& signature) {
  return AppDelegate::IsWindowVisible(window) &&
         window->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature.constData())) >= 0;
}

} // namespace

bool CallWindowIfVisible(WindowController* window, const char* method, int value) {
  if (!carries(window, QByteArray(method) + "(int)")) return false;
  return QMetaObject::invokeMethod(window, method, Qt::DirectConnection, Q_ARG(int, value));
}

bool CallWindowIfVisible(WindowController* window, const char* method) {
  if (!carries(window, QByteArray(method) + "()")) return false;
  return QMetaObject::invokeMethod(window, method, Qt::DirectConnection);
}
