// The handle table of the thread/event layer, events, closing and the
// layer's start and end.
#include "base/error.h"
#include "base/log.h"
#include "base/sync_internal.h"

#include <array>
#include <thread>
#include <vector>

namespace {

// A handle is the slot index in the low 10 bits and the slot's generation
// above it. The generation moves on each time a slot is freed, so a stale
// handle to a reused slot finds nothing instead of someone else's object.
constexpr uint32_t kIndexBits = 10;
constexpr uint32_t kIndexMask = kSyncMaxHandles - 1;
constexpr uint32_t kGenerationLimit = 1u << (32 - kIndexBits);
static_assert(kSyncMaxHandles == 1u << kIndexBits);

// How long SyncEnd gives threads that were asked to stop to return.
constexpr auto kEndThreadGrace = std::chrono::milliseconds(250);

struct Slot {
  uint32_t generation = 1;
  SyncObjectPtr object;
};

struct Table {
  std::array<Slot, kSyncMaxHandles> slots;
  uint32_t used = 0;
  uint32_t cursor = 0; // next slot to try; spreads reuse over the table
};

Table& TheTable() {
  static Table table;
  return table;
}

SyncHandle MakeHandle(uint32_t index, uint32_t generation) {
  return (generation << kIndexBits) | index;
}

// Frees the handle's slot and marks its object closed; the object itself
// lives on while waiters or its thread still hold it. Caller holds the mutex.
SyncObjectPtr RemoveLocked(SyncHandle handle) {
  SyncObjectPtr object = SyncTableFindLocked(handle);
  if (!object)
    return nullptr;
  Slot& slot = TheTable().slots[handle & kIndexMask];
  slot.object.reset();
  slot.generation = slot.generation + 1 < kGenerationLimit ? slot.generation + 1 : 1;
  TheTable().used--;
  object->closed = true;
  if (object->kind == SyncKind::Thread)
    SyncThreadRequestStopLocked(*object);
  return object;
}

} // namespace

std::mutex& SyncMutex() {
  static std::mutex mutex;
  return mutex;
}

SyncHandle SyncTableInsertLocked(const SyncObjectPtr& object, uint32_t* tableIndex) {
  Table& table = TheTable();
  if (table.used >= kSyncMaxHandles)
    return 0;
  for (uint32_t step = 0; step < kSyncMaxHandles; ++step) {
    const uint32_t index = (table.cursor + step) & kIndexMask;
    Slot& slot = table.slots[index];
    if (slot.object)
      continue;
    slot.object = object;
    object->handle = MakeHandle(index, slot.generation);
    table.used++;
    table.cursor = (index + 1) & kIndexMask;
    if (tableIndex)
      *tableIndex = index;
    return object->handle;
  }
  return 0;
}

SyncHandle SyncTableInsert(const SyncObjectPtr& object, uint32_t* tableIndex, const char* routine) {
  SyncHandle handle;
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    handle = SyncTableInsertLocked(object, tableIndex);
  }
  if (handle == 0)
    ErrorSet(kErrTableFull, routine);
  return handle;
}

SyncObjectPtr SyncTableFindLocked(SyncHandle handle) {
  if (handle == 0)
    return nullptr;
  const Slot& slot = TheTable().slots[handle & kIndexMask];
  if (!slot.object || slot.generation != handle >> kIndexBits)
    return nullptr;
  return slot.object;
}

int SyncInit() {
  // The table is ready from the first use; nothing to build. Kept as the
  // layer's start so engine start and end stay symmetric.
  return 0;
}

void SyncEnd() {
  std::vector<SyncObjectPtr> closed;
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    for (const Slot& slot : TheTable().slots) {
      if (slot.object)
        closed.push_back(slot.object);
    }
    for (const SyncObjectPtr& object : closed)
      RemoveLocked(object->handle);
  }
  for (const SyncObjectPtr& object : closed)
    object->changed.notify_all();
  if (!closed.empty())
    LogPrintf(L"Thread/event layer: %u handles were still open at the end", (unsigned)closed.size());

  const auto deadline = SyncClock::now() + kEndThreadGrace;
  while (SyncThreadRunningCount() > 0 && SyncClock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (const uint32_t running = SyncThreadRunningCount())
    LogPrintf(L"Thread/event layer: %u threads still running at the end", running);
}

uint32_t SyncHandleCount() {
  std::lock_guard<std::mutex> lock(SyncMutex());
  return TheTable().used;
}

SyncHandle SyncEventCreate(const wchar_t* /*name: events are never shared by name*/, int manualReset,
                           int initialState) {
  auto event = std::make_shared<SyncObject>();
  event->kind = SyncKind::Event;
  event->manualReset = manualReset != 0;
  event->signalled = initialState != 0;
  return SyncTableInsert(event, nullptr, "SyncEventCreate");
}

namespace {

// Sets or clears an event; 0, or -21 for a handle that is no open event.
int ChangeEvent(SyncHandle handle, bool signalled, const char* routineName) {
  SyncObjectPtr event;
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    event = SyncTableFindLocked(handle);
    if (event && event->kind == SyncKind::Event)
      event->signalled = signalled;
  }
  if (!event || event->kind != SyncKind::Event)
    return ErrorSet(kErrBadArg, routineName);
  if (signalled)
    event->changed.notify_all();
  return 0;
}

} // namespace

// Results of the event and close routines are recorded only on failure:
// these run on every worker thread all the time, and recording their
// successes would overwrite the last error another routine just recorded.
int SyncEventSet(SyncHandle handle) {
  return ChangeEvent(handle, true, "SyncEventSet");
}

int SyncEventReset(SyncHandle handle) {
  return ChangeEvent(handle, false, "SyncEventReset");
}

int SyncHandleClose(SyncHandle handle) {
  if (handle == 0)
    return kErrBadArg; // clean-up paths close handles never made; not worth a log line
  SyncObjectPtr object;
  {
    std::lock_guard<std::mutex> lock(SyncMutex());
    object = RemoveLocked(handle);
  }
  if (!object)
    return ErrorSet(kErrBadArg, "SyncHandleClose");
  object->changed.notify_all();
  return 0;
}
