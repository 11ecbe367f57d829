#include "ui/support/fake_login_service.h"
#include "support/temp_folder.h"

#include <poll.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <filesystem>

class LoginManagerObject : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
  explicit LoginManagerObject(FakeLoginService* service) : service_(service) {}

public slots:
  QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode) {
    int ends[2];
    if (pipe(ends) != 0) return QDBusUnixFileDescriptor();
    service_->record({what, who, why, mode, ends[0]});
    QDBusUnixFileDescriptor handed(ends[1]); // a copy; ours closes now
    close(ends[1]);
    return handed;
  }

private:
  FakeLoginService* service_;
};

namespace {
const char* const kConnection = "fake-login1";
}

FakeLoginService::FakeLoginService() {
  const std::string folder = MakeTempFolder("qv-login");
  if (folder.empty() || !bus_.Start(folder)) return;
  dir_ = folder;
  QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), kConnection);
  if (!bus.isConnected() || !bus.registerService("org.freedesktop.login1")) return;
  manager_ = new LoginManagerObject(this);
  thread_.start();
  manager_->moveToThread(&thread_);
  ready_ = bus.registerObject("/org/freedesktop/login1", manager_, QDBusConnection::ExportAllSlots);
}

FakeLoginService::~FakeLoginService() {
  QDBusConnection::disconnectFromBus(kConnection);
  thread_.quit();
  thread_.wait();
  delete manager_;
  for (const InhibitCall& call : calls_) close(call.readEnd);
  std::error_code ignored;
  if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

void FakeLoginService::record(InhibitCall call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

std::vector<InhibitCall> FakeLoginService::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

bool FakeLoginService::held(size_t call) const {
  std::lock_guard lock(mutex_);
  if (call >= calls_.size()) return false;
  pollfd end{calls_[call].readEnd, POLLIN, 0};
  // The read end reports a hang-up once every copy of the write end is gone.
  return poll(&end, 1, 0) == 0;
}

#include "fake_login_service.moc"
