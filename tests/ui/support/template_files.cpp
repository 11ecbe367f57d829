#include "ui/support/template_files.h"

#include <QDir>
#include <QFile>

#include "io/files/templates.h"
#include "model/dispobjs.h"
#include "sessions.h"
#include "ui/util/ui_utils.h"

bool WriteTextTemplate(const QString& path, const char16_t* name) {
  const uint32_t text = DispObjAdd(kDispText, 255);
  bool ok = text != kNoDispObj && TemplateExportOpen(NSStringToWStr(path).c_str()) == 0;
  ok = ok && TemplateExportAddDispObj(text, name) == 0;
  ok = TemplateExportClose() == 0 && ok;
  DispObjRemove(text, 1);
  return ok;
}

QStringList FillTemplateFolder(const QString& folder, const QString& templatePath, int n, const QString& prefix) {
  QDir dir(folder);
  dir.removeRecursively();
  QDir().mkpath(folder);
  QStringList names;
  for (int k = 1; k <= n; ++k) {
    const QString name = prefix + QString("%1").arg(k, 2, 10, QChar('0')) + ".qvt";
    QFile::copy(templatePath, folder + "/" + name);
    names << name;
  }
  return names;
}

QString StarterTemplates() { return QStringLiteral(QV_TEST_SOURCE_DIR "/../starter/Templates"); }

QString StarterTemplate(const QString& fileName) { return StarterTemplates() + "/" + fileName; }

std::string WriteLapSession(const std::string& folder) {
  const std::string path = folder + "/track-day.csv";
  return WriteSession(SessionSpec{}, path) ? path : std::string();
}
