#include "platform/graphics/bitmap_view.h"

#include "base/main_thread.h"
#include "base/sync.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <future>

namespace {

std::mutex g_viewMutex;
std::map<ImageView, ViewReceiver>& views() {
  static std::map<ImageView, ViewReceiver> table;
  return table;
}

ViewReceiver receiverOf(ImageView view) {
  std::lock_guard lock(g_viewMutex);
  auto it = views().find(view);
  return it == views().end() ? ViewReceiver{} : it->second;
}

} // namespace

void ViewRegister(ImageView view, ViewReceiver receiver) {
  if (!view) return;
  std::lock_guard lock(g_viewMutex);
  views()[view] = std::move(receiver);
}

void ViewUnregister(ImageView view) {
  std::lock_guard lock(g_viewMutex);
  views().erase(view);
}

bool ViewIsRegistered(ImageView view) {
  std::lock_guard lock(g_viewMutex);
  return views().count(view) != 0;
}

void BitmapFlipToRGBA(const uint32_t* source, uint32_t* dest, uint32_t width, uint32_t height) {
  if (!source || !dest || width == 0 || height == 0) return;
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t* in = source + static_cast<size_t>(y) * width;
    uint32_t* out = dest + static_cast<size_t>(height - 1 - y) * width;
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t p = in[x]; // memory B, G, R, A -> R, G, B, A: swap bytes 0 and 2
      out[x] = (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
    }
  }
}

uint32_t ViewImage::rgbAt(uint32_t x, uint32_t y) const {
  const uint8_t* p = rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
  return bgrx ? uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0] : uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

std::shared_ptr<ViewImage> ViewImageCopy(const uint32_t* pixels, uint32_t width, uint32_t height,
                                         std::shared_ptr<ViewImage> reuse, bool bgrx) {
  if (!pixels || width == 0 || height == 0) return nullptr;
  // Reused, a picture's pages are not faulted in and zeroed again each time.
  std::shared_ptr<ViewImage> image = reuse && reuse.use_count() == 1 ? std::move(reuse) : std::make_shared<ViewImage>();
  image->width = width;
  image->height = height;
  image->bgrx = bgrx;
  image->rgba.resize(static_cast<size_t>(width) * height * 4);
  std::memcpy(image->rgba.data(), pixels, image->rgba.size());
  return image;
}

void ViewPostImage(std::shared_ptr<const ViewImage> image, ImageView view) {
  if (!image || !view || !ViewIsRegistered(view)) return;
  if (IsMainThread()) {
    if (ViewReceiver receiver = receiverOf(view)) receiver(*image);
    return;
  }
  auto shown = std::make_shared<std::promise<void>>();
  std::future<void> done = shown->get_future();
  MainThreadPost([view, image, shown] {
    if (ViewReceiver receiver = receiverOf(view)) receiver(*image);
    shown->set_value();
  });
  // Woken as soon as the picture is taken; a redraw thread that is being
  // shut down stops waiting, so a main thread that waits for it without
  // running its queue cannot deadlock.
  while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready && !SyncThreadShouldStop()) {
  }
}

void ViewSetBitmap(const uint32_t* pixels, uint32_t width, uint32_t height, ImageView view) {
  if (!pixels || !view || width == 0 || height == 0) return;
  if (!ViewIsRegistered(view)) return;
  // The copy is what the view keeps, so the caller may redraw its buffer
  // as soon as this returns.
  ViewPostImage(ViewImageCopy(pixels, width, height), view);
}
