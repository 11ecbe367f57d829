// The main window's first show: settings, the daily release check, the
// crash-recovery offer and the start-up template menu.
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <atomic>
#include <memory>
#include <thread>

#include "base/error.h"
#include "base/message_box.h"
#include "io/files/project_files.h"
#include "io/files/recovery_snapshot.h"
#include "io/files/undo.h"
#include "model/project.h"
#include "io/net/release_check.h"
#include "io/session/recovery.h"
#include "ui/seams/clock.h"
#include "ui/seams/desktop.h"
#include "ui/seams/main_thread_qt.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/vendor.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/util/ui_utils.h"

namespace {

AppDelegate* app() { return AppDelegate::shared(); }

void splash(const QString& text) {
  if (app() != nullptr) app()->SetSplashStatus(text);
}

} // namespace

void wcMain::windowDidBecomeMain() {
  if (!windowFirstShow_) return;
  windowFirstShow_ = false;
  WindowCustomLoad();
  SetWindowTitle();
  NewProject();
  DoProgramStart();
  // Files handed over from here on queue until the start-up has ended.
  const QStringList handedOver = app() != nullptr ? app()->TakeOpenFilePaths() : QStringList();
  if (!handedOver.isEmpty()) {
    // Files handed over while the recovery question was open are the
    // project now: no template menu follows, as with files given at launch.
    if (startupMenuTimer_ != nullptr) startupMenuTimer_->stop();
    splash("Gathering Data");
    OpenAssociatedFiles(handedOver);
  }
  CreatePreviewTimer();
  startupDone_ = true;
  mainWindow()->menuBar()->setEnabled(true);
}

void wcMain::DoProgramStart() {
  splash("Pop!");
  readSettings();
  // The new project with the user's settings (speed unit) is no work to
  // recover, nor may it pass for this session's own in place of a crashed
  // session's work kept for the next start.
  RecoverySnapshotDiscard();
  splash("Bang!");
  UpdateCheck();
  splash("");
  bool handedOver = app() != nullptr && app()->HasPendingOpenFiles();
  bool recovered = !handedOver && offerRecovery();
  InputRefresh(255);
  DispObjRefresh(0xFFFFFFFF);
  SetPreviewArea(true, previewX_, previewY_);
  if (app() != nullptr) app()->CenterWindow(this);
  if (!handedOver && !recovered && showMenuAtStart_) {
    splash("Proceeding to Grid");
    if (app() != nullptr) app()->EndSplash();
    // Later, so that the start-up returns and the splash closes first.
    if (startupMenuTimer_ == nullptr) {
      startupMenuTimer_ = new QTimer(this);
      startupMenuTimer_->setSingleShot(true);
      connect(startupMenuTimer_, &QTimer::timeout, this, &wcMain::StartupMenu);
    }
    startupMenuTimer_->start(100);
  } else {
    splash("Approaching Start");
    if (app() != nullptr) app()->EndSplash();
  }
}

void wcMain::StopTimersForEnd() {
  KillPreviewTimer();
  if (startupMenuTimer_ != nullptr) startupMenuTimer_->stop();
}

// The template menu for a new project (mode 0, no input).
void wcMain::StartupMenu() {
  ++startupMenuShown_;
  if (templateMenuCommand_) templateMenuCommand_(0, kNoInput);
}

// True when a project was recovered.
bool wcMain::offerRecovery() {
  wcRecovery* recovery = AppWindows().wndRecovery();
  if (RecoveryStatus() <= 0 || recovery == nullptr) return false;
  splash("Calling Tow Truck");
  if (app() != nullptr) app()->HideSplash();
  // Until the answer is carried out, a start after a kill asks again.
  RecoveryQuestionOpen();
  RunModalForWindow(recovery);
  if (!recovery->Answered()) {
    // Asked again at the next start: ending under the question loses nothing.
    RecoveryKeepForNextStart();
    return false;
  }
  bool recovered = carryOutRecoveryAnswer(*recovery);
  RecoveryQuestionAnswered();
  return recovered;
}

// Sends the report if asked to and recovers the project if asked to; true
// when a project was recovered.
bool wcMain::carryOutRecoveryAnswer(wcRecovery& recovery) {
  int result = 0;
  if (recovery.SendReport()) {
    const wchar_t* entered = AppInputBox(L"Please describe what you were doing when the program crashed:", L"");
    std::wstring text = entered != nullptr ? entered : L"";
    result = RecoverySubmitReport(1, entered != nullptr ? text.c_str() : nullptr);
  } else {
    result = RecoverySubmitReport(0, nullptr);
  }
  if (result != 0) ErrorShowLast();
  if (!recovery.DoRecovery()) return false;
  result = RecoveryApply();
  if (result != 0) ErrorShowLast();
  if (result < 0) {
    ProjectNew();
    UndoSave();
    return false;
  }
  // The recovered project is its file's again, with unsaved changes.
  const ProjectIdentity identity = RecoveryProjectIdentity();
  if (identity.file.empty()) SetProjectFile(QString());
  else setProjectIdentity(identity.file, identity.name.empty() ? L"Untitled" : identity.name);
  setProjectModified(true);
  UndoSave();
  return true;
}

int wcMain::ReleaseCheckOffGuiThread(int anyRelease) {
  if (!IsGuiThread()) return GetAppUpdateAvailable(anyRelease);
  // The request may take its whole time-out; the window keeps painting.
  auto done = std::make_shared<std::atomic<bool>>(false);
  auto result = std::make_shared<std::atomic<int>>(-1);
  std::thread worker([done, result, anyRelease]() {
    result->store(GetAppUpdateAvailable(anyRelease));
    done->store(true);
  });
  while (!done->load()) RunLoopWait(0.01);
  worker.join();
  return result->load();
}

void wcMain::UpdateCheck() {
  int lastCheck = 0;
  int lastNotify = 0;
  UserDefaultsReadInt("LastUpdateCheck", lastCheck);
  UserDefaultsReadInt("LastUpdateNotify", lastNotify);
  QDateTime now = ClockNow();
  int today = now.isValid() ? now.date().year() * 10000 + now.date().month() * 100 + now.date().day() : 0;
  if (lastCheck >= today) return;
  int newer = ReleaseCheckOffGuiThread(0);
  if (newer >= 1 && newer > lastNotify) {
    UserDefaultsWrite("LastUpdateNotify", newer);
    if (app() != nullptr) app()->HideSplash();
    QString question = "A program update is available. Would you like to go to the " + VendorWebSiteName() +
                       " website to get it now? You will not be notified again until another significant "
                       "update is released.";
    if (AppMessageBox(NSStringToWStr(question).c_str(), 36) == kMbYes) {
      AppMessageBox(L"Please remember to exit this application before installing the update.", 64);
      OpenUrl(QUrl(VendorDownloadUrl()), "the download page");
    }
  }
  // A list that could not be read is tried again at the next start.
  if (newer >= 0) UserDefaultsWrite("LastUpdateCheck", today);
}
