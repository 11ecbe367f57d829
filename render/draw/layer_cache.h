#pragma once
// Drawings that change only with their record (a gauge's dial, a track
// map's course): kept per object slot and drawing kind, reused while the
// key (the bytes everything drawn depends on) stays the same.
#include "render/draw/canvas.h"
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

// The kept drawing for the key, else a new width x height layer drawn by
// draw(cairo_t*) and kept; false when no canvas could be made for it.
template <typename Draw>
bool LayerCacheDraw(uint32_t slot, int kind, const std::string& key, int width, int height, Layer* layer,
                    Draw draw) {
  if (LayerCacheGet(slot, kind, key, layer)) return true;
  layer->resize(width, height);
  {
    Canvas canvas(*layer);
    if (!canvas.ok()) return false;
    draw(canvas.cr());
  }
  LayerCachePut(slot, kind, key, *layer);
  return true;
}

// For a layer whose lasting part is kept and whose moving part is drawn
// over it every frame, on the same context: unless `kept` (the lasting part
// was copied from the store), draw(cr) draws it, and with `keep` it is
// kept. The context comes back as it went in, so the moving part looks the
// same whether the lasting part was drawn now or copied.
template <typename Draw>
void LayerCacheDrawUnder(cairo_t* cr, bool kept, bool keep, uint32_t slot, int kind, const std::string& key,
                         const Layer& layer, Draw draw) {
  if (kept) return;
  cairo_save(cr);
  draw(cr);
  cairo_restore(cr);
  if (!keep) return;
  cairo_surface_flush(cairo_get_target(cr));
  LayerCachePut(slot, kind, key, layer);
}
