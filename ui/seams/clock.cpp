#include "ui/seams/clock.h"

namespace {

ClockHook& hook() {
  static ClockHook installed;
  return installed;
}

} // namespace

void ClockInstall(ClockHook installed) { hook() = std::move(installed); }

QDateTime ClockNow() { return hook() ? hook()() : QDateTime::currentDateTime(); }
