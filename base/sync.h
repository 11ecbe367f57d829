#pragma once
// The thread/event layer: threads, events (manual or automatic reset) and
// periodic timers behind handles in one table of 1024 slots.
#include <cstddef>
#include <cstdint>

using SyncHandle = uint32_t; // 0 = none
constexpr int kSyncSignalled = 0;
constexpr int kSyncClosed = 128;
constexpr int kSyncTimeout = 258;
constexpr int32_t kSyncForever = -1;
constexpr uint32_t kSyncMaxHandles = 1024;

using SyncThreadProc = void (*)(void* arg);

int SyncInit();
void SyncEnd();
// Handles currently open (for leak checks after SyncEnd/AppEnd).
uint32_t SyncHandleCount();

SyncHandle SyncEventCreate(const wchar_t* name, int manualReset, int initialState);
int SyncEventSet(SyncHandle handle);
int SyncEventReset(SyncHandle handle);

// Starts a thread running fn(arg); its handle becomes signalled when fn
// returns. 0 when fn is null or the table is full.
SyncHandle SyncThreadCreate(void* security, size_t stackSize, SyncThreadProc fn, void* arg,
                            uint32_t flags, uint32_t* tableIndex);
// A thread that missed its time-out: it is asked to stop (see
// SyncThreadShouldStop), logged, detached; waiters are woken. Threads are
// never killed, as they may be inside a library.
int SyncThreadTerminate(SyncHandle handle, uint32_t graceMs);
// True inside a thread whose handle was terminated or closed while running.
bool SyncThreadShouldStop();
// Threads started by the layer that have not returned yet.
uint32_t SyncThreadRunningCount();

// A periodic timer: its handle is signalled (automatic reset) every period.
SyncHandle SyncTimerCreate(uint32_t periodMs);
int SyncTimerSetPeriod(SyncHandle handle, uint32_t periodMs);

int SyncHandleClose(SyncHandle handle);
// 0 signalled (an automatic-reset event is cleared by the wait that takes
// it), 258 timed out, 128 closed or missing. The state is looked at before
// the time, so 0 polls. On the main thread the event loop keeps running.
int SyncWait(SyncHandle handle, int32_t timeoutMs);
// Waits for each handle in turn within one deadline; -1 for no list.
int SyncWaitAll(uint32_t count, const SyncHandle* handles, int flag, int32_t timeoutMs);
