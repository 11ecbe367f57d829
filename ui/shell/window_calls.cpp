#include "ui/shell/window_calls.h"

#include "ui/input/wcInputSync.h"

void QuickSyncSettle() {
  AppDelegate* app = AppDelegate::shared();
  if (app != nullptr) CallWindowIfVisible(app->wndInputSync, &wcInputSync::InputsWillChange);
}
