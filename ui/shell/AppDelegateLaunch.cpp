// The launch: splash, launch thread (fonts, controllers, engine start),
// windows loaded and the main window shown on the GUI thread; and the way
// out again.
#include <QApplication>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QTimer>
#include <exception>
#include <utility>

#include "base/error.h"
#include "base/identity.h"
#include "base/log.h"
#include "base/main_thread.h"
#include "io/files/recovery_snapshot.h"
#include "platform/graphics/font_map.h"
#include "ui/seams/main_thread_qt.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"
#include "ui/shell/engine_lifecycle.h"
#include "ui/shell/starter_set_install.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/shell/wcSplash.h"

void AppDelegate::applicationDidFinishLaunching() {
  appRunning_ = true;
  windows_.CreateSplash()->showWindow();
  // The font list is read here; checking each family against the engine's
  // font lookup is the slow part and runs on the launch thread.
  fontFamilies_ = QFontDatabase::families();
  launchThread_ = std::thread([this]() { LoadAndLaunch(); });
}

void AppDelegate::LoadAndLaunch() {
  SetSplashStatus("Powering Up");
  gatherFonts(fontFamilies_);
  // The list icons are drawn by the lists themselves (list_icons.h).
  SetSplashStatus("Ignition On.");
  SetSplashStatus("Ignition On..");
  bool windowsMade = CreateWindows();
  SetSplashStatus("Ignition On...");
  MainThreadPost([this]() { loadWindows(); });
  SetSplashStatus("Crossing Fingers");
  AppInitIdentity();
  SetSplashStatus("Starter");
  const EngineLifecycle& engine = InstalledEngineLifecycle();
  if (engine.start == nullptr) LogPrintf(L"No engine start is installed.");
  if (engine.start == nullptr || engine.start(0) < 0) {
    launchEngineFailed();
    return;
  }
  engineStarted_ = true;
  // Before the start-up menu lists them: templates and styles of a first
  // start, or ones the user has lost.
  StarterSetInstall(StarterSetFolder(), GetDocFolder());
  if (!windowsMade) MessageShow(L"Failed to load all windows! Program may not function correctly.", 16);
  LogPrintf(L"Showing main window...");
  MainThreadPost([this]() { showMainWindow(); });
}

void AppDelegate::gatherFonts(const QStringList& families) {
  QStringList accepted;
  for (QString family : families) {
    family.remove('"');
    if (FontExists(family.toUtf8().constData(), 0) != 0) accepted << family;
  }
  systemFonts_ = accepted;
}

void AppDelegate::loadWindows() {
  try {
    for (WindowController* controller : windows_.All()) {
      if (controller == nullptr || controller == mainWindow() || controller == windows_.wndRecovery()) continue;
      controller->loadWindow();
    }
  } catch (const std::exception& e) {
    // The rest load on first use.
    qWarning("Exception during initial -loadWindow sequence: %s", e.what());
  }
}

void AppDelegate::showMainWindow() {
  SetSplashStatus("Clunk!");
  if (splash() != nullptr && splash()->isWindowLoaded()) splash()->window()->raise();
  if (mainWindow() != nullptr) mainWindow()->showWindow();
  LogPrintf(L"Launch complete");
  emit launchComplete();
}

void AppDelegate::launchEngineFailed() {
  launchFailed_ = true;
  // Dropped with the delegate if it goes first.
  QMetaObject::invokeMethod(this, [this]() { EndSplash(); }, Qt::QueuedConnection);
  ErrorShowLast();
  QMetaObject::invokeMethod(this, [this]() { terminate(); }, Qt::QueuedConnection);
}

void AppDelegate::SetSplashStatus(const QString& text) {
  qInfo("Startup Status: %s", qUtf8Printable(text));
  // Announced before the splash paints: painting serves the event queue,
  // which may already hold the next status.
  auto show = [this, text]() {
    emit splashStatusShown(text);
    if (splash() != nullptr) splash()->SetStatus(text);
  };
  if (IsGuiThread()) {
    show();
  } else {
    MainThreadPost(show);
  }
}

