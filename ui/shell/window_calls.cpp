#include "ui/shell/window_calls.h"

#include <QByteArray>
#include <QMetaObject>
#include <QVariant>

#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"

namespace {

bool carries(WindowController* window, const QByteArray& signature) {
  return AppDelegate::IsWindowVisible(window) && WindowCarries(window, signature.constData());
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

bool WindowCarries(WindowController* window, const char* signature) {
  return window != nullptr &&
         window->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature).constData()) >= 0;
}

bool CallWindowBool(WindowController* window, const char* method, int value, bool& result) {
  if (!WindowCarries(window, (QByteArray(method) + "(int)").constData())) return false;
  return QMetaObject::invokeMethod(window, method, Qt::DirectConnection, Q_RETURN_ARG(bool, result),
                                   Q_ARG(int, value));
}

bool CallWindowBool(WindowController* window, const char* method, int first, int second, bool& result) {
  if (!WindowCarries(window, (QByteArray(method) + "(int,int)").constData())) return false;
  return QMetaObject::invokeMethod(window, method, Qt::DirectConnection, Q_RETURN_ARG(bool, result),
                                   Q_ARG(int, first), Q_ARG(int, second));
}

bool WindowFlag(WindowController* window, const char* name) {
  return window != nullptr && window->property(name).toBool();
}

bool CallWindow(WindowController* window, const char* method, int value) {
  if (!WindowCarries(window, (QByteArray(method) + "(int)").constData())) return false;
  return QMetaObject::invokeMethod(window, method, Qt::DirectConnection, Q_ARG(int, value));
}

bool CallWindow(WindowController* window, const char* method) {
  if (!WindowCarries(window, (QByteArray(method) + "()").constData())) return false;
  return QMetaObject::invokeMethod(window, method, Qt::DirectConnection);
}

void QuickSyncSettle() {
  AppDelegate* app = AppDelegate::shared();
  if (app != nullptr) CallWindowIfVisible(app->wndInputSync, "InputsWillChange");
}

int AskWindowIfVisible(WindowController* window, const char* method, int fallback) {
  if (!AppDelegate::IsWindowVisible(window) || !WindowCarries(window, (QByteArray(method) + "()").constData()))
    return fallback;
  int answer = fallback;
  if (!QMetaObject::invokeMethod(window, method, Qt::DirectConnection, Q_RETURN_ARG(int, answer))) return fallback;
  return answer;
}
