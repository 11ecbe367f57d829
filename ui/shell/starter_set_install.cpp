#include "ui/shell/starter_set_install.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/log.h"
#include "ui/util/ui_utils.h"

namespace {

const char* const kFolders[] = {"Templates", "Styles", "Video Positions", "Images"};

bool holdsSet(const QString& folder) { return !folder.isEmpty() && QDir(folder + "/Templates").exists(); }

} // namespace

QString StarterSetFolder() {
  const QString installed =
      QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/quelvatron/starter");
  if (QCoreApplication::instance() != nullptr && holdsSet(installed)) return installed;
#ifdef QV_STARTER_SOURCE_DIR
  if (holdsSet(QStringLiteral(QV_STARTER_SOURCE_DIR))) return QStringLiteral(QV_STARTER_SOURCE_DIR);
#endif
  return QString();
}

int StarterSetInstall(const QString& from, const QString& documents) {
  // A relative documents folder (none found) would land in the working folder.
  if (from.isEmpty() || !QFileInfo(documents).isAbsolute()) return 0;
  int copied = 0;
  for (const char* folder : kFolders) {
    const QDir source(from + "/" + folder);
    if (!source.exists()) continue;
    const QString target = documents + "/" + folder;
    QDir().mkpath(target);
    for (const QFileInfo& file : source.entryInfoList(QDir::Files | QDir::Readable)) {
      const QString to = target + "/" + file.fileName();
      // QFile::copy never replaces an existing file, not even one that
      // appears while it copies.
      if (QFileInfo::exists(to) || !QFile::copy(file.absoluteFilePath(), to)) continue;
      QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
      ++copied;
    }
  }
  if (copied > 0)
    LogPrintf(L"Starter templates and styles: %d files copied into '%s'", copied, NSStringToWStr(documents).c_str());
  return copied;
}
