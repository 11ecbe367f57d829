// Events, waits, threads and timers of the thread/event layer, driven by
// real threads.
#include "base/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "support/wait_until.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

// Until the condition holds: threads woken here answer in microseconds,
// on a loaded machine much later.
bool Eventually(const std::function<bool()>& condition) {
  return WaitUntil(condition, std::chrono::seconds(60), milliseconds(1));
}

class SyncTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(SyncInit(), 0); }
  void TearDown() override {
    SyncEnd();
    EXPECT_EQ(SyncHandleCount(), 0u);
  }
};

TEST_F(SyncTest, TimeoutZeroPollsAutomaticResetEvent) {
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  ASSERT_NE(event, 0u);
  EXPECT_EQ(SyncWait(event, 0), kSyncTimeout);
  ASSERT_EQ(SyncEventSet(event), 0);
  EXPECT_EQ(SyncWait(event, 0), kSyncSignalled);
  // The wait that took the signal cleared it.
  EXPECT_EQ(SyncWait(event, 0), kSyncTimeout);
  EXPECT_EQ(SyncHandleClose(event), 0);
}

TEST_F(SyncTest, ManualResetEventStaysSignalledUntilReset) {
  SyncHandle event = SyncEventCreate(L"unused name", 1, 1);
  ASSERT_NE(event, 0u);
  EXPECT_EQ(SyncWait(event, 0), kSyncSignalled);
  EXPECT_EQ(SyncWait(event, 0), kSyncSignalled);
  ASSERT_EQ(SyncEventReset(event), 0);
  EXPECT_EQ(SyncWait(event, 0), kSyncTimeout);
  SyncHandleClose(event);
}

TEST_F(SyncTest, WaitTimesOutNoEarlierThanAsked) {
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  const auto start = Clock::now();
  EXPECT_EQ(SyncWait(event, 40), kSyncTimeout);
  EXPECT_GE(MsSince(start), 40);
  SyncHandleClose(event);
}

TEST_F(SyncTest, ManualResetWakesEveryWaiter) {
  SyncHandle event = SyncEventCreate(nullptr, 1, 0);
  constexpr int kWaiters = 12;
  std::vector<int> results(kWaiters, -1);
  std::atomic<int> started{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < kWaiters; ++i) {
    waiters.emplace_back([&, i] {
      started++;
      results[i] = SyncWait(event, kSyncForever);
    });
  }
  ASSERT_TRUE(Eventually([&] { return started == kWaiters; }));
  // Time for the waiters to block; one that comes later finds the event
  // set and passes, so the outcome is the same either way.
  std::this_thread::sleep_for(milliseconds(20));
  SyncEventSet(event);
  for (auto& waiter : waiters)
    waiter.join();
  for (int result : results)
    EXPECT_EQ(result, kSyncSignalled);
  SyncHandleClose(event);
}

TEST_F(SyncTest, AutomaticResetReleasesExactlyOneOfManyWaiters) {
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  constexpr int kWaiters = 16;
  std::vector<int> results(kWaiters, -1);
  std::atomic<int> started{0}, released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < kWaiters; ++i) {
    waiters.emplace_back([&, i] {
      started++;
      results[i] = SyncWait(event, kSyncForever);
      if (results[i] == kSyncSignalled) released++;
    });
  }
  ASSERT_TRUE(Eventually([&] { return started == kWaiters; }));
  // Time for the waiters to block; the set is taken once however many do.
  std::this_thread::sleep_for(milliseconds(30));
  SyncEventSet(event);
  ASSERT_TRUE(Eventually([&] { return released.load() >= 1; }));
  EXPECT_EQ(SyncWait(event, 0), kSyncTimeout); // the set was taken
  // The close lets the others go.
  SyncHandleClose(event);
  for (auto& waiter : waiters)
    waiter.join();
  int winners = 0;
  for (int result : results) {
    EXPECT_TRUE(result == kSyncSignalled || result == kSyncClosed) << result;
    winners += result == kSyncSignalled;
  }
  EXPECT_EQ(winners, 1);
}

