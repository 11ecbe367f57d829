#include "ui/util/written_files_qt.h"

#include <QCoreApplication>
#include <QThread>

#include "ui/util/ui_utils.h"

WrittenFiles* WrittenFiles::instance() {
  static WrittenFiles* notifier = [] {
    auto* created = new WrittenFiles();
    if (QCoreApplication::instance() != nullptr) created->moveToThread(QCoreApplication::instance()->thread());
    WrittenFileInstall([created](WrittenFileKind kind, const std::wstring& path) {
      const QString text = WStrToNSString(path.c_str());
      if (QThread::currentThread() == created->thread()) {
        emit created->written(kind, text);
      } else {
        QMetaObject::invokeMethod(
            created, [created, kind, text]() { emit created->written(kind, text); }, Qt::QueuedConnection);
      }
    });
    return created;
  }();
  return notifier;
}
