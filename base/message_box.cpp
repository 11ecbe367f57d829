#include "base/message_box.h"

#include <atomic>
#include <chrono>
#include <cwchar>
#include <memory>
#include <mutex>
#include <thread>

#include "base/log.h"
#include "base/main_thread.h"

namespace {

std::mutex hookMutex;
MessageBoxHook messageBoxHook;
InputBoxHook inputBoxHook;

constexpr size_t kInputBoxChars = 1024;
wchar_t InputBoxBuffer[kInputBoxChars];

// A caller off the main thread posts the prompt and waits as long as the user
// takes; the flag is set only after the answer is stored.
template <typename Answer>
struct HandOver {
  std::atomic<bool> done{false};
  Answer answer{};
};

template <typename Answer, typename Job>
Answer runOnMainThread(Job job) {
  if (IsMainThread()) return job();
  auto handOver = std::make_shared<HandOver<Answer>>();
  MainThreadPost([handOver, job]() {
    handOver->answer = job();
    handOver->done.store(true, std::memory_order_release);
  });
  while (!handOver->done.load(std::memory_order_acquire)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return handOver->answer;
}

// The buttons shown for the flags, first (default) to last; 0 = none.
struct Buttons {
  int first, second, third;
};

Buttons buttonsForFlags(int flags) {
  switch (flags & 0x0F) {
  case 1: return {kMbOk, kMbCancel, 0};
  case 3: return {kMbYes, kMbCancel, kMbNo};
  case 4: return {kMbYes, 0, kMbNo};
  default: return {kMbOk, 0, 0};
  }
}

// Whatever the dialog answered, only a shown button counts; anything else is OK.
int mapAnswer(int answer, const Buttons& buttons) {
  if (answer != 0 && (answer == buttons.first || answer == buttons.second || answer == buttons.third)) {
    return answer;
  }
  return kMbOk;
}

MessageBoxHook currentMessageBoxHook() {
  std::lock_guard<std::mutex> lock(hookMutex);
  return messageBoxHook;
}

InputBoxHook currentInputBoxHook() {
  std::lock_guard<std::mutex> lock(hookMutex);
  return inputBoxHook;
}

struct InputAnswer {
  bool accepted = false;
  std::wstring text;
};

} // namespace

void AppMessageBoxInstall(MessageBoxHook hook) {
  std::lock_guard<std::mutex> lock(hookMutex);
  messageBoxHook = std::move(hook);
}

void AppInputBoxInstall(InputBoxHook hook) {
  std::lock_guard<std::mutex> lock(hookMutex);
  inputBoxHook = std::move(hook);
}

int AppMessageBox(const wchar_t* text, int flags) {
  std::wstring message = text != nullptr ? text : L"";
  Buttons buttons = buttonsForFlags(flags);
  MessageBoxHook hook = currentMessageBoxHook();
  if (!hook) {
    LogPrintf(L"Message box (no user interface, answered %d): '%s'", buttons.first, message.c_str());
    return buttons.first;
  }
  int answer = runOnMainThread<int>([hook, message, flags]() { return hook(message, flags); });
  return mapAnswer(answer, buttons);
}

const wchar_t* AppInputBox(const wchar_t* prompt, const wchar_t* defaultText) {
  std::wstring promptText = prompt != nullptr ? prompt : L"";
  std::wstring initial = defaultText != nullptr ? defaultText : L"";
  InputBoxHook hook = currentInputBoxHook();
  if (!hook) {
    LogPrintf(L"Input box (no user interface, cancelled): '%s'", promptText.c_str());
    return nullptr;
  }
  InputAnswer answer = runOnMainThread<InputAnswer>([hook, promptText, initial]() {
    InputAnswer result;
    result.accepted = hook(promptText, initial, result.text);
    return result;
  });
  InputBoxBuffer[0] = 0;
  // The buffer keeps its last character for the terminator: longer text is
  // refused whole rather than cut.
  if (!answer.accepted || answer.text.size() > kInputBoxChars - 2) return nullptr;
  std::wmemcpy(InputBoxBuffer, answer.text.data(), answer.text.size());
  InputBoxBuffer[answer.text.size()] = 0;
  InputBoxBuffer[kInputBoxChars - 1] = 0;
  return InputBoxBuffer;
}
