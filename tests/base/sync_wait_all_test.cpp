// SyncWaitAll: each handle in turn within one deadline.
#include "base/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

class SyncWaitAllTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(SyncInit(), 0); }
  void TearDown() override {
    for (SyncHandle handle : events_)
      SyncHandleClose(handle);
    SyncEnd();
  }
  SyncHandle Event(int manualReset, int initialState) {
    events_.push_back(SyncEventCreate(nullptr, manualReset, initialState));
    return events_.back();
  }
  std::vector<SyncHandle> events_;
};

TEST_F(SyncWaitAllTest, NoListGivesMinusOne) {
  SyncHandle event = Event(1, 1);
  EXPECT_EQ(SyncWaitAll(0, &event, 0, 0), -1);
  EXPECT_EQ(SyncWaitAll(3, nullptr, 0, 0), -1);
}

TEST_F(SyncWaitAllTest, PollGivesZeroOnlyWhenAllAreSignalled) {
  SyncHandle list[3] = {Event(1, 1), Event(1, 1), Event(1, 0)};
  EXPECT_EQ(SyncWaitAll(3, list, 0, 0), kSyncTimeout);
  SyncEventSet(list[2]);
  EXPECT_EQ(SyncWaitAll(3, list, 0, 0), kSyncSignalled);
}

TEST_F(SyncWaitAllTest, OneDeadlineForTheWholeList) {
  constexpr int kCount = 5;
  constexpr int kTimeoutMs = 200;
  std::vector<SyncHandle> list;
  for (int i = 0; i < kCount; ++i)
    list.push_back(Event(0, 0));
  const auto start = Clock::now();
  EXPECT_EQ(SyncWaitAll(kCount, list.data(), 0, kTimeoutMs), kSyncTimeout);
  const int64_t elapsed = MsSince(start);
  EXPECT_GE(elapsed, kTimeoutMs);
  // Waiting the full time on each handle would take kCount times as long.
  EXPECT_LT(elapsed, kCount * kTimeoutMs);
}

TEST_F(SyncWaitAllTest, WaitsForHandlesSignalledLater) {
  SyncHandle list[2] = {Event(0, 0), Event(0, 0)};
  // Later: while the wait is on, as a rule.
  std::thread setter([&] {
    std::this_thread::sleep_for(milliseconds(20));
    SyncEventSet(list[1]);
    std::this_thread::sleep_for(milliseconds(20));
    SyncEventSet(list[0]);
  });
  EXPECT_EQ(SyncWaitAll(2, list, 0, 60000), kSyncSignalled);
  setter.join();
  // Both automatic-reset events were taken.
  EXPECT_EQ(SyncWait(list[0], 0), kSyncTimeout);
  EXPECT_EQ(SyncWait(list[1], 0), kSyncTimeout);
}

TEST_F(SyncWaitAllTest, ClosedHandleInTheListGivesClosed) {
  SyncHandle list[3] = {Event(1, 1), Event(1, 0), Event(1, 1)};
  SyncHandle stale = list[1];
  SyncHandleClose(stale);
  EXPECT_EQ(SyncWaitAll(3, list, 0, 100), kSyncClosed);
  events_.erase(events_.begin() + 1);
}

TEST_F(SyncWaitAllTest, HandleClosedDuringTheWaitGivesClosed) {
  SyncHandle list[2] = {Event(1, 1), Event(1, 0)};
  // During the wait, as a rule; closed before it, the answer is the same.
  std::thread closer([&] {
    std::this_thread::sleep_for(milliseconds(20));
    SyncHandleClose(list[1]);
  });
  EXPECT_EQ(SyncWaitAll(2, list, 0, kSyncForever), kSyncClosed);
  closer.join();
  events_.pop_back();
}

TEST_F(SyncWaitAllTest, ThreadHandlesEndTogether) {
  static std::atomic<int> finished{0};
  finished = 0;
  auto work = [](void*) {
    std::this_thread::sleep_for(milliseconds(15)); // work that takes a while
    finished++;
  };
  std::vector<SyncHandle> threads;
  for (int i = 0; i < 8; ++i)
    threads.push_back(SyncThreadCreate(nullptr, 0, work, nullptr, 0, nullptr));
  EXPECT_EQ(SyncWaitAll(8, threads.data(), 0, 60000), kSyncSignalled);
  EXPECT_EQ(finished.load(), 8);
  for (SyncHandle thread : threads)
    SyncHandleClose(thread);
}

} // namespace
