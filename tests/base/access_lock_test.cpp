// The engine-wide access lock: exclusion, re-entrancy, stress with a
// multi-field record while every core is busy, and long waits that are
// logged but never let a caller in without the lock.
#include "base/access_lock.h"
#include "base/access_lock_limits.h"
#include "base/log.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"
#include "support/wait_until.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Each test logs into its own fresh folder so the lines it finds are its
// own.
class AccessLockTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = MakeTempFolder("qv-access");
    ASSERT_FALSE(folder_.empty());
    if (const char* old = std::getenv("TMPDIR")) oldTmpDir_ = old;
    setenv("TMPDIR", folder_.c_str(), 1);
    ASSERT_EQ(LogOpen(std::wstring(folder_.begin(), folder_.end()).c_str()), 0);
    ASSERT_EQ(AccessInit(), 0);
  }
  void TearDown() override {
    AccessEnd();
    AccessResetWaitLogInterval();
    LogClose();
    std::remove((folder_ + "/QV2-log.csv").c_str());
    std::remove((folder_ + "/QV2-log-old.csv").c_str());
    rmdir(folder_.c_str());
    if (oldTmpDir_) setenv("TMPDIR", oldTmpDir_->c_str(), 1);
    else unsetenv("TMPDIR");
  }
  std::string LogText() const {
    std::ifstream file(folder_ + "/QV2-log.csv");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  bool Logged(const std::string& line) const { return LogText().find(line) != std::string::npos; }
  bool AnyAccessLockLine() const { return Logged("Access lock:"); }

  std::string folder_;
  std::optional<std::string> oldTmpDir_;
};

TEST_F(AccessLockTest, WriterReentersAndReadsInsideItsWrite) {
  AccessSetWaitLogInterval(300); // a self-deadlock would show as a logged wait
  EXPECT_FALSE(AccessHeldForWrite());
  {
    WriteAccess outer("OuterWrite");
    EXPECT_TRUE(AccessHeldForWrite());
    {
      ReadAccess read("ReadInsideWrite");
      WriteAccess inner("InnerWrite");
      ReadAccess readAgain("ReadInsideInnerWrite");
      EXPECT_TRUE(AccessHeldForWrite());
    }
    EXPECT_TRUE(AccessHeldForWrite());
  }
  EXPECT_FALSE(AccessHeldForWrite());
  // Fully released: another thread writes at once.
  std::thread([] { WriteAccess other("OtherThreadWrite"); }).join();
  EXPECT_FALSE(AnyAccessLockLine()) << LogText();
}

TEST_F(AccessLockTest, ReaderMayWriteWithoutWaitingForItself) {
  AccessSetWaitLogInterval(300);
  {
    ReadAccess read("ReadThenWrite");
    ReadAccess again("ReadAgain");
    WriteAccess write("WriteInsideRead");
    EXPECT_TRUE(AccessHeldForWrite());
  }
  std::thread([] { WriteAccess other("OtherThreadWrite"); }).join();
  EXPECT_FALSE(AnyAccessLockLine()) << LogText();
}

TEST_F(AccessLockTest, WriterExcludesReaders) {
  std::atomic<bool> readerIn{false};
  std::thread reader;
  {
    WriteAccess write("HoldWrite");
    reader = std::thread([&] {
      ReadAccess read("BlockedReader");
      readerIn = true;
    });
    // Once it waits at the lock it stays out; a wrong lock lets it in first.
    EXPECT_TRUE(WaitUntil([&] { return AccessWaiting(false) > 0 || readerIn; }));
    EXPECT_FALSE(readerIn.load());
    EXPECT_TRUE(AccessHeldForWrite());
  }
  reader.join();
  EXPECT_TRUE(readerIn.load());
  EXPECT_FALSE(AnyAccessLockLine()) << LogText();
}

TEST_F(AccessLockTest, ReadersShareAndKeepTheWriterOut) {
  std::atomic<int> readersIn{0};
  std::atomic<bool> release{false};
  std::vector<std::thread> readers;
  for (int i = 0; i < 3; ++i) {
    readers.emplace_back([&] {
      ReadAccess read("SharedReader");
      readersIn++;
      while (!release)
        std::this_thread::sleep_for(milliseconds(1));
    });
  }
  WaitUntil([&] { return readersIn == 3; });
  ASSERT_EQ(readersIn.load(), 3); // all three inside together

  std::atomic<bool> writerIn{false};
  std::thread writer([&] {
    WriteAccess write("WaitingWriter");
    writerIn = true;
  });
  EXPECT_TRUE(WaitUntil([&] { return AccessWaiting(true) > 0 || writerIn; }));
  EXPECT_FALSE(writerIn.load());
  release = true;
  for (auto& reader : readers)
    reader.join();
  writer.join();
  EXPECT_TRUE(writerIn.load());
  EXPECT_FALSE(AnyAccessLockLine()) << LogText();
}

// Writers fill every field with one value; a reader that sees two values
// saw a half-written record.
struct Record {
  volatile int64_t fields[6] = {};
};

