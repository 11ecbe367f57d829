#pragma once
// The placements of each object's drawn layers, kept from frame to frame so
// that only what changed in a layer is sampled again (CompositeFrameKept),
// and the deferral that lets several objects draw at once.
#include "render/compositor/compositor.h"
#include "render/draw/layer.h"

#include <cstdint>
#include <memory>
#include <vector>

// Composites info through the placement kept for the object's slot: the one
// placed the same way last time, else the least recently used of the slot's
// few. A placement in use on another thread is left alone (plain composite).
int KeptPlacementComposite(uint32_t slot, const RenderFrameInfo& info);
// Frees them all (a new frame size, the end of a render).
void KeptPlacementsClear();

// One object's composites, recorded while it draws (on any thread) and
// blended into the frame later, in order, on the thread that owns the frame.
class DeferredComposites {
public:
  DeferredComposites();
  ~DeferredComposites();
  DeferredComposites(const DeferredComposites&) = delete;
  DeferredComposites& operator=(const DeferredComposites&) = delete;
  DeferredComposites(DeferredComposites&&) noexcept;

  // A layer placed through the slot's kept placement, prepared now.
  int place(uint32_t slot, const RenderFrameInfo& info, const Layer& layer);
  // A plain composite of a layer the record keeps.
  int composite(const RenderFrameInfo& info, Layer&& layer);
  // Blends what was recorded, in order, and forgets it; the first error.
  int flush();
  // Blends the part of what was recorded that lies in the frame's rows
  // [top, bottom) (y downwards), in order. Bands of different rows may be
  // blended at once, on different threads, if they share no 16-row tile
  // row of the dirty map. forget() when all are done.
  int blendRows(int top, int bottom) const;
  void forget();

private:
  struct Item;
  std::vector<std::unique_ptr<Item>> items_;
};
