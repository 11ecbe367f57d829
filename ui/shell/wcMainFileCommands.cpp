// The commands that replace, reload or store the whole project: new (blank
// or from a template), open, revert, save, save as, project settings and
// the new project filled by a network transfer.
//
// Opening and reverting read the file before anything of the current
// project is let go: the engine checks the whole file first and leaves the
// project in memory untouched when it cannot be read, and so does this
// window (same title, same file, same modified state, same undo step), so
// a missing or damaged file never costs the work in memory.
#include <QFileInfo>
#include <QUrl>

#include "base/error.h"
#include "base/message_box.h"
#include "io/files/project_files.h"
#include "io/files/recovery_snapshot.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "io/session/recovery.h"
#include "render/preview/main_preview.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/input/wcInputSync.h"
#include "ui/input/wcLapList.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcProject.h"
#include "ui/shell/wcTransfer.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr const wchar_t* kSaveFirst = L"Do you want to save the current project first?";

// Once the file holds the project, a kill leaves nothing to recover, unless
// a change came in while it was written.
int saveToFile(const std::wstring& path) {
  const uint64_t writes = RecoverySnapshotWrites();
  const int result = ProjectSave(path.c_str());
  if (result >= 0) RecoverySnapshotSaved(writes);
  return result;
}

} // namespace

// The sync window, the timeline selection and the property window let go
// of the project about to be replaced.
void wcMain::leaveEditingWindows() {
  if (wcInputSync* sync = AppWindows().wndInputSync(); AppDelegate::IsWindowVisible(sync)) sync->close();
  TimelineClearSelection();
  CallWindowIfVisible(AppWindows().wndDispObjEdit(), &wcDispObjEdit::SetDisplayObject, -1);
}

void wcMain::resetLapList() {
  CallWindowIfVisible(AppWindows().wndLapList(), &wcLapList::SetInput, static_cast<int>(kNoInput));
}

QString wcMain::projectDirDefault() const {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains("ProjectDir")) return QString();
  return QUrl(settings->value("ProjectDir").toString()).toLocalFile();
}

void wcMain::NewProject() {
  if (!saveFirstOrStop()) return;
  leaveEditingWindows();
  ProjectNew();
  SetProjectFile(QString());
  setProjectModified(false);
  UndoSave();
  InputRefresh(kNoInput);
  DispObjRefresh(kNoDispObj);
  previewTime_ = 0;
  PreviewRefresh(false, false);
  resetLapList();
}

void wcMain::NewProjectFromTemplate() {
  NewProject();
  // Still modified: the save question was cancelled or the save failed.
  if (ProjectModified()) return;
  if (templateMenuCommand_) templateMenuCommand_(0, kNoInput);
}

// Loads the project file in place of the current project. False, with the
// error shown and the current project and its identity untouched, when
// the file cannot be read.
bool wcMain::reloadProject(const QString& path, bool resetPreviewTime) {
  const int result = ProjectOpen(NSStringToWStr(path).c_str());
  if (result < 0) {
    ErrorShowLast();
    return false;
  }
  if (result > 0) ErrorShowLast();
  SetProjectFile(path, result == kNoticeProjectConverted || result == kNoticeProjectConvertedNoTimeline);
  UndoSave();
  setProjectModified(false);
  InputRefresh(kNoInput);
  DispObjRefresh(kNoDispObj);
  if (resetPreviewTime) previewTime_ = 0;
  PreviewRefresh(false, false);
  resetLapList();
  return true;
}

// The save question before the project is replaced; false stops the
// command. "No" goes on without saving and leaves the modified flag alone,
// so that a project that stays (a cancelled panel, a file that does not
// open) still counts as unsaved.
bool wcMain::saveFirstOrStop() {
  if (!ProjectModified()) return true;
  const int answer = AppMessageBox(kSaveFirst, 35);
  if (answer == kMbCancel) return false;
  if (answer == kMbNo) return true;
  return SaveProject();
}

void wcMain::OpenProject() {
  if (!saveFirstOrStop()) return;
  leaveEditingWindows();
  QString path = FileDialogOpen(window(), "Open Project...", projectDirDefault(), {"qvp", "qpp"});
  if (path.isEmpty()) return;
  UserDefaultsWrite("ProjectDir", QUrl::fromLocalFile(QFileInfo(path).path() + "/").toString());
  reloadProject(path, true);
}

void wcMain::RevertProject() {
  if (ProjectFile().empty()) {
    AppMessageBox(L"Nothing to revert back to. You have not yet saved this project.", 64);
    return;
  }
  if (ProjectModified() &&
      AppMessageBox(L"Discard all changes to this project since you last saved it?", 36) != kMbYes)
    return;
  leaveEditingWindows();
  reloadProject(WStrToNSString(ProjectFile().c_str()), false);
}

bool wcMain::SaveProject() {
  if (ProjectFile().empty()) return SaveProjectAs();
  return SaveProject(ProjectFile());
}

bool wcMain::SaveProject(const std::wstring& path) {
  if (saveToFile(path) < 0) {
    ErrorShowLast();
    return false;
  }
  setProjectModified(false);
  return true;
}

bool wcMain::SaveProjectAs() {
  QString directory = projectDirDefault();
  QString name;
  if (!ProjectFile().empty()) {
    QFileInfo info(WStrToNSString(ProjectFile().c_str()));
    directory = info.path();
    name = info.fileName();
  }
  QString path = FileDialogSave(window(), "Save Project As...", directory, name, {"qvp"});
  if (path.isEmpty()) return false;
  int result = saveToFile(NSStringToWStr(path));
  if (result < 0) {
    ErrorShowLast();
    return false;
  }
  SetProjectFile(path);
  setProjectModified(false);
  if (result > 0) ErrorShowLast();
  return true;
}

void wcMain::ProjectSettings() {
  PreviewStop();
  RunModalForWindow(AppWindows().wndProject());
}

void wcMain::FileTransfer() {
  if (wcInputSync* sync = AppWindows().wndInputSync(); AppDelegate::IsWindowVisible(sync)) sync->close();
  TimelineClearSelection();
  if (!saveFirstOrStop()) return;
  CallWindowIfVisible(AppWindows().wndDispObjEdit(), &wcDispObjEdit::SetDisplayObject, -1);
  ProjectNew();
  UndoSave();
  InputRefresh(kNoInput);
  DispObjRefresh(kNoDispObj);
  setProjectModified(false);
  SetProjectFile(QString());
  previewTime_ = 0;
  PreviewRefresh(false, false);
  resetLapList();
  auto* transfer = NeededWindow(AppWindows().wndTransfer());
  if (transfer == nullptr) return;
  RunModalForWindow(transfer);
  // The video first, then the data log, as the phone sends them.
  bool added = false;
  for (const QString& path : {transfer->VideoFile(), transfer->DataFile()}) {
    if (!path.isEmpty()) added = UiInputAdd(path, true) || added;
  }
  // The preview shows what arrived, as after any other added file.
  if (added) PreviewRefresh();
}
