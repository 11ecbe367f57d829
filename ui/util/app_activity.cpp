// Keeping the machine awake through a long job: logind hands out an
// inhibitor as a file descriptor, held until we close it. QV_LOGIN_BUS (a
// D-Bus address) points the request at another bus than the system one.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QString>
#include <cstdlib>

#include "base/log.h"
#include "ui/util/ui_utils.h"

struct AppActivity {
  QDBusUnixFileDescriptor inhibitor; // closed with the record
};

namespace {

constexpr int kInhibitTimeoutMs = 3000;
const char* const kLoginService = "org.freedesktop.login1";

QDBusConnection loginBus() {
  const char* address = std::getenv("QV_LOGIN_BUS");
  if (address == nullptr || address[0] == 0) return QDBusConnection::systemBus();
  // One connection per address, made again when its bus has gone away.
  const QString name = "qv-login-bus " + QString::fromUtf8(address);
  if (!QDBusConnection(name).isConnected()) QDBusConnection::disconnectFromBus(name);
  return QDBusConnection::connectToBus(QString::fromUtf8(address), name);
}

// A desktop without logind says so once, not on every render.
void logUnavailable(const QString& why) {
  static bool logged = false;
  if (logged) return;
  logged = true;
  LogPrintf(L"The session may idle or sleep during long jobs: %S", why.toUtf8().constData());
}

} // namespace

AppActivityToken AppActivityBegin(const QString& reason) {
  QDBusConnection bus = loginBus();
  if (!bus.isConnected()) {
    logUnavailable(bus.lastError().message());
    return nullptr;
  }
  QDBusMessage request = QDBusMessage::createMethodCall(kLoginService, "/org/freedesktop/login1",
                                                        "org.freedesktop.login1.Manager", "Inhibit");
  request << QString("idle:sleep") << QString("Quelvatron") << reason << QString("block");
  const QDBusMessage reply = bus.call(request, QDBus::Block, kInhibitTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    logUnavailable(reply.errorMessage());
    return nullptr;
  }
  auto descriptor = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().first());
  if (!descriptor.isValid()) {
    logUnavailable("no inhibitor handed back");
    return nullptr;
  }
  return new AppActivity{descriptor};
}

void AppActivityEnd(AppActivityToken token) { delete token; }
