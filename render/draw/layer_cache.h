#pragma once
// Drawings that change only with their record (a gauge's dial, a track
// map's course): kept per object slot and drawing kind, reused while the
// key (the bytes everything drawn depends on) stays the same.
#include "render/draw/layer.h"

#include <cstdint>
#include <string>

// Appends the bytes of a value to a key.
template <typename T> void LayerKeyAdd(std::string* key, const T& value) {
  key->append(reinterpret_cast<const char*>(&value), sizeof value);
}
// Copies the kept drawing into out when its key matches; false otherwise.
bool LayerCacheGet(uint32_t slot, int kind, const std::string& key, Layer* out);
void LayerCachePut(uint32_t slot, int kind, const std::string& key, const Layer& layer);
void LayerCacheClear();
