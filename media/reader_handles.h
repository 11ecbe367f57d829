#pragma once
// The handle numbers a reader facade keeps in the media slots: 128
// entries, handle 1000 + entry, 0 = none. The slot owns the reader itself;
// the handle says which facade opened it and which entry it holds.
#include <array>
#include <cstdint>
#include <mutex>

class ReaderHandles {
public:
  static constexpr uint32_t kSize = 128;
  static constexpr uint32_t kBase = 1000;

  // The first free handle, or 0 when every entry is taken.
  uint32_t Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (uint32_t e = 0; e < kSize; ++e)
      if (!used_[e]) {
        used_[e] = true;
        return kBase + e;
      }
    return 0;
  }

  void Release(uint32_t handle) {
    if (handle < kBase || handle - kBase >= kSize) return;
    std::lock_guard<std::mutex> lock(mutex_);
    used_[handle - kBase] = false;
  }

  uint32_t Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t n = 0;
    for (bool used : used_) n += used ? 1 : 0;
    return n;
  }

private:
  mutable std::mutex mutex_;
  std::array<bool, kSize> used_{};
};
