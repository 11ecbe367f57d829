// Hand-over to the main thread, and waits on the main thread that keep a
// (test-made) event loop running.
#include "base/main_thread.h"
#include "base/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using std::chrono::milliseconds;

// A minimal event loop standing in for the user interface's.
class TestLoop {
public:
  void Install() {
    MainThreadInstall([this](std::function<void()> job) { Post(std::move(job)); }, [this] { Pump(); });
  }
  ~TestLoop() { MainThreadInstall(nullptr, nullptr); }
  void Post(std::function<void()> job) {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  void Pump() {
    pumps_++;
    for (;;) {
      std::function<void()> job;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (jobs_.empty())
          return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      job();
    }
  }
  int pumps() const { return pumps_; }

private:
  std::mutex mutex_;
  std::deque<std::function<void()>> jobs_;
  std::atomic<int> pumps_{0};
};

TEST(MainThreadTest, MarkedThreadIsMainAndOthersAreNot) {
  MainThreadMarkCurrent();
  EXPECT_TRUE(IsMainThread());
  bool otherIsMain = true;
  std::thread other([&] {
    MainThreadMarkCurrent(); // the first thread marked stays the main one
    otherIsMain = IsMainThread();
  });
  other.join();
  EXPECT_FALSE(otherIsMain);
  EXPECT_TRUE(IsMainThread());
}

TEST(MainThreadTest, WithoutLoopPostedWorkRunsOnTheCaller) {
  MainThreadMarkCurrent();
  ASSERT_FALSE(MainThreadInstalled());
  std::thread::id ranOn;
  std::thread other([&] { MainThreadPost([&] { ranOn = std::this_thread::get_id(); }); });
  const std::thread::id otherId = other.get_id();
  other.join();
  EXPECT_EQ(ranOn, otherId);
  MainThreadPump(); // nothing installed: harmless
  MainThreadPost(nullptr);
}

TEST(MainThreadTest, PostedWorkRunsWhenTheMainThreadPumps) {
  MainThreadMarkCurrent();
  TestLoop loop;
  loop.Install();
  ASSERT_TRUE(MainThreadInstalled());
  std::thread::id ranOn;
  std::thread other([&] { MainThreadPost([&] { ranOn = std::this_thread::get_id(); }); });
  other.join();
  EXPECT_EQ(ranOn, std::thread::id());
  // Pumping from another thread does nothing.
  std::thread([] { MainThreadPump(); }).join();
  EXPECT_EQ(ranOn, std::thread::id());
  MainThreadPump();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(MainThreadTest, WaitOnMainThreadKeepsTheLoopRunning) {
  MainThreadMarkCurrent();
  ASSERT_EQ(SyncInit(), 0);
  TestLoop loop;
  loop.Install();
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  // The event is set by work handed to the main thread: the wait can only
  // end if it pumps the loop.
  // Posted while the wait is on, as a rule; posted before it, the wait
  // pumps it all the same.
  std::thread worker([&] {
    std::this_thread::sleep_for(milliseconds(20));
    MainThreadPost([event] { SyncEventSet(event); });
  });
  EXPECT_EQ(SyncWait(event, 60000), kSyncSignalled);
  worker.join();
  EXPECT_GT(loop.pumps(), 0);

  // A timed-out wait pumps too.
  const int before = loop.pumps();
  EXPECT_EQ(SyncWait(event, 20), kSyncTimeout);
  EXPECT_GT(loop.pumps(), before);
  SyncHandleClose(event);
  SyncEnd();
}

TEST(MainThreadTest, WaitOffTheMainThreadDoesNotPump) {
  MainThreadMarkCurrent();
  ASSERT_EQ(SyncInit(), 0);
  TestLoop loop;
  loop.Install();
  SyncHandle event = SyncEventCreate(nullptr, 0, 0);
  std::thread([&] { EXPECT_EQ(SyncWait(event, 20), kSyncTimeout); }).join();
  EXPECT_EQ(loop.pumps(), 0);
  SyncHandleClose(event);
  SyncEnd();
}

} // namespace