TEST_F(SyncTest, AutomaticResetRaceEachSetTakenOnce) {
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  constexpr int kWaiters = 12;
  constexpr int kSets = 300;
  std::atomic<int> taken{0};
  std::atomic<bool> stop{false};
  std::vector<std::thread> waiters;
  for (int i = 0; i < kWaiters; ++i) {
    waiters.emplace_back([&] {
      while (!stop) {
        if (SyncWait(event, 5) == kSyncSignalled)
          taken++;
      }
    });
  }
  for (int set = 1; set <= kSets; ++set) {
    SyncEventSet(event);
    ASSERT_TRUE(Eventually([&] { return taken.load() >= set; })) << "set " << set << " never taken";
    ASSERT_EQ(taken.load(), set) << "one set released more than one waiter";
  }
  // A set that woke two waiters could show late: time for it to show.
  std::this_thread::sleep_for(milliseconds(20));
  stop = true;
  for (auto& waiter : waiters)
    waiter.join();
  EXPECT_EQ(taken.load(), kSets);
  SyncHandleClose(event);
}

TEST_F(SyncTest, ConcurrentSettersNeverReleaseMoreThanWasSet) {
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  std::atomic<int> sets{0};
  std::atomic<int> taken{0};
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < 6; ++i) {
    threads.emplace_back([&] {
      for (int n = 0; n < 500; ++n) {
        sets++;
        SyncEventSet(event);
      }
    });
    threads.emplace_back([&] {
      while (!stop) {
        if (SyncWait(event, 2) == kSyncSignalled)
          taken++;
      }
    });
  }
  for (size_t i = 0; i < threads.size(); i += 2)
    threads[i].join();
  stop = true;
  for (size_t i = 1; i < threads.size(); i += 2)
    threads[i].join();
  // At most the last set is still there, however few the waiters took.
  const int left = SyncWait(event, 0) == kSyncSignalled ? 1 : 0;
  EXPECT_GE(taken.load() + left, 1);
  EXPECT_LE(taken.load() + left, sets.load());
  EXPECT_EQ(SyncWait(event, 0), kSyncTimeout);
  SyncHandleClose(event);
}

TEST_F(SyncTest, MissingHandlesAnswerClosed) {
  EXPECT_EQ(SyncWait(0, 0), kSyncClosed);
  EXPECT_EQ(SyncWait(0x12345, 0), kSyncClosed);
  EXPECT_LT(SyncEventSet(0), 0);
  EXPECT_LT(SyncEventReset(0x777), 0);
  EXPECT_LT(SyncHandleClose(0), 0);
  EXPECT_LT(SyncHandleClose(0x4321), 0);
}

TEST_F(SyncTest, CloseWakesWaitersWithClosed) {
  SyncHandle event = SyncEventCreate(nullptr, 1, 0);
  std::atomic<int> result{-1};
  std::atomic<bool> started{false};
  std::thread waiter([&] {
    started = true;
    result = SyncWait(event, kSyncForever);
  });
  ASSERT_TRUE(Eventually([&] { return started.load(); }));
  // Time for the waiter to block; a wait that comes after the close
  // answers closed as well.
  std::this_thread::sleep_for(milliseconds(20));
  EXPECT_EQ(SyncHandleClose(event), 0);
  waiter.join();
  EXPECT_EQ(result.load(), kSyncClosed);
  EXPECT_EQ(SyncWait(event, 0), kSyncClosed);
  EXPECT_LT(SyncEventSet(event), 0);
  EXPECT_LT(SyncHandleClose(event), 0); // twice
}

