#pragma once
// Calls one window makes on another through the registry. Each call names
// its target as a member of the window's own class, so a renamed or
// removed method is a compile error, never a call that quietly does
// nothing.
#include <utility>

#include "base/error.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"

// Calls the method when the window is visible: a closed editor reloads
// itself when it next opens. True when the call was made.
template <typename Window, typename Result, typename... Params, typename... Args>
bool CallWindowIfVisible(Window* window, Result (Window::*method)(Params...), Args&&... args) {
  if (!AppDelegate::IsWindowVisible(window)) return false;
  (window->*method)(std::forward<Args>(args)...);
  return true;
}

// The answer of a visible window, or the fallback when it is hidden.
template <typename Window, typename Result>
Result AskWindowIfVisible(Window* window, Result (Window::*method)() const, Result fallback) {
  if (!AppDelegate::IsWindowVisible(window)) return fallback;
  return (window->*method)();
}

// Before a command changes the project's inputs: an open quick sync window
// settles its edit (the user keeps or drops it) and closes, so that closing
// it later can never undo that command's change.
void QuickSyncSettle();

// The window a command needs; null, after telling the user, when it is
// not there (it failed to load) so that a command never quietly does
// nothing.
template <typename Window>
Window* NeededWindow(Window* window) {
  if (window == nullptr) MessageShow(L"The window for this command could not be opened.", 48);
  return window;
}
