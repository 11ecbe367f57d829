// GIO first: Qt's keyword macros (signals) would break its headers.
#include <gio/gio.h>

#include "ui/seams/outside_editor.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

#include "ui/seams/user_defaults.h"

namespace {

const char* const kEditorKey = "ImageEditor";

// The Exec line of the desktop's default application for the file's type.
QString defaultApplicationCommand(const QString& path) {
  const QString type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
  GAppInfo* info = g_app_info_get_default_for_type(type.toUtf8().constData(), FALSE);
  if (info == nullptr) return QString();
  const char* line = g_app_info_get_commandline(info);
  QString command = line != nullptr ? QString::fromUtf8(line) : QString();
  g_object_unref(info);
  return command;
}

// One argument with its field codes filled in; an argument that was only
// a code standing for nothing here (%i, %c, %k and the like) is left out.
void expandArgument(const QString& argument, const QString& path, QStringList& out, bool& fileGiven) {
  QString text;
  bool dropped = false;
  for (qsizetype i = 0; i < argument.size(); ++i) {
    const QChar c = argument[i];
    if (c != '%' || i + 1 == argument.size()) {
      text += c;
      continue;
    }
    const QChar code = argument[++i];
    if (code == '%') {
      text += '%';
    } else if (code == 'f' || code == 'F') {
      text += path;
      fileGiven = true;
    } else if (code == 'u' || code == 'U') {
      text += QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
      fileGiven = true;
    } else {
      dropped = true;
    }
  }
  if (!(dropped && text.isEmpty())) out << text;
}

} // namespace

QStringList OutsideEditorExpand(const QString& commandLine, const QString& path) {
  QStringList command;
  bool fileGiven = false;
  for (const QString& argument : QProcess::splitCommand(commandLine))
    expandArgument(argument, path, command, fileGiven);
  if (command.isEmpty()) return {};
  if (!fileGiven) command << path;
  return command;
}

QStringList OutsideEditorCommand(const QString& path) {
  QString line;
  if (QSettings* settings = UserDefaults()) line = settings->value(kEditorKey).toString().trimmed();
  if (line.isEmpty()) line = defaultApplicationCommand(path);
  return line.isEmpty() ? QStringList() : OutsideEditorExpand(line, path);
}

bool OutsideEditorRunAndWait(const QStringList& command, QString* reason) {
  if (command.isEmpty()) {
    if (reason != nullptr) *reason = "no program";
    return false;
  }
  QProcess editor;
  // Nobody reads what the editor prints; left in pipes it could stall it.
  editor.setStandardInputFile(QProcess::nullDevice());
  editor.setStandardOutputFile(QProcess::nullDevice());
  editor.setStandardErrorFile(QProcess::nullDevice());
  editor.start(command.front(), command.mid(1));
  if (!editor.waitForStarted(-1)) {
    if (reason != nullptr) *reason = editor.errorString();
    return false;
  }
  // However long the user takes.
  editor.waitForFinished(-1);
  return true;
}
