#include "ui/shell/AppDelegate.h"

#include <QUrl>

#include "base/log.h"
#include "ui/seams/desktop.h"
#include "ui/util/ui_utils.h"

namespace {

AppDelegate* sharedDelegate = nullptr;

} // namespace

AppDelegate::AppDelegate() {
  sharedDelegate = this;
  // The log opens as web pages do, and the user hears when it cannot.
  ShowLogViewerInstall(
      [](const std::wstring& path) { OpenUrl(QUrl::fromLocalFile(WStrToNSString(path.c_str())), "the log"); });
}

// The windows end with the registry, after the launch thread that makes
// them has ended.
AppDelegate::~AppDelegate() {
  waitForLaunchThread();
  if (sharedDelegate == this) {
    sharedDelegate = nullptr;
    ShowLogViewerInstall(nullptr);
  }
}

AppDelegate* AppDelegate::shared() { return sharedDelegate; }

const WindowRegistry& AppWindows() {
  static const WindowRegistry none;
  return sharedDelegate != nullptr ? sharedDelegate->windows() : none;
}

QStringList AppDelegate::SystemFonts() { return sharedDelegate != nullptr ? sharedDelegate->systemFonts_ : QStringList(); }

void AppDelegate::waitForLaunchThread() {
  if (launchThread_.joinable()) launchThread_.join();
}

bool AppDelegate::CreateWindows() { return windows_.Create(); }
