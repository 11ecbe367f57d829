#pragma once
// Modal runs of a controller's window. Tests install a hook that plays the
// user's part (shows the window, presses its buttons) instead of a blocking
// run.
#include <functional>

class WindowController;

using ModalRunHook = std::function<int(WindowController* controller)>;
// An empty hook returns to real modal runs.
void ModalRunInstall(ModalRunHook hook);
// Runs the window modally until it closes; the dialog's result, or 0.
int RunModalForWindow(WindowController* controller);
