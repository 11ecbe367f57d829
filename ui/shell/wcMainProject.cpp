// The open project's identity and title, handed-over files, closing, and
// the project file commands.
#include <QFileInfo>
#include <QMainWindow>
#include <QUrl>

#include "engine/app/recovery.h"
#include "engine/base/error.h"
#include "engine/base/identity.h"
#include "engine/base/text.h"
#include "engine/files/project_files.h"
#include "engine/files/undo.h"
#include "engine/model/inputs.h"
#include "engine/model/project.h"
#include "platform/system/message_box.h"
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
    projectName_ = L"Untitled";
    projectFile_.clear();
    SetWindowTitle();
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
  projectName_ = cut(name, kProjectNameChars);
  projectFile_ = cut(file, kProjectFileChars);
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

void wcMain::OpenAssociatedFile(const QString& path) {
  PreviewStop();
  if (!askSaveFirst(L"Do you want to save the current project before opening this file?")) return;
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
  PreviewUpdateRequest = true;
}

bool wcMain::windowShouldClose() {
  PreviewStop();
  if (projectModified_) {
    int answer = AppMessageBox(L"Do you want to save the project before exiting?", 35);
    if (answer == kMbCancel) return false;
    if (answer == kMbNo) {
      setProjectModified(false);
    } else if (!SaveProject()) {
      return false;
    }
  }
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->terminate();
  return true;
}

// Editing windows let go of the old project (they join as they arrive).
void wcMain::leaveEditingWindows() {}

void wcMain::NewProject() {
  if (!askSaveFirst(L"Do you want to save the current project first?")) return;
  leaveEditingWindows();
  ProjectNew();
  SetProjectFile(QString());
  setProjectModified(false);
  UndoSave();
  InputRefresh(255);
  DispObjRefresh(0xFFFFFFFF);
  PreviewTime = 0;
  PreviewRefresh(false, false);
}

QString wcMain::projectDirDefault() const {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains("ProjectDir")) return QString();
  return QUrl(settings->value("ProjectDir").toString()).toLocalFile();
}

void wcMain::OpenProject() {
  if (!askSaveFirst(L"Do you want to save the current project first?")) return;
  leaveEditingWindows();
  QString path = FileDialogOpen(window(), "Open Project...", projectDirDefault(), {"qvp", "qpp"});
  if (path.isEmpty()) return;
  int result = ProjectOpen(NSStringToWStr(path).c_str());
  UserDefaultsWrite("ProjectDir", QUrl::fromLocalFile(QFileInfo(path).path() + "/").toString());
  projectFile_.clear();
  if (result < 0) {
    SetProjectFile(QString());
    ErrorShowLast();
  } else {
    if (result > 0) ErrorShowLast();
    SetProjectFile(path, result == kNoticeProjectConverted || result == kNoticeProjectConvertedNoTimeline);
  }
  UndoSave();
  setProjectModified(false);
  InputRefresh(255);
  DispObjRefresh(0xFFFFFFFF);
  PreviewTime = 0;
  PreviewRefresh(false, false);
}

bool wcMain::SaveProject() {
  if (projectFile_.empty()) return SaveProjectAs();
  return SaveProject(projectFile_);
}

bool wcMain::SaveProject(const std::wstring& path) {
  if (ProjectSave(path.c_str()) < 0) {
    ErrorShowLast();
    return false;
  }
  setProjectModified(false);
  return true;
}

bool wcMain::SaveProjectAs() {
  QString directory = projectDirDefault();
  QString name;
  if (!projectFile_.empty()) {
    QFileInfo info(WStrToNSString(projectFile_.c_str()));
    directory = info.path();
    name = info.fileName();
  }
  QString path = FileDialogSave(window(), "Save Project As...", directory, name, {"qvp"});
  if (path.isEmpty()) return false;
  int result = ProjectSave(NSStringToWStr(path).c_str());
  if (result < 0) {
    ErrorShowLast();
    return false;
  }
  SetProjectFile(path);
  setProjectModified(false);
  if (result > 0) ErrorShowLast();
  return true;
}

bool wcMain::UiInputAdd(const QString& path, bool showMessages) {
  UndoSave();
  std::u16string file = WideToUtf16(NSStringToWStr(path));
  if (InputAdd(file.c_str()) == 255) {
    if (showMessages) ErrorShowLast();
    return false;
  }
  setProjectModified(true);
  InputRefresh(255);
  PreviewRefresh(false, false);
  return true;
}
