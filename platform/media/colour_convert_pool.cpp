#include "platform/media/colour_convert_pool.h"

// The row-band workers: one band of rows each, started with the engine's
// colour conversion and stopped with it (or after a worker missed its time
// limit, after which every frame runs on its caller).
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/log.h"
#include "base/util.h"

namespace {

// An event as the engine's thread layer has them: manual or automatic
// reset, waits in milliseconds.
class ConvEvent {
public:
  ConvEvent(bool manualReset, bool initial) : manual_(manualReset), set_(initial) {}
  void Set() {
    { std::lock_guard<std::mutex> lock(m_); set_ = true; }
    cv_.notify_all();
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(m_);
    set_ = false;
  }
  // True when signalled within the time (-1 = forever, 0 = poll).
  bool Wait(int32_t ms) {
    std::unique_lock<std::mutex> lock(m_);
    bool ok = ms < 0 ? (cv_.wait(lock, [this] { return set_; }), true)
                     : cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return set_; });
    if (ok && !manual_) set_ = false;
    return ok;
  }

private:
  std::mutex m_;
  std::condition_variable cv_;
  bool manual_;
  bool set_;
};

struct Worker {
  std::thread Thread;
  ConvEvent Start{false, false};
  ConvEvent Idle{true, false};
  ConvEvent Exited{true, false};
  RowBandWork Work;
  uint32_t FirstRow = 0, LastRow = 0;
};

constexpr uint32_t kMaxWorkers = 32;
constexpr uint32_t kPixelsPerBand = 19200;
constexpr int32_t kGateWaitMs = 4000;
constexpr int32_t kJobWaitMs = 4000;

struct Pool {
  std::vector<std::unique_ptr<Worker>> Workers;
  std::vector<std::unique_ptr<Worker>> Abandoned; // threads that never ended
  std::atomic<bool> Running{false};
  std::atomic<uint32_t> Count{0};
  std::unique_ptr<ConvEvent> Gate;
  std::atomic<uint32_t> StartingIndex{0};
  std::mutex Setup; // init and end against each other
};

Pool& ThePool() {
  static Pool pool;
  return pool;
}

void RowBandThread(Worker* self) {
  Pool& pool = ThePool();
  uint32_t index = pool.StartingIndex.load();
  pool.Gate->Set(); // the next worker may be started
  LogPrintf(L"ColorConvThread %d started", static_cast<int>(index));
  while (pool.Running) {
    self->Idle.Set();
    if (!self->Start.Wait(-1) || !pool.Running) break;
    self->Work(self->FirstRow, self->LastRow);
  }
  LogPrintf(L"ColorConvThread %d ended", static_cast<int>(index));
  self->Idle.Set();
  self->Exited.Set();
}

void EndLocked() {
  Pool& pool = ThePool();
  pool.Running = false;
  for (auto& w : pool.Workers) w->Start.Set();
  for (size_t i = 0; i < pool.Workers.size(); ++i) {
    auto& w = pool.Workers[i];
    if (!w->Thread.joinable()) continue;
    if (w->Exited.Wait(1000)) {
      w->Thread.join();
    } else {
      // A thread cannot be killed safely; it is let go and its state kept.
      LogPrintf(L"Timeout in EndColorConv() - terminating thread %d", static_cast<int>(i));
      w->Thread.detach();
      pool.Abandoned.push_back(std::move(w));
    }
  }
  pool.Workers.clear();
}

} // namespace

int RowBandPoolStart() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> setup(pool.Setup);
  int n = GetProcessorCount();
  EndLocked();
  pool.Count = 0;
  pool.Running = false;
  if (n < 2) return kOk;
  uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(n - 1), kMaxWorkers);
  pool.Count = count;
  pool.Running = true;
  pool.Gate = std::make_unique<ConvEvent>(false, true);
  for (uint32_t i = 0; i < count; ++i) {
    if (!pool.Gate->Wait(kGateWaitMs)) {
      EndLocked();
      return kErrTimeout;
    }
    auto worker = std::make_unique<Worker>();
    pool.StartingIndex = i;
    try {
      worker->Thread = std::thread(RowBandThread, worker.get());
    } catch (const std::system_error&) {
      LogPrintf(L"Failed to create thread %d in ColorConvInit()", static_cast<int>(i));
    }
    pool.Workers.push_back(std::move(worker));
  }
  if (!pool.Gate->Wait(kGateWaitMs)) { // the last worker has started
    EndLocked();
    return kErrTimeout;
  }
  pool.Gate->Set();
  LogPrintf(L"Started %d ColorConv threads", static_cast<int>(count));
  return kOk;
}

void RowBandPoolEnd() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> setup(pool.Setup);
  EndLocked();
}

uint32_t RowBandPoolSize() { return ThePool().Running ? static_cast<uint32_t>(ThePool().Workers.size()) : 0; }

bool RowBandPoolRun(uint32_t w, uint32_t h, const RowBandWork& work) {
  if (h == 0) return true;
  Pool& pool = ThePool();
  uint32_t bands = std::min<uint64_t>(static_cast<uint64_t>(w) * h / kPixelsPerBand, RowBandPoolSize());
  if (bands < 2 || !pool.Running || !pool.Gate) return work(0, h - 1), true;
  std::unique_lock<std::mutex> setup(pool.Setup, std::try_to_lock);
  if (!setup.owns_lock() || !pool.Running || pool.Workers.size() < bands) return work(0, h - 1), true;
  if (!pool.Gate->Wait(0)) return work(0, h - 1), true; // one banded frame at a time
  for (uint32_t k = 0; k < bands; ++k) {
    if (!pool.Workers[k]->Idle.Wait(0)) {
      pool.Gate->Set();
      return work(0, h - 1), true;
    }
  }
  const uint32_t rows = std::max<uint32_t>(h / bands, 10);
  uint32_t handed = 0, first = 0, ownFirst = 0, ownLast = 0;
  for (uint32_t k = 0; k < bands && first < h; ++k) {
    uint32_t count = k == 0 ? rows * 103 / 100 + 1 : rows;
    uint32_t last = first + count - 1;
    if (k == bands - 1 || last >= h - 1) last = h - 1;
    if (k == 0) {
      ownFirst = first;
      ownLast = last;
    } else {
      Worker& worker = *pool.Workers[k];
      worker.Work = work;
      worker.FirstRow = first;
      worker.LastRow = last;
      worker.Idle.Reset();
      worker.Start.Set();
    }
    handed = k + 1;
    first = last + 1;
  }
  work(ownFirst, ownLast);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kJobWaitMs);
  bool done = true;
  for (uint32_t k = 1; k < handed && done; ++k) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    done = pool.Workers[k]->Idle.Wait(static_cast<int32_t>(std::max<int64_t>(left.count(), 0)));
  }
  pool.Gate->Set();
  if (done) return true;
  EndLocked();
  work(0, h - 1);
  return false;
}
