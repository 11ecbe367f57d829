#pragma once
// The table of open readers behind a reader facade: 128 entries, reached by
// the handle kept in an input's media slot (1000 + entry, 0 = none).
// Lookups hand out a shared reference, so a reader in use by the render
// thread outlives a close from another thread.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

template <class Reader>
class DecoderTable {
public:
  static constexpr uint32_t kSize = 128;
  static constexpr uint32_t kHandleBase = 1000;

  std::shared_ptr<Reader> Find(uint32_t handle) const {
    if (handle < kHandleBase || handle - kHandleBase >= kSize) return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_[handle - kHandleBase];
  }

  // The new reader's handle, or 0 when every entry is taken.
  uint32_t Store(std::shared_ptr<Reader> reader) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (uint32_t e = 0; e < kSize; ++e)
      if (!entries_[e]) {
        entries_[e] = std::move(reader);
        return kHandleBase + e;
      }
    return 0;
  }

  void Remove(uint32_t handle) {
    if (handle < kHandleBase || handle - kHandleBase >= kSize) return;
    std::lock_guard<std::mutex> lock(mutex_);
    entries_[handle - kHandleBase].reset();
  }

  // Closes every reader, outside the table's lock.
  void CloseAll() {
    std::array<std::shared_ptr<Reader>, kSize> old;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      old.swap(entries_);
    }
    for (auto& reader : old)
      if (reader) reader->Close();
  }

  uint32_t Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t n = 0;
    for (const auto& reader : entries_) n += reader ? 1 : 0;
    return n;
  }

private:
  mutable std::mutex mutex_;
  std::array<std::shared_ptr<Reader>, kSize> entries_;
};
