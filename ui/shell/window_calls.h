#pragma once
// Calls the main window makes on editor windows by name, so that it needs
// none of their headers and a window that failed to load is skipped: a
// window takes part by declaring the method Q_INVOKABLE, e.g. SetDisplayObject(int) on the
// property window, SetInput(int) and ReloadInputs() on the lap list.
#include "engine/base/error.h"
#include "ui/shell/WindowController.h"

// True when the window carried the call (visible or not).
bool CallWindow(WindowController* window, const char* method, int value);
bool CallWindow(WindowController* window, const char* method);
// True when the window is visible and carried the call.
bool CallWindowIfVisible(WindowController* window, const char* method, int value);
bool CallWindowIfVisible(WindowController* window, const char* method);

// Modal windows are set up before they show: these call whether or not the
// window is visible. False when the window does not carry the call (then
// result is left alone), e.g. bool SetData(int, int) on the timeline
// segment editor, bool SetData(int) on the background bitmap window.
bool WindowCarries(WindowController* window, const char* signature);
bool CallWindowBool(WindowController* window, const char* method, int value, bool& result);
bool CallWindowBool(WindowController* window, const char* method, int first, int second, bool& result);
// A window's BOOL result read after its modal run (Success, TimeChanged,
// ChangedOrder: Q_PROPERTYs); false when the window has no such property.
bool WindowFlag(WindowController* window, const char* name);
// Before a command changes the project's inputs: an open quick sync window
// settles its edit (the user keeps or drops it) and closes, so that closing
// it later can never undo that command's change.
void QuickSyncSettle();


// The answer of an int method() of a visible window (OurInputID() on the
// lap list), or the fallback when it is hidden or has none.
int AskWindowIfVisible(WindowController* window, const char* method, int fallback);

// The registry's window as its own class; null, after telling the user,
// when it is not there (it failed to load) so that a command never quietly
// does nothing.
template <typename Window>
Window* WindowOfKind(WindowController* controller) {
  auto* window = qobject_cast<Window*>(controller);
  if (window == nullptr) MessageShow(L"The window for this command could not be opened.", 48);
  return window;
}
