#pragma once
// Open and save panels. Tests install a hook that answers in the user's
// place; the hook sees what the panel would have shown.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

struct FileDialogRequest {
  bool save = false;
  bool multiple = false; // open: more than one file may be chosen
  QString title;
  QString directory;     // starting folder; empty: where the platform likes
  QString fileName;      // the proposed (save) or current (open) file name
  QStringList types;     // allowed extensions without the dot; empty: any
  bool otherTypes = false; // open: files of any other type may be chosen as well
};
// The chosen paths; empty for Cancel.
using FileDialogHook = std::function<QStringList(const FileDialogRequest&)>;
void FileDialogInstall(FileDialogHook hook);

QStringList FileDialogRun(QWidget* parent, const FileDialogRequest& request);
// One file to open, or empty for Cancel.
QString FileDialogOpen(QWidget* parent, const QString& title, const QString& directory, const QStringList& types);
// The path to save under, or empty for Cancel.
QString FileDialogSave(QWidget* parent, const QString& title, const QString& directory, const QString& fileName,
                       const QStringList& types);