TEST_F(SyncTest, StaleHandleOfReusedSlotAnswersClosed) {
  SyncHandle stale = SyncEventCreate(nullptr, 1, 1);
  ASSERT_NE(stale, 0u);
  SyncHandleClose(stale);
  std::vector<SyncHandle> handles;
  for (uint32_t i = 0; i < kSyncMaxHandles; ++i)
    handles.push_back(SyncEventCreate(nullptr, 1, 0));
  bool slotReused = false;
  for (SyncHandle handle : handles) {
    ASSERT_NE(handle, 0u);
    ASSERT_NE(handle, stale);
    slotReused |= (handle % kSyncMaxHandles) == (stale % kSyncMaxHandles);
  }
  EXPECT_TRUE(slotReused);
  EXPECT_EQ(SyncWait(stale, 0), kSyncClosed);
  EXPECT_LT(SyncEventSet(stale), 0);
  EXPECT_LT(SyncHandleClose(stale), 0);
  for (SyncHandle handle : handles) // nobody was set through the stale handle
    EXPECT_EQ(SyncWait(handle, 0), kSyncTimeout);
  for (SyncHandle handle : handles)
    EXPECT_EQ(SyncHandleClose(handle), 0);
}

std::atomic<int> g_threadRuns{0};

void CountRun(void*) {
  g_threadRuns++;
}

TEST_F(SyncTest, FullTableGivesZeroForEveryKind) {
  std::vector<SyncHandle> handles;
  for (uint32_t i = 0; i < kSyncMaxHandles; ++i) {
    handles.push_back(SyncEventCreate(nullptr, 0, 0));
    ASSERT_NE(handles.back(), 0u) << i;
  }
  EXPECT_EQ(SyncHandleCount(), kSyncMaxHandles);
  EXPECT_EQ(SyncEventCreate(nullptr, 0, 0), 0u);
  EXPECT_EQ(SyncTimerCreate(10), 0u);
  g_threadRuns = 0;
  EXPECT_EQ(SyncThreadCreate(nullptr, 0, CountRun, nullptr, 0, nullptr), 0u);
  // Nothing may run: a while in which a wrongly started thread would have.
  std::this_thread::sleep_for(milliseconds(20));
  EXPECT_EQ(g_threadRuns.load(), 0);
  EXPECT_EQ(SyncThreadRunningCount(), 0u);

  SyncHandleClose(handles[500]);
  SyncHandle again = SyncEventCreate(nullptr, 0, 0);
  EXPECT_NE(again, 0u);
  handles[500] = again;
  for (SyncHandle handle : handles)
    SyncHandleClose(handle);
  EXPECT_EQ(SyncHandleCount(), 0u);
}

struct BlockedJob {
  SyncHandle release = 0;
  std::atomic<bool> finishedWork{false};
};

void RunBlockedOnEvent(void* arg) {
  auto* job = static_cast<BlockedJob*>(arg);
  SyncWait(job->release, kSyncForever);
  job->finishedWork = true;
}

TEST_F(SyncTest, ThreadHandleSignalledWhenFunctionReturns) {
  BlockedJob job;
  job.release = SyncEventCreate(nullptr, 0, 0);
  uint32_t index = 9999;
  SyncHandle thread = SyncThreadCreate(nullptr, 0, RunBlockedOnEvent, &job, 0, &index);
  ASSERT_NE(thread, 0u);
  EXPECT_EQ(index, thread % kSyncMaxHandles);
  EXPECT_EQ(SyncWait(thread, 0), kSyncTimeout);
  SyncEventSet(job.release);
  EXPECT_EQ(SyncWait(thread, 60000), kSyncSignalled);
  EXPECT_TRUE(job.finishedWork.load());
  SyncHandleClose(job.release);
  EXPECT_EQ(SyncThreadRunningCount(), 0u);
  // An ended thread stays signalled for every later wait.
  EXPECT_EQ(SyncWait(thread, 0), kSyncSignalled);
  EXPECT_EQ(SyncHandleClose(thread), 0);
}

TEST_F(SyncTest, ThreadWithoutFunctionIsRefused) {
  EXPECT_EQ(SyncThreadCreate(nullptr, 0, nullptr, nullptr, 0, nullptr), 0u);
  EXPECT_EQ(SyncHandleCount(), 0u);
}

