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

class ReadAccess {
public:
  explicit ReadAccess(const char* who) : who_(who) { AccessReadBegin(who_); }
  ~ReadAccess() { AccessReadEnd(who_); }
  ReadAccess(const ReadAccess&) = delete;
  ReadAccess& operator=(const ReadAccess&) = delete;

private:
  const char* who_;
};

class WriteAccess {
public:
  explicit WriteAccess(const char* who) : who_(who) { AccessWriteBegin(who_); }
  ~WriteAccess() { AccessWriteEnd(who_); }
  WriteAccess(const WriteAccess&) = delete;
  WriteAccess& operator=(const WriteAccess&) = delete;

private:
  const char* who_;
};

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
class ChangeAccess {
public:
  explicit ChangeAccess(const char* who) : who_(who) {
    AccessWriteBegin(who_);
    AccessMarkChange();
  }
  ~ChangeAccess() { AccessWriteEnd(who_); }
  ChangeAccess(const ChangeAccess&) = delete;
  ChangeAccess& operator=(const ChangeAccess&) = delete;

private:
  const char* who_;
};

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
