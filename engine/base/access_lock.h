#pragma once
// The engine-wide reader/writer access lock over the model tables: a
// re-entrant writer and counted readers. Waits that time out are logged with
// the caller's name and the caller proceeds.
int AccessInit();
void AccessEnd();
void AccessReadBegin(const char* who);
void AccessReadEnd(const char* who);
void AccessWriteBegin(const char* who);
void AccessWriteEnd(const char* who);
bool AccessHeldForWrite(); // by the calling thread

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
