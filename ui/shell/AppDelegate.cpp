#include "ui/shell/AppDelegate.h"

#include "ui/shell/WindowController.h"
#include "ui/shell/wcAbout.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/shell/wcSplash.h"
#include "ui/shell/wcTip.h"

namespace {

AppDelegate* sharedDelegate = nullptr;

} // namespace

AppDelegate::AppDelegate() { sharedDelegate = this; }

AppDelegate::~AppDelegate() {
  waitForLaunchThread();
  for (WindowController* controller : Registry()) delete controller;
  delete wndSplash;
  if (sharedDelegate == this) sharedDelegate = nullptr;
}

AppDelegate* AppDelegate::shared() { return sharedDelegate; }

QStringList AppDelegate::SystemFonts() { return sharedDelegate != nullptr ? sharedDelegate->systemFonts_ : QStringList(); }

void AppDelegate::waitForLaunchThread() {
  if (launchThread_.joinable()) launchThread_.join();
}

std::vector<WindowController*> AppDelegate::Registry() const {
  return {wndMain,          wndCreateVideo,   wndCreateStatus,       wndUpload,         wndAbout,
          wndPreview,       wndProject,       wndRecovery,           wndInputEdit,      wndInputCrop,
          wndInputSetLap,   wndInputSync,     wndInputTrim,          wndLapList,        wndDispObjEdit,
          wndDispObjBackground, wndDispObjToolbox, wndDispObjGaugeDesign, wndTemplateMenu, wndTemplateLoad,
          wndTemplateConfig, wndTemplateCreate, wndTimeline,         wndTimelineEdit,   wndTip,
          wndTransfer,      wndProjectWiz,    wndInputSync2,         wndDispObjEnhEdit};
}

WindowController* AppDelegate::RegistryFind(const QString& name) const {
  if (!name.startsWith("wnd")) return nullptr;
  QString nib = "wc" + name.mid(3);
  for (WindowController* controller : Registry()) {
    if (controller != nullptr && controller->nibName() == nib) return controller;
  }
  return nullptr;
}
