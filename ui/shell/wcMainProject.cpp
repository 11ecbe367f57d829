// The open project's identity and title, handed-over files, closing, and
// the project file commands.
#include <QFileInfo>
#include <QMainWindow>
#include <QUrl>

#include "base/error.h"
#include "base/identity.h"
#include "base/log.h"
#include "base/message_box.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/recovery_snapshot.h"
#include "io/files/undo.h"
#include "model/inputs.h"
#include "model/project.h"
#include "io/session/recovery.h"
#include "render/preview/main_preview.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr size_t kProjectFileChars = 1023;
constexpr size_t kProjectNameChars = 127;

std::wstring cut(const QString& text, size_t chars) {
  std::wstring wide = NSStringToWStr(text);
  if (wide.size() > chars) wide.resize(chars);
  return wide;
}

bool isProjectFile(const QString& path) {
  QString suffix = QFileInfo(path).suffix();
  return suffix.compare("qvp", Qt::CaseInsensitive) == 0 || suffix.compare("qpp", Qt::CaseInsensitive) == 0;
}

} // namespace

void wcMain::setProjectModified(bool modified) {
  if (modified == projectModified_) return;
  projectModified_ = modified;
  SetWindowTitle();
}

QString wcMain::ProjectTitle() const { return WStrToNSString(projectName_.c_str()); }

void wcMain::SetWindowTitle() {
  QString product = WStrToNSString(GetAppName()) + " " + WStrToNSString(GetAppVersion());
  QString title = product;
  if (!projectName_.empty()) title = ProjectTitle() + (projectModified_ ? "* - " : " - ") + product;
  if (QWidget* w = window()) w->setWindowTitle(title);
}

void wcMain::SetProjectFile(const QString& path) { SetProjectFile(path, false); }

void wcMain::SetProjectFile(const QString& path, bool addQV2) {
  if (path.isEmpty()) {
    setProjectIdentity(L"", L"Untitled");
    return;
  }
  QFileInfo info(path);
  const QString folder = info.path();
  UserDefaultsWrite("ProjectDir", QUrl::fromLocalFile(folder + "/").toString());
  QString suffix = info.suffix();
  bool converted = addQV2;
  if (suffix.compare("QPP", Qt::CaseInsensitive) == 0) {
    suffix = "qvp";
    converted = true;
  }
  QString name = info.completeBaseName();
  if (converted) name += "-QV2";
  QString file = path;
  if (converted || suffix != info.suffix()) {
    // Only the last component changes; the folders stay as they were.
    file = folder + "/" + name + (suffix.isEmpty() ? QString() : "." + suffix);
  }
  setProjectIdentity(cut(file, kProjectFileChars), cut(name, kProjectNameChars));
}

// Kept beside the recovery snapshot too: a recovered project comes back as
// this file, not as an untitled one.
void wcMain::setProjectIdentity(const std::wstring& file, const std::wstring& name) {
  projectFile_ = file;
  projectName_ = name;
  if (RecoverySetProjectIdentity({projectFile_, projectName_}) != 0)
    LogPrintf(L"Could not keep the project's name for recovery");
  SetWindowTitle();
}

// Asks before the project is replaced; false when the command should stop.
bool wcMain::askSaveFirst(const wchar_t* question) {
  if (!projectModified_) return true;
  int answer = AppMessageBox(question, 35);
  if (answer == kMbCancel) return false;
  if (answer == kMbNo) {
    setProjectModified(false);
    return true;
  }
  return SaveProject();
}

bool wcMain::OpenAssociatedFile(const QString& path) {
  PreviewStop();
  if (!askSaveFirst(L"Do you want to save the current project before opening this file?")) return false;
  NewProject();
  int result = ProjectOpen(NSStringToWStr(path).c_str());
  if (result < 0 && isProjectFile(path)) {
    // A project that cannot be read is no media file either: its own error
    // says why, and the empty project stays.
    ErrorShowLast();
  } else if (result < 0) {
    UiInputAdd(path, true);
  } else {
    if (result > 0) ErrorShowLast();
    SetProjectFile(path, result == kNoticeProjectConverted || result == kNoticeProjectConvertedNoTimeline);
    UndoSave();
  }
  InputRefresh(255);
  DispObjRefresh(0xFFFFFFFF);
  ticks_.updateRequest = true;
  return true;
}

void wcMain::OpenAssociatedFiles(const QStringList& paths) {
  if (paths.isEmpty() || !OpenAssociatedFile(paths.front())) return;
  int added = 0;
  for (qsizetype i = 1; i < paths.size(); ++i) added += UiInputAdd(paths[i], true) ? 1 : 0;
  LogPrintf(L"Handed-over files taken: the first and %d of %d more", added, static_cast<int>(paths.size() - 1));
  if (added == 0) return;
  setProjectModified(true);
  InputRefresh(255);
  DispObjRefresh(0xFFFFFFFF);
  ticks_.updateRequest = true;
}

bool wcMain::windowShouldClose() {
  PreviewStop();
  if (projectModified_) {
    closeQuestionOpen_ = true;
    int answer = AppMessageBox(L"Do you want to save the project before exiting?", 35);
    const bool goOn = answer == kMbNo || (answer != kMbCancel && SaveProject());
    closeQuestionOpen_ = false;
    if (!goOn) return false;
    if (answer == kMbNo) setProjectModified(false);
  }
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->terminate();
  return true;
}

// The file commands (new, open, save, revert, settings) and adding inputs
// live in wcMainFileCommands.cpp and wcMainInputs.cpp.
