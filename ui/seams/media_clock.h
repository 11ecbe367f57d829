#pragma once
// The host media clock: monotonic seconds, as the preview timer and the
// canvas view's gesture throttle measure time. Tests install their own.
#include <functional>

using MediaClockHook = std::function<double()>;
// An empty hook returns to the system's steady clock.
void MediaClockInstall(MediaClockHook hook);
double MediaClockNow();
