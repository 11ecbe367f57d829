#pragma once
// The engine-wide reader/writer access lock over the model tables: a
// re-entrant writer and counted readers. No caller ever enters without the
// lock: a long wait is logged with the waiting routine's name and the
// holders' names every 5 s, and the wait goes on.
int AccessInit();
void AccessEnd();
void AccessReadBegin(const char* who);
void AccessReadEnd(const char* who);
void AccessWriteBegin(const char* who);
void AccessWriteEnd(const char* who);
bool AccessHeldForWrite(); // by the calling thread
bool AccessHeld();         // for reading or writing, by the calling thread or lent to it

// Holds the lock for a scope as Begin takes it, under the routine's name.
template <void (*Begin)(const char*), void (*End)(const char*)>
class ScopedAccess {
public:
  explicit ScopedAccess(const char* who) : who_(who) { Begin(who_); }
  ~ScopedAccess() { End(who_); }
  ScopedAccess(const ScopedAccess&) = delete;
  ScopedAccess& operator=(const ScopedAccess&) = delete;

private:
  const char* who_;
};

using ReadAccess = ScopedAccess<AccessReadBegin, AccessReadEnd>;
using WriteAccess = ScopedAccess<AccessWriteBegin, AccessWriteEnd>;

// Marks the write access the thread holds as a change of the project.
void AccessMarkChange();
// The project was replaced by a file or emptied: the write access the
// thread holds leaves nothing to record.
void AccessForgetChange();
using AccessChangeHook = void (*)();
// Null for none (no engine running).
void AccessSetChangeHook(AccessChangeHook hook);

// Write access for a change of the project: when the thread's outermost
// write access ends after one, the change hook runs, outside the lock.
inline void AccessChangeBegin(const char* who) {
  AccessWriteBegin(who);
  AccessMarkChange();
}
using ChangeAccess = ScopedAccess<AccessChangeBegin, AccessWriteEnd>;

// A worker doing part of the job of a thread that holds the lock (and
// waits for the worker): its reads are covered by that thread's. Taking
// its own read instead could wait behind a queued writer, which waits for
// the holder, which waits for the worker. Never write under it.
class LentAccess {
public:
  LentAccess();
  ~LentAccess();
  LentAccess(const LentAccess&) = delete;
  LentAccess& operator=(const LentAccess&) = delete;
};
