#include "ui/seams/session_power.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include "base/log.h"

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

bool SystemShutdown(QString* why) {
  QString reason;
  bool taken = false;
  if (hook()) {
    taken = hook()(&reason);
  } else {
    QDBusMessage request = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                          "org.freedesktop.login1.Manager", "PowerOff");
    request << true; // interactive: polkit may ask the user
    const QDBusMessage reply = QDBusConnection::systemBus().call(request);
    taken = reply.type() != QDBusMessage::ErrorMessage;
    if (!taken) reason = reply.errorMessage();
  }
  if (taken) LogPrintf(L"Shut-down requested");
  else LogPrintf(L"Shut-down request refused: %S", reason.toUtf8().constData());
  if (why != nullptr) *why = reason;
  return taken;
}
