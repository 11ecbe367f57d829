#pragma once
// The answers of getters that hand a model record to the interface. The
// record is copied out of the table while the getter holds the access lock,
// into buffers of the calling thread's own: a render thread rewriting the
// table, or another thread asking the same getter, can never change what a
// caller holds. Each thread keeps a small ring of copies per record type, so
// a caller may hold a few answers at once (a group and its member, two
// inputs); an answer stays valid until the same thread has asked for
// kReplyRing more records of that type.
#include <array>
#include <cstddef>
#include <memory>

constexpr size_t kReplyRing = 8;

template <class Record>
Record* ReplySlot() {
  struct Ring {
    std::array<Record, kReplyRing> slots{};
    size_t next = 0;
  };
  // Allocated on a thread's first call: threads that never ask pay nothing.
  thread_local std::unique_ptr<Ring> ring;
  if (!ring) ring = std::make_unique<Ring>();
  Record& slot = ring->slots[ring->next];
  ring->next = (ring->next + 1) % kReplyRing;
  return &slot;
}

template <class Record>
const Record* ReplyCopy(const Record& source) {
  Record* slot = ReplySlot<Record>();
  *slot = source;
  return slot;
}
