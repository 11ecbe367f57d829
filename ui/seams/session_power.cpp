#include "ui/seams/session_power.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include "engine/base/log.h"

namespace {

ShutdownHook& hook() {
  static ShutdownHook installed;
  return installed;
}

} // namespace

ShutdownHook SystemShutdownInstall(ShutdownHook installed) {
  ShutdownHook previous = std::move(hook());
  hook() = std::move(installed);
  return previous;
}

bool SystemShutdown() {
  if (hook()) return hook()();
  QDBusMessage request = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                        "org.freedesktop.login1.Manager", "PowerOff");
  request << true; // interactive: polkit may ask the user
  const QDBusMessage reply = QDBusConnection::systemBus().call(request);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    LogPrintf(L"Shut-down request refused: %S", reply.errorMessage().toUtf8().constData());
    return false;
  }
  LogPrintf(L"Shut-down requested");
  return true;
}
