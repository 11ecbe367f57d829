#include "ui/shell/window_calls.h"

#include "ui/input/wcInputSync.h"

void QuickSyncSettle() { CallWindowIfVisible(AppWindows().wndInputSync(), &wcInputSync::InputsWillChange); }