void WriteRecord(Record& record, int64_t value) {
  for (auto& field : record.fields) {
    field = value;
    std::this_thread::yield();
  }
}

bool RecordIsWhole(const Record& record) {
  const int64_t first = record.fields[0];
  for (const auto& field : record.fields) {
    if (field != first)
      return false;
    std::this_thread::yield();
  }
  return true;
}

// The cores this process may run on: under taskset (or a CI runner's CPU
// set) fewer than the machine has, which hardware_concurrency ignores.
unsigned UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof(set), &set) == 0) return static_cast<unsigned>(CPU_COUNT(&set));
  return std::thread::hardware_concurrency();
}

// Keeps every usable core busy while it lives, so the lock's threads are
// preempted at any point, as on a loaded machine. One spinner per core: more
// would only starve the lock's threads past the long-wait log's threshold.
class BusyCores {
public:
  BusyCores() {
    const unsigned cores = std::max(2u, UsableCores());
    for (unsigned i = 0; i < cores; ++i)
      spinners_.emplace_back([this] {
        volatile uint64_t sink = 0;
        while (!stop_.load(std::memory_order_relaxed)) sink = sink + 1;
      });
  }
  ~BusyCores() {
    stop_ = true;
    for (auto& spinner : spinners_) spinner.join();
  }

private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> spinners_;
};

// Keeps the highest value it was given.
void KeepMax(std::atomic<int64_t>& most, int64_t value) {
  int64_t seen = most.load();
  while (value > seen && !most.compare_exchange_weak(seen, value)) {}
}

TEST_F(AccessLockTest, StressNoTornRecordNoOverlapAndNoStarvationWithEveryCoreBusy) {
  // Starvation is counted in turns, not in time, so that a crowded machine
  // can neither hide it nor fake it: a waiting reader lets at most the
  // write that holds the lock go first, a waiting writer each other writer
  // at most once. Each thread stops after its rounds or at the deadline, so
  // a machine crowded by other programs as well keeps the test short.
  constexpr int kWriters = 4, kReaders = 8;
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  auto goOn = [&](int round, int rounds) { return round == 0 || (round < rounds && Clock::now() < deadline); };
  BusyCores busy;
  Record record;
  std::atomic<int> writersInside{0};
  std::atomic<int> readersInside{0};
  std::atomic<int> torn{0};
  std::atomic<int> overlaps{0};
  std::atomic<int64_t> nextValue{1};
  std::atomic<int64_t> mostWritesSeenByReader{0}, mostWritesSeenByWriter{0};
  std::vector<std::thread> threads;

  for (int w = 0; w < kWriters; ++w) {
    threads.emplace_back([&, w] {
      for (int i = 0; goOn(i, 30); ++i) {
        WriteAccess write("StressWriter");
        KeepMax(mostWritesSeenByWriter, AccessLastWaitWrites());
        if (writersInside.fetch_add(1) != 0 || readersInside.load() != 0)
          overlaps++;
        WriteRecord(record, nextValue.fetch_add(1));
        if ((i + w) % 3 == 0) {
          WriteAccess again("StressWriterAgain");
          ReadAccess inside("StressReadInsideWrite");
          if (!RecordIsWhole(record))
            torn++;
          WriteRecord(record, nextValue.fetch_add(1));
        }
        writersInside--;
      }
    });
  }
  for (int r = 0; r < kReaders; ++r) {
    threads.emplace_back([&, r] {
      for (int i = 0; goOn(i, 75); ++i) {
        ReadAccess read("StressReader");
        KeepMax(mostWritesSeenByReader, AccessLastWaitWrites());
        readersInside++;
        if (writersInside.load() != 0)
          overlaps++;
        if (!RecordIsWhole(record))
          torn++;
        if ((i + r) % 4 == 0) {
          ReadAccess nested("StressNestedReader");
          if (!RecordIsWhole(record))
            torn++;
        }
        readersInside--;
      }
    });
  }
  for (auto& thread : threads)
    thread.join();
  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_LE(mostWritesSeenByReader.load(), 1);
  EXPECT_LE(mostWritesSeenByWriter.load(), kWriters - 1);
}

// Holds the lock in another thread until release() is called.
class Holder {
public:
  Holder(bool write, const char* who) {
    thread_ = std::thread([this, write, who] {
      if (write) AccessWriteBegin(who);
      else AccessReadBegin(who);
      holding_ = true;
      while (!release_) std::this_thread::sleep_for(milliseconds(1));
      if (write) AccessWriteEnd(who);
      else AccessReadEnd(who);
    });
    while (!holding_) std::this_thread::sleep_for(milliseconds(1));
  }
  ~Holder() { release(); }
  void release() {
    release_ = true;
    if (thread_.joinable()) thread_.join();
  }

private:
  std::atomic<bool> holding_{false}, release_{false};
  std::thread thread_;
};

