#include "ui/seams/main_thread_qt.h"

#include <QCoreApplication>
#include <QThread>

#include "base/main_thread.h"

void MainThreadInstallQt() {
  MainThreadMarkCurrent();
  MainThreadInstall(
      [](std::function<void()> job) {
        QCoreApplication* app = QCoreApplication::instance();
        if (app == nullptr) {
          job();
          return;
        }
        QMetaObject::invokeMethod(app, std::move(job), Qt::QueuedConnection);
      },
      []() { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

void MainThreadUninstallQt() { MainThreadInstall(nullptr, nullptr); }

bool IsGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}
