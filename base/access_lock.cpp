// The engine-wide access lock over the model tables.
//
// One mutex guards the lock's state and one condition variable wakes the
// waiters. Turns alternate: a new reader waits while a writer waits, so a
// steady stream of readers cannot starve the interface's edits; every
// reader that was waiting when a write ended goes in before the next
// writer, so a steady stream of writers cannot starve the readers; and
// writers go in the order they came (a ticket each), so no writer is
// passed over again and again by the others. A reader that waits therefore
// sees at most one write end before it enters, and a writer at most one
// write of each other writer.
//
// A wait never gives up. Entering without the lock lets a writer and
// readers in together and tears records; a stuck lock is instead logged
// with the waiting routine's name and the names of the holders, again every
// 5 s, so the log shows who blocks whom.
//
// Ownership is kept per thread: the writing thread may take write access
// again and read access inside it, a thread that already reads may read
// again without queueing behind a waiting writer (that writer may be
// waiting for it), and a reader may take write access once the other
// readers have left.
#include "base/access_lock.h"

#include "base/access_lock_limits.h"
#include "base/log.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int kWaitLogMs = 5000;
std::atomic<int> g_waitLogMs{kWaitLogMs};

struct ReaderName {
  std::thread::id thread;
  const char* who;
};

struct LockState {
  std::mutex mutex;
  std::condition_variable changed;
  std::thread::id writer; // default id: no writer
  const char* writerName = nullptr;
  int writersWaiting = 0;
  uint64_t nextTicket = 0;  // handed to each writer that queues
  uint64_t serving = 0;     // the ticket whose turn it is
  uint64_t writesEnded = 0; // a reader waiting since an earlier count has its turn
  int readersWaiting = 0;
  int readersEntitled = 0; // readers that waited through the last write, not yet in
  int readers = 0; // every read of threads that do not write, nested ones too
  std::vector<ReaderName> readerNames; // the outermost read of each reading thread
};

LockState& State() {
  static LockState state;
  return state;
}

thread_local int t_writeDepth = 0;
thread_local int t_readDepth = 0;        // reads this thread added to the count
thread_local int t_readsInsideWrite = 0; // reads taken while writing or lent: not counted
thread_local int t_lent = 0;             // working for a thread that holds the lock
thread_local bool t_writeQueued = false;  // the thread's write used a ticket
thread_local int t_lastWaitWrites = 0;
thread_local bool t_changed = false; // the thread's write changed the project

std::atomic<AccessChangeHook> g_changeHook{nullptr};

const char* CallerName(const char* who) { return who ? who : "(unnamed)"; }

// Who holds the lock now, for the log: the writer, else the readers.
std::string HolderNames(const LockState& s) {
  std::string names;
  auto add = [&names](const char* who) {
    if (!names.empty()) names += "', '";
    names += CallerName(who);
  };
  if (s.writer != std::thread::id()) add(s.writerName);
  else
    for (const ReaderName& reader : s.readerNames) add(reader.who);
  return names.empty() ? "(nobody)" : names;
}

// Waits under the state's mutex until ready() holds, logging every interval.
template <class Ready>
void WaitLogged(std::unique_lock<std::mutex>& lock, const char* who, const char* access, Ready ready) {
  LockState& s = State();
  int waitedMs = 0;
  while (true) {
    const int interval = g_waitLogMs.load();
    if (s.changed.wait_for(lock, std::chrono::milliseconds(interval), ready)) return;
    waitedMs += interval;
    LogPrintf(L"Access lock: '%S' has waited %d ms for %S access, held by '%S'", CallerName(who), waitedMs,
              access, HolderNames(s).c_str());
  }
}

} // namespace

void AccessSetWaitLogInterval(int ms) { g_waitLogMs = std::max(1, ms); }

void AccessResetWaitLogInterval() { g_waitLogMs = kWaitLogMs; }

int AccessInit() {
  LockState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.readers = 0;
  s.readerNames.clear();
  return 0;
}

void AccessEnd() {
  // A reader that never ended would make every later writer wait for ever;
  // start the next session clean.
  LockState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.readers != 0) LogPrintf(L"Access lock: %d readers still registered at the end", s.readers);
  s.readers = 0;
  s.readerNames.clear();
  s.readersEntitled = 0;
  s.changed.notify_all();
}

