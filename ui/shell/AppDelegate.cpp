#include "ui/shell/AppDelegate.h"

namespace {

AppDelegate* sharedDelegate = nullptr;

} // namespace

AppDelegate::AppDelegate() { sharedDelegate = this; }

// The windows end with the registry, after the launch thread that makes
// them has ended.
AppDelegate::~AppDelegate() {
  waitForLaunchThread();
  if (sharedDelegate == this) sharedDelegate = nullptr;
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
