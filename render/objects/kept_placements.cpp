#include "render/objects/kept_placements.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Objects that place several layers (a label and a value) keep one each.
constexpr size_t kPerSlot = 3;
// A project of many large objects must not hold frames of memory for ever:
// past this everything kept is dropped and builds up again.
constexpr size_t kMaxBytes = size_t{256} << 20;

struct Entry {
  KeptPlacement kept;
  uint64_t lastUse = 0;
  bool inUse = false; // under the store's lock; held from prepare to blend
};

struct Store {
  std::mutex lock;
  std::map<uint32_t, std::vector<std::shared_ptr<Entry>>> slots;
  uint64_t uses = 0;
  size_t bytes = 0; // as last counted
};

Store& store() {
  static Store s;
  return s;
}

// The entry to use, marked in use; null when the one that fits is in use
// on another thread (or by an earlier layer of the same object).
std::shared_ptr<Entry> take(Store& s, uint32_t slot, const RenderFrameInfo& info) {
  std::lock_guard hold(s.lock);
  auto& entries = s.slots[slot];
  std::shared_ptr<Entry> chosen;
  for (auto& e : entries)
    if (KeptPlacementMatches(e->kept, info)) chosen = e;
  if (!chosen && entries.size() < kPerSlot) chosen = entries.emplace_back(std::make_shared<Entry>());
  if (!chosen)
    for (auto& e : entries)
      if (!e->inUse && (!chosen || e->lastUse < chosen->lastUse)) chosen = e;
  if (!chosen || chosen->inUse) return nullptr;
  chosen->inUse = true;
  chosen->lastUse = ++s.uses;
  return chosen;
}

void release(Store& s, Entry& entry, size_t before) {
  const size_t after = entry.kept.bytes();
  std::lock_guard hold(s.lock);
  entry.inUse = false;
  s.bytes = s.bytes + after - std::min(before, s.bytes);
  if (s.bytes > kMaxBytes) {
    s.slots.clear(); // entries in use live on with their users
    s.bytes = 0;
  }
}

} // namespace

int KeptPlacementComposite(uint32_t slot, const RenderFrameInfo& info) {
  Store& s = store();
  const std::shared_ptr<Entry> entry = take(s, slot, info);
  if (!entry) return CompositeFrame(info);
  const size_t before = entry->kept.bytes();
  const int code = CompositeFrameKept(info, &entry->kept);
  release(s, *entry, before);
  return code;
}

void KeptPlacementsClear() {
  Store& s = store();
  std::lock_guard hold(s.lock);
  s.slots.clear();
  s.bytes = 0;
}

struct DeferredComposites::Item {
  RenderFrameInfo info;
  std::shared_ptr<Entry> entry; // a prepared kept placement, or
  Layer layer;                  // the source of a plain composite
  size_t before = 0;
};

DeferredComposites::DeferredComposites() = default;
DeferredComposites::DeferredComposites(DeferredComposites&&) noexcept = default;

DeferredComposites::~DeferredComposites() { forget(); }

int DeferredComposites::place(uint32_t slot, const RenderFrameInfo& info, const Layer& layer) {
  Store& s = store();
  auto item = std::make_unique<Item>();
  item->info = info;
  item->entry = take(s, slot, info);
  if (item->entry) {
    item->before = item->entry->kept.bytes();
    if (KeptPlacementPrepare(info, &item->entry->kept)) {
      items_.push_back(std::move(item));
      return 0;
    }
    release(s, *item->entry, item->before);
    item->entry.reset();
  }
  Layer copy = layer; // the caller's layer is gone by the time of the blend
  return composite(info, std::move(copy));
}

int DeferredComposites::composite(const RenderFrameInfo& info, Layer&& layer) {
  auto item = std::make_unique<Item>();
  item->info = info;
  item->layer = std::move(layer);
  item->info.Src = item->layer.pixels.data();
  items_.push_back(std::move(item));
  return 0;
}

int DeferredComposites::flush() {
  const int code = blendRows(0, 1 << 30);
  forget();
  return code;
}

int DeferredComposites::blendRows(int top, int bottom) const {
  int first = 0;
  for (const auto& item : items_) {
    int code = 0;
    if (item->entry) {
      code = KeptPlacementPut(item->info, item->entry->kept, top, bottom);
    } else {
      RenderFrameInfo f = item->info;
      // The band as a clip, within the object's own clip if it has one.
      const int clipTop = f.ClipW > 0 ? f.ClipY : 0, clipBottom = f.ClipW > 0 ? f.ClipY + f.ClipH : f.DstHeight;
      if (f.ClipW <= 0) {
        f.ClipX = 0;
        f.ClipW = f.DstWidth;
      }
      f.ClipY = std::max(top, clipTop);
      f.ClipH = std::min(bottom, clipBottom) - f.ClipY;
      if (f.ClipH > 0 && f.ClipW > 0) code = CompositeFrame(f);
    }
    if (code < 0 && first == 0) first = code;
  }
  return first;
}

void DeferredComposites::forget() {
  for (auto& item : items_)
    if (item->entry) release(store(), *item->entry, item->before);
  items_.clear();
}