void AppDelegate::EndSplash() {
  qInfo("Startup Status: Complete");
  if (splash() != nullptr) splash()->close();
}

bool AppDelegate::applicationOpenFile(const QString& path) {
  // Until the main window's first show takes them, files wait for it.
  if (appRunning_ && mainWindow() != nullptr && openFilePathsTaken_) {
    applicationOpenFiles({path});
  } else {
    pendingOpenFiles_ << path;
  }
  return true;
}

void AppDelegate::applicationOpenFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  if (!(appRunning_ && mainWindow() != nullptr && openFilePathsTaken_)) {
    for (const QString& path : paths) applicationOpenFile(path);
    return;
  }
  waitingHandOvers_ << paths;
  openWaitingHandOvers();
}

void AppDelegate::applicationReopen() {
  LogPrintf(L"A later launch asked for the window");
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr && mainWindow() != nullptr) window = mainWindow()->windowIfLoaded();
  if (window == nullptr) return; // still launching: the window shows itself
  if (window->isMinimized()) window->showNormal();
  window->show();
  window->raise();
  window->activateWindow();
}

QStringList AppDelegate::TakeOpenFilePaths() {
  openFilePathsTaken_ = true;
  return std::exchange(pendingOpenFiles_, {});
}

// A question, a panel or a menu window that runs modally is still working
// on the project: opening a file under it would replace that project, and
// the window would then act on inputs that are gone. Hand-overs wait until
// the start-up has ended and no modal window runs, as the desktop delivers
// them only outside one.
void AppDelegate::openWaitingHandOvers() {
  if (handOversOpening_ || mainWindow() == nullptr) return; // the loop below takes it
  // The start-up (its own hand-overs, questions and menus) ends first.
  if (!mainWindow()->StartupDone() || QApplication::activeModalWidget() != nullptr) {
    if (handOverRetryQueued_) return;
    handOverRetryQueued_ = true;
    QTimer::singleShot(200, this, [this]() {
      handOverRetryQueued_ = false;
      openWaitingHandOvers();
    });
    return;
  }
  handOversOpening_ = true;
  while (!waitingHandOvers_.isEmpty()) {
    const QStringList paths = waitingHandOvers_.takeFirst();
    // The running window comes forward with the files.
    if (QWidget* window = mainWindow()->windowIfLoaded()) {
      window->show();
      window->raise();
      window->activateWindow();
    }
    mainWindow()->OpenAssociatedFiles(paths);
  }
  handOversOpening_ = false;
}

void AppDelegate::HideSplash() {
  if (splash() != nullptr && splash()->isWindowLoaded()) splash()->windowIfLoaded()->hide();
}

bool AppDelegate::applicationShouldTerminate() {
  if (mainWindow() != nullptr && mainWindow()->ProjectModified()) {
    mainWindow()->windowShouldClose();
    return false;
  }
  return true;
}

void AppDelegate::terminate() {
  if (terminating_) return;
  if (!applicationShouldTerminate()) return;
  terminating_ = true;
  emit terminating();
  QCoreApplication::exit(0);
}

void AppDelegate::terminateOnSignal(int signalNumber) {
  if (terminating_) return;
  terminating_ = true;
  const bool unsaved = mainWindow() != nullptr && mainWindow()->ProjectModified();
  if (engineStarted_) {
    LogPrintf(L"Ending on signal %d%s", signalNumber, unsaved ? L" with unsaved changes" : L"");
    // The snapshot the next start recovers: the project as it is now, not
    // as it was before its last change.
    if (unsaved) keepRecovery_ = RecoverySnapshotSave() == 0;
  }
  emit terminating();
  // Ends nested loops too (an open dialog); no later dialog waits.
  QCoreApplication::exit(0);
}

void AppDelegate::applicationWillTerminate() {
  if (mainWindow() != nullptr) mainWindow()->StopTimersForEnd();
  waitForLaunchThread();
  if (engineStarted_ && !terminated_) {
    terminated_ = true;
    const EngineLifecycle& engine = InstalledEngineLifecycle();
    if (keepRecovery_) engine.endKeepingRecovery();
    else engine.end();
  }
}
