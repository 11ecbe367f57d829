#include "io/files/style_preview.h"

#include <mutex>

#include "base/error.h"
#include "io/files/picture24.h"
#include "io/files/style.h"
#include "io/files/style_format.h"
#include "render/preview/simple_preview.h"

namespace {

std::mutex g_mutex;
std::vector<uint8_t> g_picture;

} // namespace

void StylePreviewStore(const std::vector<uint8_t>& picture) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_picture = picture;
}

std::vector<uint8_t> DispObjStylePreviewGetPicture() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_picture;
}

int DispObjStylePreviewDraw(ImageView view, uint32_t width, uint32_t height) {
  std::vector<uint32_t> pixels;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_picture.empty()) {
      ErrorSet(-1, "DispObjStylePreviewDraw");
      return -1;
    }
    pixels = Picture24ToPixels(g_picture);
  }
  const int slot = SimplePreviewCreateForBitmap(view, width, height, pixels.data(), kStylePreviewSide,
                                                kStylePreviewSide, false);
  ErrorSet(slot < 0 ? ErrorGetLast() : 0, "DispObjStylePreviewDraw");
  return slot;
}
