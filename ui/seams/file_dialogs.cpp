#include "ui/seams/file_dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace {

FileDialogHook& hook() {
  static FileDialogHook installed;
  return installed;
}

QString filterFor(const QStringList& types, bool otherTypes) {
  if (types.isEmpty()) return QString();
  QStringList patterns;
  for (const QString& type : types) patterns << "*." + type;
  QString filter = "Files (" + patterns.join(' ') + ")";
  return otherTypes ? filter + ";;All files (*)" : filter;
}

} // namespace

void FileDialogInstall(FileDialogHook installed) { hook() = std::move(installed); }

QStringList FileDialogRun(QWidget* parent, const FileDialogRequest& request) {
  if (hook()) return hook()(request);
  QFileDialog dialog(parent, request.title, request.directory, filterFor(request.types, request.otherTypes));
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (request.save) {
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.types.isEmpty()) dialog.setDefaultSuffix(request.types.front());
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  } else {
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

QString FileDialogOpen(QWidget* parent, const QString& title, const QString& directory, const QStringList& types) {
  FileDialogRequest request;
  request.title = title;
  request.directory = directory;
  request.types = types;
  QStringList chosen = FileDialogRun(parent, request);
  return chosen.isEmpty() ? QString() : chosen.front();
}

QString FileDialogSave(QWidget* parent, const QString& title, const QString& directory, const QString& fileName,
                       const QStringList& types) {
  FileDialogRequest request;
  request.save = true;
  request.title = title;
  request.directory = directory;
  request.fileName = fileName;
  request.types = types;
  QStringList chosen = FileDialogRun(parent, request);
  return chosen.isEmpty() ? QString() : chosen.front();
}
