#pragma once
// Simple previews: 32 slots, each drawing one display object (or an input
// shown through a temporary object, or a plain bitmap) into one image view,
// on the main thread.
#include "platform/graphics/bitmap_view.h"

#include <cstdint>

constexpr uint32_t kSimplePreviewSlots = 32;

// A temporary object showing the input: a picture or video object, or for a
// data log by display mode 2 a speedometer, 3 a tachometer, 1 a G-force
// plot, else a track map (mode 4 without position marker or edge). The slot
// (0..31), or -1 (-41 bad input, -40 no free slot).
int SimplePreviewCreateForInput(uint32_t input, ImageView view, uint32_t width, uint32_t height,
                                uint32_t keepRatio, uint32_t displayMode);
// The whole object (256 = the temporary object) with its background
// bitmap; the slot, or -1 (-41 bad index, -40 no free slot, -22 no memory).
int SimplePreviewCreateForDispObj(uint32_t object, ImageView view, uint32_t width,
                                  uint32_t height, uint32_t keepRatio);
// A bitmap (width x height 32-bit pixels, bottom row first when bottomUp)
// shown once, scaled to the view; the slot, or -1.
int SimplePreviewCreateForBitmap(ImageView view, uint32_t width, uint32_t height,
                                 const uint32_t* pixels, uint32_t bitmapWidth,
                                 uint32_t bitmapHeight, bool bottomUp);
// Draws the slot's object at the time over a checkerboard and hands a copy
// to the view; with inputTime set the time is the input's own. A failed
// frame is retried 0.1 s earlier. 0, -41 slot past the table, -21 unused.
int SimplePreviewDraw(uint32_t slot, uint32_t inputTime, uint32_t quality, float time);
// Hands the last drawn picture to the view again (takes and gives back the
// write access first).
int SimplePreviewRedraw(uint32_t slot);
// Frees the slot's buffers under the write access.
int SimplePreviewClose(uint32_t slot);
// Closes every slot (engine end).
void SimplePreviewCloseAll();
