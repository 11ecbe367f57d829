// The launch: splash, launch thread (fonts, controllers, engine start),
// windows loaded and the main window shown on the GUI thread; and the way
// out again.
#include <QApplication>
#include <QCoreApplication>
#include <QFontDatabase>
#include <exception>

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
  refuseHandOvers();
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
  refuseHandOvers();
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