void AccessWriteBegin(const char* who) {
  if (t_writeDepth > 0) {
    ++t_writeDepth;
    return;
  }
  LockState& s = State();
  std::unique_lock<std::mutex> lock(s.mutex);
  ++s.writersWaiting;
  // The thread's own reads cannot end while it waits for them, so a reader
  // that writes does not queue: the writers ahead may be waiting for it.
  const int ownReads = std::min(t_readDepth, s.readers);
  const bool queued = ownReads == 0;
  const uint64_t ticket = queued ? s.nextTicket++ : 0;
  const uint64_t since = s.writesEnded;
  WaitLogged(lock, who, "write", [&] {
    if (s.writer != std::thread::id() || s.readers > ownReads) return false;
    return !queued || (ticket == s.serving && s.readersEntitled == 0);
  });
  --s.writersWaiting;
  t_writeQueued = queued;
  t_lastWaitWrites = static_cast<int>(s.writesEnded - since);
  s.writer = std::this_thread::get_id();
  s.writerName = who;
  t_writeDepth = 1;
}

void AccessWriteEnd(const char* who) {
  if (t_writeDepth == 0) {
    LogPrintf(L"Access lock: write end without write access in '%S'", CallerName(who));
    return;
  }
  if (--t_writeDepth > 0) return;
  LockState& s = State();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.writer = std::thread::id();
    s.writerName = nullptr;
    ++s.writesEnded;
    if (t_writeQueued) ++s.serving;
    s.readersEntitled = s.readersWaiting;
  }
  s.changed.notify_all();
  // Outside the lock: the hook reads the project like any reader.
  if (!std::exchange(t_changed, false)) return;
  if (AccessChangeHook hook = g_changeHook.load()) hook();
}

void AccessMarkChange() {
  if (t_writeDepth > 0) t_changed = true;
}

void AccessForgetChange() { t_changed = false; }

void AccessSetChangeHook(AccessChangeHook hook) { g_changeHook.store(hook); }

void AccessReadBegin(const char* who) {
  if (t_writeDepth > 0 || t_lent > 0) {
    ++t_readsInsideWrite;
    return;
  }
  LockState& s = State();
  std::unique_lock<std::mutex> lock(s.mutex);
  if (t_readDepth == 0) {
    const uint64_t since = s.writesEnded;
    ++s.readersWaiting;
    WaitLogged(lock, who, "read", [&] {
      return s.writer == std::thread::id() && (s.writersWaiting == 0 || s.writesEnded != since);
    });
    --s.readersWaiting;
    if (s.writesEnded != since && s.readersEntitled > 0) --s.readersEntitled;
    t_lastWaitWrites = static_cast<int>(s.writesEnded - since);
    s.readerNames.push_back({std::this_thread::get_id(), who});
  }
  // A nested read passes a waiting writer: that writer may be waiting for
  // this very thread, and no writer can be inside while this thread reads.
  ++s.readers;
  ++t_readDepth;
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
  LockState& s = State();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    --t_readDepth;
    // After AccessEnd forgot a stale count, an old reader's end must not
    // take the count below zero.
    if (s.readers > 0) --s.readers;
    if (t_readDepth == 0) {
      const auto me = std::this_thread::get_id();
      auto& names = s.readerNames;
      names.erase(std::remove_if(names.begin(), names.end(), [me](const ReaderName& r) { return r.thread == me; }),
                  names.end());
    }
  }
  s.changed.notify_all();
}

bool AccessHeldForWrite() { return t_writeDepth > 0; }

bool AccessHeld() { return t_writeDepth > 0 || t_readDepth > 0 || t_lent > 0; }

LentAccess::LentAccess() { ++t_lent; }

LentAccess::~LentAccess() { --t_lent; }

int AccessLastWaitWrites() { return t_lastWaitWrites; }

int AccessWaiting(bool writers) {
  LockState& s = State();
  std::lock_guard lock(s.mutex);
  return writers ? s.writersWaiting : s.readersWaiting;
}
