// The engine-wide access lock: exclusion, re-entrancy, stress with a
// multi-field record, and the logged time-outs after which callers go on.
#include "engine/base/access_lock.h"
#include "engine/base/access_lock_limits.h"
#include "engine/base/log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Each test logs into its own fresh folder so the time-out lines it finds
// are its own.
class AccessLockTest : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/qv-access-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    setenv("TMPDIR", folder_.c_str(), 1);
    ASSERT_EQ(LogOpen(std::wstring(folder_.begin(), folder_.end()).c_str()), 0);
    ASSERT_EQ(AccessInit(), 0);
  }
  void TearDown() override {
    AccessEnd();
    AccessResetWaitLimits();
    LogClose();
    std::remove((folder_ + "/QV2-log.csv").c_str());
    std::remove((folder_ + "/QV2-log-old.csv").c_str());
    rmdir(folder_.c_str());
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
};

TEST_F(AccessLockTest, WriterReentersAndReadsInsideItsWrite) {
  AccessSetWaitLimits(300, 300, 300); // a self-deadlock would show as a time-out line
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
  AccessSetWaitLimits(300, 300, 300);
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
    std::this_thread::sleep_for(milliseconds(60));
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
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  while (readersIn < 3 && Clock::now() < deadline)
    std::this_thread::sleep_for(milliseconds(1));
  ASSERT_EQ(readersIn.load(), 3); // all three inside together

  std::atomic<bool> writerIn{false};
  std::thread writer([&] {
    WriteAccess write("WaitingWriter");
    writerIn = true;
  });
  std::this_thread::sleep_for(milliseconds(60));
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

TEST_F(AccessLockTest, StressNoTornRecordAndNoDeadlock) {
  // Time-outs short enough that a deadlock ends the test quickly and shows
  // in the log, long enough never to be hit by honest contention.
  AccessSetWaitLimits(1500, 1500, 1500);
  Record record;
  std::atomic<int> writersInside{0};
  std::atomic<int> readersInside{0};
  std::atomic<int> torn{0};
  std::atomic<int> overlaps{0};
  std::atomic<int64_t> nextValue{1};
  std::vector<std::thread> threads;

  for (int w = 0; w < 4; ++w) {
    threads.emplace_back([&, w] {
      for (int i = 0; i < 300; ++i) {
        WriteAccess write("StressWriter");
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
  for (int r = 0; r < 8; ++r) {
    threads.emplace_back([&, r] {
      for (int i = 0; i < 600; ++i) {
        ReadAccess read("StressReader");
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
  EXPECT_FALSE(AnyAccessLockLine()) << LogText();
}

TEST_F(AccessLockTest, WriteGateTimeOutIsLoggedAndTheCallerProceeds) {
  AccessSetWaitLimits(40, 40, 40);
  std::atomic<bool> holding{false};
  std::atomic<bool> release{false};
  std::thread holder([&] {
    WriteAccess write("Holder");
    holding = true;
    while (!release)
      std::this_thread::sleep_for(milliseconds(1));
  });
  while (!holding)
    std::this_thread::sleep_for(milliseconds(1));

  const auto start = Clock::now();
  AccessWriteBegin("LateWriter");
  EXPECT_GE(std::chrono::duration_cast<milliseconds>(Clock::now() - start).count(), 40);
  EXPECT_TRUE(AccessHeldForWrite());
  AccessWriteEnd("LateWriter");
  EXPECT_TRUE(Logged("Access lock: write gate time-out in 'LateWriter'")) << LogText();

  AccessReadBegin("LateReader");
  AccessReadEnd("LateReader");
  EXPECT_TRUE(Logged("Access lock: read gate time-out in 'LateReader'")) << LogText();

  release = true;
  holder.join();
  // The late writer did not own the gate and must not have unlocked it:
  // the gate works normally afterwards.
  std::atomic<bool> readerIn{false};
  std::thread reader;
  {
    WriteAccess write("AfterTimeouts");
    reader = std::thread([&] {
      ReadAccess read("AfterTimeoutsReader");
      readerIn = true;
    });
    std::this_thread::sleep_for(milliseconds(20));
    EXPECT_FALSE(readerIn.load());
  }
  reader.join();
  EXPECT_TRUE(readerIn.load());
}

TEST_F(AccessLockTest, ReadersThatDoNotDrainAreLoggedAndTheWriterProceeds) {
  AccessSetWaitLimits(40, 40, 40);
  std::atomic<bool> reading{false};
  std::atomic<bool> release{false};
  std::thread reader([&] {
    ReadAccess read("SlowReader");
    reading = true;
    while (!release)
      std::this_thread::sleep_for(milliseconds(1));
  });
  while (!reading)
    std::this_thread::sleep_for(milliseconds(1));
  {
    WriteAccess write("ImpatientWriter");
    EXPECT_TRUE(AccessHeldForWrite());
  }
  EXPECT_TRUE(Logged("Access lock: readers still active after 40 ms in 'ImpatientWriter'")) << LogText();
  release = true;
  reader.join();
}

TEST_F(AccessLockTest, UnbalancedEndsAreLoggedAndHarmless) {
  AccessSetWaitLimits(200, 200, 200);
  AccessReadEnd("StrayReadEnd");
  AccessWriteEnd("StrayWriteEnd");
  AccessReadEnd(nullptr);
  EXPECT_TRUE(Logged("Access lock: read end without read access in 'StrayReadEnd'")) << LogText();
  EXPECT_TRUE(Logged("Access lock: write end without write access in 'StrayWriteEnd'")) << LogText();
  EXPECT_FALSE(AccessHeldForWrite());
  // The reader count was not driven below zero: a reader and a writer in
  // turn still pass without time-outs.
  { ReadAccess read("AfterStrayRead"); }
  std::thread([] { WriteAccess write("AfterStrayWrite"); }).join();
  EXPECT_FALSE(Logged("time-out")) << LogText();
  EXPECT_FALSE(Logged("still active")) << LogText();
}

TEST_F(AccessLockTest, EndForgetsALeakedReader) {
  AccessSetWaitLimits(200, 200, 200);
  std::thread([] { AccessReadBegin("LeakyReader"); }).join();
  AccessEnd();
  EXPECT_TRUE(Logged("Access lock: 1 readers still registered at the end")) << LogText();
  ASSERT_EQ(AccessInit(), 0);
  std::thread([] { WriteAccess write("WriterAfterRestart"); }).join();
  EXPECT_FALSE(Logged("still active")) << LogText();
}

} // namespace
