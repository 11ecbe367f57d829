// Hand-over of work to the main thread. The event loop's post and pump are
// installed by the user interface; headless (tests, tools) there is no loop,
// so work runs on the caller and pumping is a no-op.
#include "base/main_thread.h"

#include <mutex>
#include <thread>

namespace {

struct MainThreadState {
  std::mutex mutex;
  bool marked = false;
  std::thread::id mainId;
  MainThreadPostFn post;
  MainThreadPumpFn pump;
};

MainThreadState& State() {
  static MainThreadState state;
  return state;
}

} // namespace

void MainThreadMarkCurrent() {
  MainThreadState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.marked)
    return;
  state.marked = true;
  state.mainId = std::this_thread::get_id();
}

bool IsMainThread() {
  MainThreadState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.marked && state.mainId == std::this_thread::get_id();
}

// Installing empty functions takes the event loop away again (the user
// interface does so as its loop ends).
void MainThreadInstall(MainThreadPostFn post, MainThreadPumpFn pump) {
  MainThreadMarkCurrent();
  MainThreadState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.post = std::move(post);
  state.pump = std::move(pump);
}

bool MainThreadInstalled() {
  MainThreadState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return static_cast<bool>(state.post);
}

void MainThreadPost(std::function<void()> job) {
  if (!job)
    return;
  MainThreadPostFn post;
  {
    MainThreadState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    post = state.post;
  }
  // Called outside the lock: the job or the loop may post again.
  if (post)
    post(std::move(job));
  else
    job();
}

void MainThreadPump() {
  MainThreadPumpFn pump;
  {
    MainThreadState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.marked || state.mainId != std::this_thread::get_id())
      return;
    pump = state.pump;
  }
  if (pump)
    pump();
}
