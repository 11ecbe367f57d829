// The handle table under many threads creating, using and closing handles.
#include "base/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(SyncTableTest, ConcurrentCreateUseCloseKeepsHandlesApart) {
  ASSERT_EQ(SyncInit(), 0);
  std::atomic<int> faults{0};
  std::atomic<bool> stop{false};
  std::vector<SyncHandle> closedHandles(8, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 400; ++i) {
        SyncHandle event = SyncEventCreate(nullptr, 0, 0);
        SyncHandle timer = (i % 10 == 0) ? SyncTimerCreate(1000) : 0;
        if (event == 0 || SyncWait(event, 0) != kSyncTimeout)
          faults++;
        SyncEventSet(event);
        if (SyncWait(event, 0) != kSyncSignalled || SyncWait(event, 0) != kSyncTimeout)
          faults++; // someone else took or set this thread's own event
        if (SyncHandleClose(event) != 0)
          faults++;
        if (timer)
          SyncHandleClose(timer);
        closedHandles[t] = event; // only this thread writes its entry
      }
    });
  }
  // Stale handles stay dead however often their slots are reused.
  std::thread prober([&] {
    std::vector<SyncHandle> stale;
    for (int i = 0; i < 64; ++i) {
      SyncHandle event = SyncEventCreate(nullptr, 1, 1);
      SyncHandleClose(event);
      stale.push_back(event);
    }
    while (!stop) {
      for (SyncHandle handle : stale) {
        if (SyncWait(handle, 0) != kSyncClosed)
          faults++;
      }
    }
  });
  for (auto& thread : threads)
    thread.join();
  stop = true;
  prober.join();
  EXPECT_EQ(faults.load(), 0);
  EXPECT_EQ(SyncHandleCount(), 0u);
  SyncEnd();
}

} // namespace
