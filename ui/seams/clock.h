#pragma once
// The wall clock, replaceable so that tests can stand on a given day.
#include <QDateTime>
#include <functional>

using ClockHook = std::function<QDateTime()>;
// An empty hook returns to the system clock.
void ClockInstall(ClockHook hook);
// The current local date and time.
QDateTime ClockNow();
