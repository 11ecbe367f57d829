// Threads of the thread/event layer. Threads run detached and share their
// object with the table, so closing or terminating a handle never frees
// what a running thread still touches. A thread is never killed: it may be
// inside FFmpeg, GStreamer or Qt holding their locks. Instead it is asked
// to stop (SyncThreadShouldStop) and left to return on its own.
#include "base/error.h"
#include "base/log.h"
#include "base/sync_internal.h"

#include <exception>
#include <system_error>
#include <thread>

namespace {

std::atomic<uint32_t> g_runningThreads{0};

// The object of the layer's thread this code runs on, if any.
thread_local SyncObject* t_currentThread = nullptr;

void MarkThreadReturned(const SyncObjectPtr& object) {
  // Counted down first, so whoever the signal wakes sees the thread gone.
  g_runningThreads.fetch_sub(1);
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    object->running = false;
    object->signalled = true;
  }
  object->changed.notify_all();
}

void RunThread(SyncObjectPtr object, SyncThreadProc fn, void* arg) {
  t_currentThread = object.get();
  try {
    fn(arg);
  } catch (const std::exception& e) {
    LogPrintf(L"Thread %u ended by an exception: %S", object->handle, e.what());
  } catch (...) {
    LogPrintf(L"Thread %u ended by an exception", object->handle);
  }
  t_currentThread = nullptr;
  MarkThreadReturned(object);
}

} // namespace

void SyncThreadRequestStopLocked(SyncObject& object) {
  if (object.running)
    object.stopRequested = true;
}

// Security, stack size and flags have no use here: threads get the
// platform's default stack, which is larger than the one asked for.
SyncHandle SyncThreadCreate(void* /*security*/, size_t /*stackSize*/, SyncThreadProc fn, void* arg,
                            uint32_t /*flags*/, uint32_t* tableIndex) {
  if (!fn) {
    ErrorSet(kErrBadArg, "SyncThreadCreate");
    return 0;
  }
  auto object = std::make_shared<SyncObject>();
  object->kind = SyncKind::Thread;
  object->manualReset = true;
  object->running = true;
  const SyncHandle handle = SyncTableInsert(object, tableIndex, "SyncThreadCreate");
  if (handle == 0)
    return 0;
  g_runningThreads.fetch_add(1);
  try {
    std::thread(RunThread, object, fn, arg).detach();
  } catch (const std::system_error&) {
    g_runningThreads.fetch_sub(1);
    {
      std::lock_guard<std::mutex> lock(SyncMutex());
      object->running = false;
    }
    SyncHandleClose(handle);
    ErrorSet(kErrNoThread, "SyncThreadCreate");
    return 0;
  }
  return handle;
}

int SyncThreadTerminate(SyncHandle handle, uint32_t graceMs) {
  SyncObjectPtr object;
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    object = SyncTableFindLocked(handle);
    if (object && object->kind == SyncKind::Thread)
      SyncThreadRequestStopLocked(*object);
  }
  if (!object || object->kind != SyncKind::Thread)
    return ErrorSet(kErrBadArg, "SyncThreadTerminate");

  const int32_t graceWait = graceMs > INT32_MAX ? INT32_MAX : static_cast<int32_t>(graceMs);
  if (SyncWaitObject(object, graceWait) == kSyncSignalled)
    return 0;

  bool stillRunning;
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    stillRunning = object->running;
    // Waiters are released as if the thread had ended; the thread itself
    // keeps its object and returns whenever it notices the stop request.
    object->signalled = true;
  }
  object->changed.notify_all();
  if (stillRunning)
    LogPrintf(L"Thread %u did not end within %u ms: asked to stop and left to finish on its own", handle,
              graceMs);
  return 0;
}

bool SyncThreadShouldStop() {
  return t_currentThread && t_currentThread->stopRequested.load();
}

uint32_t SyncThreadRunningCount() {
  return g_runningThreads.load();
}
