#include "ui/seams/media_clock.h"

#include <chrono>

namespace {

MediaClockHook& hook() {
  static MediaClockHook installed;
  return installed;
}

} // namespace

void MediaClockInstall(MediaClockHook installed) { hook() = std::move(installed); }

double MediaClockNow() {
  if (hook()) return hook()();
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
