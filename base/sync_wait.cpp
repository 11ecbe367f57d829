// Waiting on handles of the thread/event layer, and periodic timers.
//
// Timers need no thread of their own: a timer counts as signalled once its
// next tick has passed, and a waiter sleeps until the earlier of its own
// deadline and that tick. Closing a timer therefore leaves nothing running.
#include "base/error.h"
#include "base/main_thread.h"
#include "base/sync_internal.h"

#include <algorithm>

namespace {

using std::chrono::milliseconds;

// On the main thread the user interface's event loop must keep running
// while the engine waits, so the wait is cut into steps of this length.
constexpr milliseconds kMainThreadStep{1};

milliseconds TimerPeriod(uint32_t periodMs) {
  // A zero period would make the timer due all the time.
  return milliseconds(std::max<uint32_t>(periodMs, 1));
}

} // namespace

bool SyncTryTakeLocked(SyncObject& object, SyncClock::time_point now) {
  switch (object.kind) {
  case SyncKind::Event:
    if (!object.signalled)
      return false;
    if (!object.manualReset)
      object.signalled = false;
    return true;
  case SyncKind::Thread:
    return object.signalled;
  case SyncKind::Timer: {
    if (now < object.nextDue)
      return false;
    const auto ticksMissed = (now - object.nextDue) / object.period;
    object.nextDue += object.period * (ticksMissed + 1);
    return true;
  }
  }
  return false;
}

int SyncWaitObject(const SyncObjectPtr& object, int32_t timeoutMs) {
  const bool pumpMainLoop = IsMainThread() && MainThreadInstalled();
  const bool forever = timeoutMs < 0;
  const auto deadline = SyncClock::now() + milliseconds(forever ? 0 : timeoutMs);

  std::unique_lock<std::mutex> lock(SyncMutex());
  for (;;) {
    const auto now = SyncClock::now();
    if (object->closed)
      return kSyncClosed;
    if (SyncTryTakeLocked(*object, now))
      return kSyncSignalled;
    if (!forever && now >= deadline)
      return kSyncTimeout;

    bool bounded = !forever;
    auto wakeAt = deadline;
    auto bound = [&](SyncClock::time_point at) {
      wakeAt = bounded ? std::min(wakeAt, at) : at;
      bounded = true;
    };
    if (object->kind == SyncKind::Timer)
      bound(object->nextDue);
    if (pumpMainLoop)
      bound(now + kMainThreadStep);

    if (bounded)
      object->changed.wait_until(lock, wakeAt);
    else
      object->changed.wait(lock);

    if (pumpMainLoop) {
      lock.unlock();
      MainThreadPump();
      lock.lock();
    }
  }
}

int SyncWait(SyncHandle handle, int32_t timeoutMs) {
  SyncObjectPtr object;
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    object = SyncTableFindLocked(handle);
  }
  if (!object)
    return kSyncClosed;
  return SyncWaitObject(object, timeoutMs);
}

int SyncWaitAll(uint32_t count, const SyncHandle* handles, int /*flag: unused*/, int32_t timeoutMs) {
  if (count == 0 || !handles)
    return -1;
  const auto deadline = SyncClock::now() + milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (uint32_t i = 0; i < count; ++i) {
    int32_t remainingMs = kSyncForever;
    if (timeoutMs >= 0) {
      const auto left = std::chrono::ceil<milliseconds>(deadline - SyncClock::now());
      remainingMs = static_cast<int32_t>(std::max<int64_t>(left.count(), 0));
    }
    const int result = SyncWait(handles[i], remainingMs);
    if (result != kSyncSignalled)
      return result;
  }
  return kSyncSignalled;
}

SyncHandle SyncTimerCreate(uint32_t periodMs) {
  auto timer = std::make_shared<SyncObject>();
  timer->kind = SyncKind::Timer;
  timer->period = TimerPeriod(periodMs);
  timer->nextDue = SyncClock::now() + timer->period;
  return SyncTableInsert(timer, nullptr, "SyncTimerCreate");
}

int SyncTimerSetPeriod(SyncHandle handle, uint32_t periodMs) {
  SyncObjectPtr timer;
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    timer = SyncTableFindLocked(handle);
    if (timer && timer->kind == SyncKind::Timer) {
      timer->period = TimerPeriod(periodMs);
      timer->nextDue = SyncClock::now() + timer->period;
    }
  }
  if (!timer || timer->kind != SyncKind::Timer)
    return ErrorSet(kErrBadArg, "SyncTimerSetPeriod");
  // Waiters recompute their wake-up time from the new tick.
  timer->changed.notify_all();
  return 0;
}
