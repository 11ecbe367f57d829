// The compositing workers: threads of the engine's thread/event layer, each
// woken by its own event, taking bands from a shared counter.
#include "render/compositor/compositor.h"

#include "engine/base/error.h"
#include "engine/base/log.h"
#include "engine/base/sync.h"
#include "engine/base/util.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

constexpr int kMaxWorkers = 32;
constexpr int32_t kStopWaitMs = 2000;
constexpr int32_t kJobWaitMs = 5000;

enum WorkerState { kWorkersRun = 0, kWorkersStop = 1 };

struct WorkerPool {
  std::vector<SyncHandle> threads;
  std::vector<SyncHandle> wakes;
  SyncHandle done = 0;
  std::atomic<int> state{kWorkersStop};
  std::mutex runMutex; // one banded job at a time
  const std::function<void(int)>* job = nullptr;
  std::atomic<int> nextBand{0};
  int bands = 0;
  std::atomic<int> busy{0};
  std::atomic<bool> started{false};
  std::atomic<int> count{0}; // read without the run mutex by the band planning
};

WorkerPool& pool() {
  static WorkerPool p;
  return p;
}

void runBands(WorkerPool& p) {
  for (int band = p.nextBand.fetch_add(1); band < p.bands; band = p.nextBand.fetch_add(1))
    (*p.job)(band);
}

struct WorkerArg {
  SyncHandle wake;
};

void workerMain(void* arg) {
  const SyncHandle wake = static_cast<WorkerArg*>(arg)->wake;
  delete static_cast<WorkerArg*>(arg);
  WorkerPool& p = pool();
  for (;;) {
    int wait = SyncWait(wake, kSyncForever);
    if (wait != kSyncSignalled || p.state.load() == kWorkersStop || SyncThreadShouldStop()) return;
    runBands(p);
    if (p.busy.fetch_sub(1) == 1) SyncEventSet(p.done);
  }
}

} // namespace

int RenderWorkersInit() {
  RenderWorkersEnd();
  WorkerPool& p = pool();
  const int processors = GetProcessorCount();
  const int count = processors < 2 ? 0 : std::min(processors, kMaxWorkers);
  p.done = SyncEventCreate(L"RenderWorkersDone", 0, 0);
  if (!p.done) return ErrorSet(kErrNoObject, "RenderWorkersInit");
  p.state.store(kWorkersRun);
  for (int i = 0; i < count; ++i) {
    SyncHandle wake = SyncEventCreate(L"RenderWorkerWake", 0, 0);
    if (!wake) break;
    p.wakes.push_back(wake);
    auto* arg = new WorkerArg{wake};
    SyncHandle thread = SyncThreadCreate(nullptr, 0, workerMain, arg, 0, nullptr);
    if (!thread) {
      delete arg; // a thread that never started never frees it
      SyncHandleClose(wake);
      p.wakes.pop_back();
      break;
    }
    p.threads.push_back(thread);
  }
  p.started = true;
  p.count = static_cast<int>(p.threads.size());
  LogPrintf(L"Render workers started: %d of %d", static_cast<int>(p.threads.size()), count);
  if (static_cast<int>(p.threads.size()) < count)
    return ErrorSet(kErrNoThread, "RenderWorkersInit");
  return ErrorSet(kOk, "RenderWorkersInit");
}

void RenderWorkersEnd() {
  WorkerPool& p = pool();
  std::lock_guard lock(p.runMutex);
  p.count = 0;
  p.state.store(kWorkersStop);
  for (SyncHandle wake : p.wakes) SyncEventSet(wake);
  for (SyncHandle thread : p.threads) {
    if (SyncWait(thread, kStopWaitMs) != kSyncSignalled) {
      LogPrintf(L"Timeout in RenderWorkersEnd() - terminating thread");
      SyncThreadTerminate(thread, 0);
    }
    SyncHandleClose(thread);
  }
  for (SyncHandle wake : p.wakes) SyncHandleClose(wake);
  if (p.done) SyncHandleClose(p.done);
  p.threads.clear();
  p.wakes.clear();
  p.done = 0;
  p.started = false;
}

bool RenderWorkersStarted() { return pool().started.load(); }

int RenderWorkerCount() {
  WorkerPool& p = pool();
  return p.state.load() == kWorkersRun ? p.count.load() : 0;
}

void RenderWorkersRun(int bands, const std::function<void(int band)>& job) {
  if (bands <= 0) return;
  WorkerPool& p = pool();
  std::unique_lock lock(p.runMutex, std::try_to_lock);
  if (!lock.owns_lock() || p.threads.empty() || p.state.load() != kWorkersRun) {
    for (int band = 0; band < bands; ++band) job(band);
    return;
  }
  p.job = &job;
  p.bands = bands;
  p.nextBand.store(0);
  const int helpers = std::min(static_cast<int>(p.threads.size()), bands - 1);
  p.busy.store(helpers);
  SyncEventReset(p.done);
  for (int i = 0; i < helpers; ++i) SyncEventSet(p.wakes[i]);
  runBands(p);
  if (helpers > 0 && SyncWait(p.done, kJobWaitMs) != kSyncSignalled) {
    // A stuck worker must not leave the job pointing at this stack frame.
    LogPrintf(L"Timeout waiting for render workers");
    while (p.busy.load() > 0 && !SyncThreadShouldStop()) SyncWait(p.done, 100);
  }
  p.job = nullptr;
}
