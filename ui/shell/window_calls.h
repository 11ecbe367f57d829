#pragma once
// Calls the main window makes on editor windows that may not carry the
// call yet (an empty window of a later release): a window takes part by
// declaring the method Q_INVOKABLE, e.g. SetDisplayObject(int) on the
// property window, SetInput(int) and ReloadInputs() on the lap list.
class WindowController;

// True when the window is visible and carried the call.
bool CallWindowIfVisible(WindowController* window, const char* method, int value);
bool CallWindowIfVisible(WindowController* window, const char* method);
