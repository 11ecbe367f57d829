#pragma once
// Hand-over of work to the main (user-interface) thread. The user interface
// installs its event loop's post and pump at start-up; until then the thread
// that first called MainThreadMarkCurrent counts as main, posted work runs
// at once on the caller, and pumping does nothing.
#include <functional>

void MainThreadMarkCurrent();
bool IsMainThread();
using MainThreadPostFn = std::function<void(std::function<void()>)>;
using MainThreadPumpFn = std::function<void()>;
void MainThreadInstall(MainThreadPostFn post, MainThreadPumpFn pump);
bool MainThreadInstalled();
void MainThreadPost(std::function<void()> job);
void MainThreadPump();
