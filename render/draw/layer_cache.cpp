#include "render/draw/layer_cache.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

struct Entry {
  std::string key;
  Layer layer;
};

struct Store {
  std::mutex lock;
  std::map<std::pair<uint32_t, int>, Entry> entries;
};

Store& store() {
  static Store s;
  return s;
}

} // namespace

bool LayerCacheGet(uint32_t slot, int kind, const std::string& key, Layer* out) {
  Store& s = store();
  std::lock_guard<std::mutex> hold(s.lock);
  auto found = s.entries.find({slot, kind});
  if (found == s.entries.end() || found->second.key != key) return false;
  *out = found->second.layer;
  return true;
}

void LayerCachePut(uint32_t slot, int kind, const std::string& key, const Layer& layer) {
  Store& s = store();
  std::lock_guard<std::mutex> hold(s.lock);
  Entry& e = s.entries[{slot, kind}];
  e.key = key;
  e.layer = layer;
}

void LayerCacheClear() {
  Store& s = store();
  std::lock_guard<std::mutex> hold(s.lock);
  s.entries.clear();
}