// A waiter blocked behind a holder stays outside however long it waits,
// logging its own name and the holder's at every interval, and enters once
// the holder leaves.
TEST_F(AccessLockTest, LongWaitsAreLoggedWithBothNamesAndNeverEnterUnlocked) {
  AccessSetWaitLogInterval(40);
  struct Case {
    bool holderWrites;
    const char* holder;
    bool waiterWrites;
    const char* waiter;
    const char* line;
  };
  const Case cases[] = {
      {true, "HoldingWriter", true, "LateWriter", "'LateWriter' has waited 80 ms for write access, held by 'HoldingWriter'"},
      {true, "HoldingWriter", false, "LateReader", "'LateReader' has waited 80 ms for read access, held by 'HoldingWriter'"},
      {false, "SlowReader", true, "ImpatientWriter", "'ImpatientWriter' has waited 80 ms for write access, held by 'SlowReader'"},
  };
  for (const Case& c : cases) {
    Holder holder(c.holderWrites, c.holder);
    std::atomic<bool> entered{false};
    std::thread waiter([&] {
      if (c.waiterWrites) AccessWriteBegin(c.waiter);
      else AccessReadBegin(c.waiter);
      entered = true;
      if (c.waiterWrites) AccessWriteEnd(c.waiter);
      else AccessReadEnd(c.waiter);
    });
    EXPECT_TRUE(WaitUntil([&] { return Logged(c.line); })) << LogText();
    EXPECT_FALSE(entered.load()) << c.waiter << " entered while '" << c.holder << "' held the lock";
    holder.release();
    waiter.join();
    EXPECT_TRUE(entered.load());
  }
  // Nothing is left held: a writer passes at once.
  AccessSetWaitLogInterval(300);
  const std::string before = LogText();
  std::thread([] { WriteAccess write("AfterTheWaits"); }).join();
  EXPECT_EQ(LogText(), before);
}

// A writer waiting for readers to drain keeps new readers out, but a reader
// already inside may read again: the writer may be waiting for it.
TEST_F(AccessLockTest, WaitingWriterQueuesNewReadersButNotNestedOnes) {
  AccessSetWaitLogInterval(300);
  std::atomic<bool> reading{false}, nestedDone{false}, release{false};
  std::thread reader([&] {
    ReadAccess read("FirstReader");
    reading = true;
    while (!release) std::this_thread::sleep_for(milliseconds(1));
    ReadAccess nested("NestedRead");
    nestedDone = true;
  });
  while (!reading) std::this_thread::sleep_for(milliseconds(1));
  std::atomic<bool> writerIn{false}, newReaderIn{false};
  std::thread writer([&] {
    WriteAccess write("WaitingWriter");
    writerIn = true;
    EXPECT_FALSE(newReaderIn.load());
  });
  while (AccessWaiting(true) == 0) std::this_thread::sleep_for(milliseconds(1));
  std::thread newReader([&] {
    ReadAccess read("NewReader");
    newReaderIn = true;
  });
  while (AccessWaiting(false) == 0 && !newReaderIn) std::this_thread::sleep_for(milliseconds(1));
  std::this_thread::sleep_for(milliseconds(30)); // time enough for a wrong lock to let it in
  EXPECT_FALSE(writerIn.load());
  EXPECT_FALSE(newReaderIn.load());
  release = true;
  reader.join();
  writer.join();
  newReader.join();
  EXPECT_TRUE(nestedDone.load());
  EXPECT_TRUE(writerIn.load());
  EXPECT_TRUE(newReaderIn.load());
  EXPECT_FALSE(AnyAccessLockLine()) << LogText();
}

TEST_F(AccessLockTest, UnbalancedEndsAreLoggedAndHarmless) {
  AccessSetWaitLogInterval(200);
  AccessReadEnd("StrayReadEnd");
  AccessWriteEnd("StrayWriteEnd");
  AccessReadEnd(nullptr);
  EXPECT_TRUE(Logged("Access lock: read end without read access in 'StrayReadEnd'")) << LogText();
  EXPECT_TRUE(Logged("Access lock: write end without write access in 'StrayWriteEnd'")) << LogText();
  EXPECT_FALSE(AccessHeldForWrite());
  // The reader count was not driven below zero: a reader and a writer in
  // turn still pass without waiting.
  { ReadAccess read("AfterStrayRead"); }
  std::thread([] { WriteAccess write("AfterStrayWrite"); }).join();
  EXPECT_FALSE(Logged("has waited")) << LogText();
}

TEST_F(AccessLockTest, EndForgetsALeakedReader) {
  AccessSetWaitLogInterval(200);
  std::thread([] { AccessReadBegin("LeakyReader"); }).join();
  AccessEnd();
  EXPECT_TRUE(Logged("Access lock: 1 readers still registered at the end")) << LogText();
  ASSERT_EQ(AccessInit(), 0);
  std::thread([] { WriteAccess write("WriterAfterRestart"); }).join();
  EXPECT_FALSE(Logged("has waited")) << LogText();
}

} // namespace
