// The engine-wide access lock over the model tables.
//
// A writer takes the writer gate and then waits for the counted readers to
// drain. A reader passes through the gate (so it queues behind a writer),
// and counts itself under the reader lock while still holding the gate, so
// a writer that owns the gate sees every reader that got in before it.
// Every wait is bounded: when one times out it is logged with the caller's
// name and the caller goes on, as a stuck lock must not freeze the program.
//
// Ownership is kept per thread: the writing thread may take write access
// again and read access inside it, and a thread that already reads may read
// again without queueing behind a writer that is waiting for it.
#include "engine/base/access_lock.h"

#include "engine/base/access_lock_limits.h"
#include "engine/base/log.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

using std::chrono::milliseconds;

constexpr int kWriterGateMs = 5000;
constexpr int kReaderDrainMs = 5000;
constexpr int kReaderLockMs = 2000;
constexpr milliseconds kDrainPoll{1};

std::atomic<int> g_writerGateMs{kWriterGateMs};
std::atomic<int> g_readerDrainMs{kReaderDrainMs};
std::atomic<int> g_readerLockMs{kReaderLockMs};

std::timed_mutex g_writerGate;
std::timed_mutex g_readerLock;
std::atomic<int> g_readers{0};

thread_local int t_writeDepth = 0;
thread_local bool t_ownsWriterGate = false;
thread_local int t_readDepth = 0;        // reads this thread added to g_readers
thread_local int t_readsInsideWrite = 0; // reads taken while writing: not counted

const char* CallerName(const char* who) {
  return who ? who : "(unnamed)";
}

// Changes the reader count under the reader lock.
void CountReader(int delta, const char* who) {
  const bool locked = g_readerLock.try_lock_for(milliseconds(g_readerLockMs.load()));
  if (!locked)
    LogPrintf(L"Access lock: reader lock time-out in '%S'", CallerName(who));
  // After AccessEnd cleared a stale count, an old reader's end must not
  // take the count below zero.
  if (delta > 0 || g_readers.load() > 0)
    g_readers.fetch_add(delta);
  if (locked)
    g_readerLock.unlock();
}

void WaitForReadersToDrain(const char* who) {
  const int limitMs = g_readerDrainMs.load();
  const auto deadline = std::chrono::steady_clock::now() + milliseconds(limitMs);
  // Reads of the writing thread itself cannot drain while it waits.
  while (g_readers.load() > t_readDepth) {
    if (std::chrono::steady_clock::now() >= deadline) {
      LogPrintf(L"Access lock: readers still active after %d ms in '%S'", limitMs, CallerName(who));
      return;
    }
    std::this_thread::sleep_for(kDrainPoll);
  }
}

} // namespace

void AccessSetWaitLimits(int writerGateMs, int readerDrainMs, int readerLockMs) {
  g_writerGateMs = writerGateMs;
  g_readerDrainMs = readerDrainMs;
  g_readerLockMs = readerLockMs;
}

void AccessResetWaitLimits() {
  AccessSetWaitLimits(kWriterGateMs, kReaderDrainMs, kReaderLockMs);
}

int AccessInit() {
  g_readers = 0;
  return 0;
}

void AccessEnd() {
  // A reader that never ended would make every later writer wait its full
  // time-out; start the next session clean.
  const int left = g_readers.exchange(0);
  if (left != 0)
    LogPrintf(L"Access lock: %d readers still registered at the end", left);
}

void AccessWriteBegin(const char* who) {
  if (t_writeDepth > 0) {
    ++t_writeDepth;
    return;
  }
  t_ownsWriterGate = g_writerGate.try_lock_for(milliseconds(g_writerGateMs.load()));
  if (!t_ownsWriterGate)
    LogPrintf(L"Access lock: write gate time-out in '%S'", CallerName(who));
  WaitForReadersToDrain(who);
  t_writeDepth = 1;
}

void AccessWriteEnd(const char* who) {
  if (t_writeDepth == 0) {
    LogPrintf(L"Access lock: write end without write access in '%S'", CallerName(who));
    return;
  }
  if (--t_writeDepth > 0)
    return;
  if (t_ownsWriterGate) {
    t_ownsWriterGate = false;
    g_writerGate.unlock();
  }
}

void AccessReadBegin(const char* who) {
  if (t_writeDepth > 0) {
    ++t_readsInsideWrite;
    return;
  }
  if (t_readDepth > 0) {
    // A writer may hold the gate waiting for this very thread to drain:
    // queueing at the gate would stall both until their time-outs.
    CountReader(+1, who);
    ++t_readDepth;
    return;
  }
  const bool passed = g_writerGate.try_lock_for(milliseconds(g_writerGateMs.load()));
  if (!passed)
    LogPrintf(L"Access lock: read gate time-out in '%S'", CallerName(who));
  CountReader(+1, who);
  ++t_readDepth;
  if (passed)
    g_writerGate.unlock();
}

void AccessReadEnd(const char* who) {
  if (t_readsInsideWrite > 0) {
    --t_readsInsideWrite;
    return;
  }
  if (t_readDepth == 0) {
    LogPrintf(L"Access lock: read end without read access in '%S'", CallerName(who));
    return;
  }
  --t_readDepth;
  CountReader(-1, who);
}

bool AccessHeldForWrite() {
  return t_writeDepth > 0;
}
