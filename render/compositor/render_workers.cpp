// The compositing workers: threads of the engine's thread/event layer, each
// woken by its own event, taking bands from a shared counter.
#include "render/compositor/compositor.h"

#include "base/error.h"
#include "base/log.h"
#include "base/sync.h"
#include "base/util.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

constexpr int kMaxWorkers = 32;
constexpr int32_t kStopWaitMs = 2000;
constexpr auto kJobWait = std::chrono::milliseconds(5000);

// One banded job, on the caller's stack while it runs. Workers join it
// only while bands are left; the caller waits for the bands and for the
// workers that joined, never for a worker that has not woken yet (on a
// machine busy with the encoder, a sleeping worker may not run for a
// whole time slice).
struct Job {
  const std::function<void(int)>* fn = nullptr;
  int bands = 0;
  std::atomic<int> next{0};
  int completed = 0; // under the pool's lock
  int inside = 0;    // workers running bands of it, under the pool's lock
};

struct WorkerPool {
  std::vector<SyncHandle> threads;
  std::mutex lock;
  std::condition_variable wake;     // a job with bands left, or the stop
  std::condition_variable finished; // the last band of the job is done
  Job* job = nullptr;
  bool stopping = false;
  std::mutex runMutex; // one banded job at a time
  std::atomic<bool> running{false};
  std::atomic<bool> started{false};
  std::atomic<int> count{0}; // read without the run mutex by the band planning
};

// Never destroyed: a program that ends without RenderWorkersEnd must not
// wait at exit for workers asleep on the pool's condition.
WorkerPool& pool() {
  static WorkerPool* p = new WorkerPool;
  return *p;
}

// Set while a thread runs bands: a job that itself asks for bands (an
// object drawn beside others composites its layer) does them alone.
thread_local bool t_inBands = false;

int runBands(Job& job) {
  t_inBands = true;
  int done = 0;
  for (int band = job.next.fetch_add(1); band < job.bands; band = job.next.fetch_add(1)) {
    (*job.fn)(band);
    ++done;
  }
  t_inBands = false;
  return done;
}

bool bandsLeft(const Job* job) { return job && job->next.load() < job->bands; }

void workerMain(void*) {
  WorkerPool& p = pool();
  std::unique_lock hold(p.lock);
  for (;;) {
    p.wake.wait(hold, [&] { return p.stopping || bandsLeft(p.job) || SyncThreadShouldStop(); });
    if (p.stopping || SyncThreadShouldStop()) return;
    Job& job = *p.job;
    ++job.inside;
    hold.unlock();
    const int done = runBands(job);
    hold.lock();
    job.completed += done;
    --job.inside;
    if (job.inside == 0 && job.completed == job.bands) p.finished.notify_all();
  }
}

} // namespace

int RenderWorkersInit() {
  RenderWorkersEnd();
  WorkerPool& p = pool();
  const int processors = GetProcessorCount();
  const int count = processors < 2 ? 0 : std::min(processors, kMaxWorkers);
  {
    std::lock_guard hold(p.lock);
    p.stopping = false;
  }
  for (int i = 0; i < count; ++i) {
    SyncHandle thread = SyncThreadCreate(nullptr, 0, workerMain, nullptr, 0, nullptr);
    if (!thread) break;
    p.threads.push_back(thread);
  }
  p.running = true;
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
  p.running = false;
  {
    std::lock_guard hold(p.lock);
    p.stopping = true;
  }
  p.wake.notify_all();
  for (SyncHandle thread : p.threads) {
    if (SyncWait(thread, kStopWaitMs) != kSyncSignalled) {
      LogPrintf(L"Timeout in RenderWorkersEnd() - terminating thread");
      SyncThreadTerminate(thread, 0);
    }
    SyncHandleClose(thread);
  }
  p.threads.clear();
  p.started = false;
}

bool RenderWorkersStarted() { return pool().started.load(); }

int RenderWorkerCount() {
  WorkerPool& p = pool();
  return p.running.load() ? p.count.load() : 0;
}

void RenderWorkersRun(int bands, const std::function<void(int band)>& job) {
  if (bands <= 0) return;
  WorkerPool& p = pool();
  if (t_inBands) {
    for (int band = 0; band < bands; ++band) job(band);
    return;
  }
  std::unique_lock run(p.runMutex, std::try_to_lock);
  if (!run.owns_lock() || p.threads.empty() || !p.running.load()) {
    for (int band = 0; band < bands; ++band) job(band);
    return;
  }
  Job current;
  current.fn = &job;
  current.bands = bands;
  {
    std::lock_guard hold(p.lock);
    p.job = &current;
  }
  const int helpers = std::min(static_cast<int>(p.threads.size()), bands - 1);
  for (int i = 0; i < helpers; ++i) p.wake.notify_one();
  const int done = runBands(current);
  std::unique_lock hold(p.lock);
  current.completed += done;
  auto over = [&] { return current.completed == current.bands && current.inside == 0; };
  if (!p.finished.wait_for(hold, kJobWait, over)) {
    // A stuck worker must not leave the job pointing at this stack frame.
    LogPrintf(L"Timeout waiting for render workers");
    p.finished.wait(hold, over);
  }
  p.job = nullptr;
}
