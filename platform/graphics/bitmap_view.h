#pragma once
// Bringing engine bitmaps onto the screen. An image view is an opaque handle
// that the user interface registers with a receiver; the engine hands each
// finished picture over as a copy, on the main thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

using ImageView = void*;

// A picture as views take it: width x height pixels, top row first, bytes
// R, G, B, A (QImage::Format_RGBA8888), rows of width x 4 bytes. With bgrx
// the bytes are B, G, R and one that is not read (QImage::Format_RGB32 on
// this little-endian platform): an opaque picture in the painter's own
// order, shown without a conversion. A picture handed over by ViewPostImage
// is held by a shared pointer: a receiver may keep it (weak_from_this)
// instead of copying its pixels, and its owner then leaves it alone.
struct ViewImage : std::enable_shared_from_this<ViewImage> {
  ViewImage() = default;
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;
  bool bgrx = false;
  uint32_t rgbAt(uint32_t x, uint32_t y) const; // 0xRRGGBB, in either order
};
using ViewReceiver = std::function<void(const ViewImage& image)>;

// Registers (or replaces) the receiver of a view; a null view is refused.
void ViewRegister(ImageView view, ViewReceiver receiver);
void ViewUnregister(ImageView view);
bool ViewIsRegistered(ImageView view);

// Engine bitmap (bottom row first, B, G, R, A) to a top-down R, G, B, A
// image in dest; nothing when a pointer is null or a size is 0.
void BitmapFlipToRGBA(const uint32_t* source, uint32_t* dest, uint32_t width, uint32_t height);
// Copies the R, G, B, A image (top row first) and gives the copy to the
// view's receiver on the main thread; from another thread waits, 1 ms at a
// time, until that is done. Nothing for null pixels, a null or unknown view.
void ViewSetBitmap(const uint32_t* pixels, uint32_t width, uint32_t height, ImageView view);
// The two halves of ViewSetBitmap, for a caller that copies under its own
// lock and hands over after releasing it: the copy (null for null pixels
// or a size of 0), and the hand-over with its wait.
// A copy that only the caller holds any more (reuse) is written over
// instead of a new one being made.
std::shared_ptr<ViewImage> ViewImageCopy(const uint32_t* pixels, uint32_t width, uint32_t height,
                                         std::shared_ptr<ViewImage> reuse = nullptr, bool bgrx = false);
void ViewPostImage(std::shared_ptr<const ViewImage> image, ImageView view);
