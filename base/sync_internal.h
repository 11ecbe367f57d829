#pragma once
// Internals shared by the files of the thread/event layer. Every object
// state below is guarded by SyncMutex(); waiters sleep on the object's own
// condition variable. Slots and running threads hold the object through a
// shared pointer, so a closed handle never leaves a waiter or a thread on
// freed memory.
#include "base/sync.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

using SyncClock = std::chrono::steady_clock;

enum class SyncKind { Event, Thread, Timer };

struct SyncObject {
  SyncKind kind = SyncKind::Event;
  SyncHandle handle = 0;
  bool manualReset = false;
  bool signalled = false;
  bool closed = false;
  std::condition_variable changed;
  // Timers: signalled whenever nextDue has passed; a wait that takes the
  // signal moves nextDue to the next tick after now (missed ticks fold into
  // one, as with an automatic-reset event set several times).
  std::chrono::milliseconds period{0};
  SyncClock::time_point nextDue{};
  // Threads.
  bool running = false;
  std::atomic<bool> stopRequested{false};
};

using SyncObjectPtr = std::shared_ptr<SyncObject>;

std::mutex& SyncMutex();
// Puts the object in a free slot and gives it its handle; null handle when
// the table is full. Caller holds SyncMutex().
SyncHandle SyncTableInsertLocked(const SyncObjectPtr& object, uint32_t* tableIndex);
// The same under SyncMutex(); a full table is recorded as kErrTableFull
// under the routine's name.
SyncHandle SyncTableInsert(const SyncObjectPtr& object, uint32_t* tableIndex, const char* routine);
// The open object behind a handle, or null. Caller holds SyncMutex().
SyncObjectPtr SyncTableFindLocked(SyncHandle handle);
// Takes the signal when it is there (clearing it for automatic reset).
// Caller holds SyncMutex().
bool SyncTryTakeLocked(SyncObject& object, SyncClock::time_point now);
// Waits on one object: 0, 258 or 128 as SyncWait.
int SyncWaitObject(const SyncObjectPtr& object, int32_t timeoutMs);
// Asks a thread object to stop; caller holds SyncMutex().
void SyncThreadRequestStopLocked(SyncObject& object);
