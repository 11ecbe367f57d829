#include "base/message_box.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "base/main_thread.h"

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
  void TearDown() override {
    AppMessageBoxInstall(nullptr);
    AppInputBoxInstall(nullptr);
  }
};

TEST_F(MessageBoxTest, WithoutHookAnswersTheFirstButton) {
  EXPECT_EQ(AppMessageBox(L"Save changes?", 35), kMbYes);
  EXPECT_EQ(AppMessageBox(L"Replace?", 36), kMbYes);
  EXPECT_EQ(AppMessageBox(L"Proceed?", 1), kMbOk);
  EXPECT_EQ(AppMessageBox(L"Failed", 16), kMbOk);
  EXPECT_EQ(AppMessageBox(nullptr, 0), kMbOk);
}

TEST_F(MessageBoxTest, WithoutHookInputBoxAnswersNothing) {
  EXPECT_EQ(AppInputBox(L"Seek to:", L"00:00:01.00"), nullptr);
}

TEST_F(MessageBoxTest, HookSeesTextAndFlags) {
  std::wstring seenText;
  int seenFlags = -1;
  AppMessageBoxInstall([&](const std::wstring& text, int flags) {
    seenText = text;
    seenFlags = flags;
    return kMbNo;
  });
  EXPECT_EQ(AppMessageBox(L"Remove the input?", 36), kMbNo);
  EXPECT_EQ(seenText, L"Remove the input?");
  EXPECT_EQ(seenFlags, 36);
  AppMessageBox(nullptr, 64);
  EXPECT_EQ(seenText, L"");
}

struct FlagCase {
  int flags;
  int pressed;
  int expected;
};

TEST_F(MessageBoxTest, OnlyShownButtonsAreAnswered) {
  const FlagCase cases[] = {
      {35, kMbYes, kMbYes},   {35, kMbNo, kMbNo},    {35, kMbCancel, kMbCancel}, {36, kMbYes, kMbYes},
      {36, kMbNo, kMbNo},     {36, kMbCancel, kMbOk}, {1, kMbOk, kMbOk},         {1, kMbCancel, kMbCancel},
      {1, kMbYes, kMbOk},     {0, kMbCancel, kMbOk},  {2, kMbCancel, kMbOk},     {5, kMbNo, kMbOk},
      {16, kMbOk, kMbOk},     {48, kMbYes, kMbOk},    {35, 99, kMbOk},           {4, 0, kMbOk},
  };
  for (const FlagCase& c : cases) {
    AppMessageBoxInstall([&](const std::wstring&, int) { return c.pressed; });
    EXPECT_EQ(AppMessageBox(L"?", c.flags), c.expected) << "flags " << c.flags << " pressed " << c.pressed;
  }
}

TEST_F(MessageBoxTest, InputBoxReturnsTheAcceptedText) {
  std::wstring seenPrompt, seenDefault;
  AppInputBoxInstall([&](const std::wstring& prompt, const std::wstring& initial, std::wstring& answer) {
    seenPrompt = prompt;
    seenDefault = initial;
    answer = L"Lap " + initial;
    return true;
  });
  const wchar_t* text = AppInputBox(L"New name:", L"7");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::wstring(text), L"Lap 7");
  EXPECT_EQ(seenPrompt, L"New name:");
  text = AppInputBox(nullptr, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(seenPrompt, L"");
  EXPECT_EQ(std::wstring(text), L"Lap ");
}

TEST_F(MessageBoxTest, InputBoxCancelAndEmptyText) {
  AppInputBoxInstall([](const std::wstring&, const std::wstring&, std::wstring& answer) {
    answer = L"typed but cancelled";
    return false;
  });
  EXPECT_EQ(AppInputBox(L"Length:", L""), nullptr);
  AppInputBoxInstall([](const std::wstring&, const std::wstring&, std::wstring& answer) {
    answer.clear();
    return true;
  });
  const wchar_t* text = AppInputBox(L"Length:", nullptr);
  ASSERT_NE(text, nullptr) << "OK on an empty field is not Cancel";
  EXPECT_EQ(text[0], L'\0');
}

TEST_F(MessageBoxTest, InputBoxRefusesTextLongerThanTheBuffer) {
  size_t length = 1022;
  AppInputBoxInstall([&](const std::wstring&, const std::wstring&, std::wstring& answer) {
    answer.assign(length, L'x');
    return true;
  });
  const wchar_t* text = AppInputBox(L"Describe:", nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::wstring(text).size(), 1022u);
  length = 1023;
  EXPECT_EQ(AppInputBox(L"Describe:", nullptr), nullptr);
  length = 100000;
  EXPECT_EQ(AppInputBox(L"Describe:", nullptr), nullptr);
}

// A main-thread queue like the user interface's event loop.
class TestEventLoop {
public:
  void install() {
    MainThreadInstall(
        [this](std::function<void()> job) {
          std::lock_guard<std::mutex> lock(mutex_);
          jobs_.push_back(std::move(job));
        },
        [this] { runPending(); });
  }
  void runPending() {
    for (;;) {
      std::function<void()> job;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (jobs_.empty()) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      job();
    }
  }
  // Pumps until the worker is done.
  void pumpUntil(const std::atomic<bool>& done) {
    while (!done) {
      MainThreadPump();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  ~TestEventLoop() { MainThreadInstall(nullptr, nullptr); }

private:
  std::mutex mutex_;
  std::deque<std::function<void()>> jobs_;
};

TEST_F(MessageBoxTest, WorkerHandsTheBoxToTheMainThread) {
  TestEventLoop loop;
  loop.install();
  std::thread::id mainId = std::this_thread::get_id();
  std::thread::id hookThread;
  AppMessageBoxInstall([&](const std::wstring&, int) {
    hookThread = std::this_thread::get_id();
    return kMbCancel;
  });
  std::atomic<bool> done{false};
  int answer = 0;
  std::thread worker([&] {
    answer = AppMessageBox(L"Keep rendering?", 3);
    done = true;
  });
  loop.pumpUntil(done);
  worker.join();
  EXPECT_EQ(answer, kMbCancel);
  EXPECT_EQ(hookThread, mainId);
}

TEST_F(MessageBoxTest, WorkerHandsTheInputBoxToTheMainThread) {
  TestEventLoop loop;
  loop.install();
  std::thread::id mainId = std::this_thread::get_id();
  std::thread::id hookThread;
  AppInputBoxInstall([&](const std::wstring&, const std::wstring& initial, std::wstring& answer) {
    hookThread = std::this_thread::get_id();
    answer = initial + L"+1";
    return true;
  });
  std::atomic<bool> done{false};
  std::wstring answer;
  std::thread worker([&] {
    const wchar_t* text = AppInputBox(L"Shift:", L"00:01");
    if (text != nullptr) answer = text;
    done = true;
  });
  loop.pumpUntil(done);
  worker.join();
  EXPECT_EQ(answer, L"00:01+1");
  EXPECT_EQ(hookThread, mainId);
}

TEST_F(MessageBoxTest, MainThreadRunsTheHookDirectly) {
  TestEventLoop loop;
  loop.install(); // marks this thread as main; nothing is pumped below
  std::thread::id hookThread;
  AppMessageBoxInstall([&](const std::wstring&, int) {
    hookThread = std::this_thread::get_id();
    return kMbYes;
  });
  EXPECT_EQ(AppMessageBox(L"Now?", 4), kMbYes);
  EXPECT_EQ(hookThread, std::this_thread::get_id());
}

} // namespace
