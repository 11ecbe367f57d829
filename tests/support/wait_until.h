#pragma once
// Waits for what a test needs rather than for a time: the machines that run
// the tests are often loaded, so the deadline is generous and only a fault
// ever reaches it. Header only, for the ground's suite too.
#include <chrono>
#include <functional>
#include <thread>

// True once the condition holds; false when it still does not at the
// deadline. The condition is tried again every `every`.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60),
                      std::chrono::milliseconds every = std::chrono::milliseconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(every);
  }
  return true;
}