struct StuckJob {
  std::atomic<bool> sawStop{false};
  std::atomic<bool> returned{false};
};

void RunUntilAskedToStop(void* arg) {
  auto* job = static_cast<StuckJob*>(arg);
  while (!SyncThreadShouldStop())
    std::this_thread::sleep_for(milliseconds(1));
  job->sawStop = true;
  std::this_thread::sleep_for(milliseconds(20)); // still cleaning up after the terminate
  job->returned = true;
}

TEST_F(SyncTest, TerminateAsksStuckThreadToStopAndWakesWaiters) {
  EXPECT_FALSE(SyncThreadShouldStop());
  StuckJob job;
  SyncHandle thread = SyncThreadCreate(nullptr, 0, RunUntilAskedToStop, &job, 0, nullptr);
  ASSERT_NE(thread, 0u);
  std::atomic<int> waiterResult{-1};
  std::thread waiter([&] { waiterResult = SyncWait(thread, kSyncForever); });
  EXPECT_EQ(SyncWait(thread, 30), kSyncTimeout);
  EXPECT_FALSE(job.sawStop.load());

  EXPECT_EQ(SyncThreadTerminate(thread, 0), 0);
  waiter.join();
  EXPECT_EQ(waiterResult.load(), kSyncSignalled);
  EXPECT_EQ(SyncWait(thread, 0), kSyncSignalled);
  // Not killed: it notices the request and finishes its own way.
  ASSERT_TRUE(Eventually([&] { return job.returned.load(); }));
  EXPECT_TRUE(job.sawStop.load());
  EXPECT_TRUE(Eventually([] { return SyncThreadRunningCount() == 0; }));
  SyncHandleClose(thread);
}

TEST_F(SyncTest, TerminatedThreadKeepsRunningUntilItReturns) {
  BlockedJob job;
  job.release = SyncEventCreate(nullptr, 0, 0);
  SyncHandle thread = SyncThreadCreate(nullptr, 0, RunBlockedOnEvent, &job, 0, nullptr);
  ASSERT_NE(thread, 0u);
  const auto start = Clock::now();
  EXPECT_EQ(SyncThreadTerminate(thread, 25), 0);
  EXPECT_GE(MsSince(start), 25); // the grace time was given
  EXPECT_EQ(SyncThreadRunningCount(), 1u);
  EXPECT_EQ(SyncHandleClose(thread), 0);
  SyncEventSet(job.release);
  ASSERT_TRUE(Eventually([&] { return job.finishedWork.load(); }));
  EXPECT_TRUE(Eventually([] { return SyncThreadRunningCount() == 0; }));
  SyncHandleClose(job.release);
}

TEST_F(SyncTest, TerminateWithinGraceOfAThreadThatStops) {
  StuckJob job;
  SyncHandle thread = SyncThreadCreate(nullptr, 0, RunUntilAskedToStop, &job, 0, nullptr);
  EXPECT_EQ(SyncThreadTerminate(thread, 60000), 0);
  EXPECT_TRUE(job.returned.load()); // it ended inside the grace time
  EXPECT_LT(SyncThreadTerminate(0x5555, 0), 0);
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  EXPECT_LT(SyncThreadTerminate(event, 0), 0); // not a thread
  SyncHandleClose(event);
  SyncHandleClose(thread);
}

TEST_F(SyncTest, ClosingARunningThreadAsksItToStop) {
  StuckJob job;
  SyncHandle thread = SyncThreadCreate(nullptr, 0, RunUntilAskedToStop, &job, 0, nullptr);
  ASSERT_NE(thread, 0u);
  EXPECT_EQ(SyncHandleClose(thread), 0);
  EXPECT_EQ(SyncHandleCount(), 0u);
  ASSERT_TRUE(Eventually([&] { return job.returned.load(); }));
  EXPECT_TRUE(Eventually([] { return SyncThreadRunningCount() == 0; }));
}

TEST_F(SyncTest, TimerSignalsOncePerPeriodWithAutomaticReset) {
  SyncHandle timer = SyncTimerCreate(20);
  ASSERT_NE(timer, 0u);
  EXPECT_EQ(SyncWait(timer, 0), kSyncTimeout);
  const auto start = Clock::now();
  for (int tick = 0; tick < 5; ++tick)
    ASSERT_EQ(SyncWait(timer, 60000), kSyncSignalled) << tick;
  EXPECT_GE(MsSince(start), 5 * 20 - 2);
  EXPECT_EQ(SyncWait(timer, 0), kSyncTimeout); // taken by the last wait
  SyncHandleClose(timer);
}

TEST_F(SyncTest, TimerNeverFiresMoreOftenThanItsPeriod) {
  SyncHandle timer = SyncTimerCreate(10);
  const auto start = Clock::now();
  int ticks = 0;
  while (MsSince(start) < 150)
    ticks += SyncWait(timer, 5) == kSyncSignalled;
  const int64_t elapsed = MsSince(start);
  EXPECT_GE(ticks, 1);
  EXPECT_LE(ticks, elapsed / 10 + 1);
  SyncHandleClose(timer);
}

TEST_F(SyncTest, TimerPeriodCanChange) {
  SyncHandle timer = SyncTimerCreate(1000);
  EXPECT_EQ(SyncWait(timer, 30), kSyncTimeout);
  ASSERT_EQ(SyncTimerSetPeriod(timer, 15), 0);
  EXPECT_EQ(SyncWait(timer, 60000), kSyncSignalled);
  EXPECT_EQ(SyncWait(timer, 60000), kSyncSignalled);
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  EXPECT_LT(SyncTimerSetPeriod(event, 15), 0);
  EXPECT_LT(SyncTimerSetPeriod(0, 15), 0);
  SyncHandleClose(event);
  SyncHandleClose(timer);
}

TEST_F(SyncTest, ClosingATimerWakesItsWaiter) {
  SyncHandle timer = SyncTimerCreate(100000);
  std::atomic<int> result{-1};
  std::thread waiter([&] { result = SyncWait(timer, kSyncForever); });
  std::this_thread::sleep_for(milliseconds(20)); // time to block; a later wait answers closed too
  SyncHandleClose(timer);
  waiter.join();
  EXPECT_EQ(result.load(), kSyncClosed);
}

TEST_F(SyncTest, ZeroPeriodTimerStillWaitsBetweenTicks) {
  SyncHandle timer = SyncTimerCreate(0);
  ASSERT_NE(timer, 0u);
  EXPECT_EQ(SyncWait(timer, 60000), kSyncSignalled);
  SyncHandleClose(timer);
}

TEST_F(SyncTest, EndClosesEverythingAndStopsThreads) {
  SyncHandle event = SyncEventCreate(nullptr, 1, 0);
  SyncTimerCreate(5);
  StuckJob job;
  SyncHandle thread = SyncThreadCreate(nullptr, 0, RunUntilAskedToStop, &job, 0, nullptr);
  ASSERT_NE(thread, 0u);
  std::atomic<int> result{-1};
  std::thread waiter([&] { result = SyncWait(event, kSyncForever); });
  std::this_thread::sleep_for(milliseconds(10)); // time to block; a later wait answers closed too
  EXPECT_EQ(SyncHandleCount(), 3u);

  SyncEnd();
  waiter.join();
  EXPECT_EQ(result.load(), kSyncClosed);
  EXPECT_EQ(SyncHandleCount(), 0u);
  EXPECT_EQ(SyncThreadRunningCount(), 0u);
  EXPECT_TRUE(job.sawStop.load());
  // The layer starts again after its end.
  ASSERT_EQ(SyncInit(), 0);
  SyncHandle next = SyncEventCreate(nullptr, 0, 1);
  EXPECT_EQ(SyncWait(next, 0), kSyncSignalled);
  SyncHandleClose(next);
}

} // namespace
