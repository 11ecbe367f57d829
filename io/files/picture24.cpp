#include "io/files/picture24.h"

#include "model/dispobj_table.h"
#include "render/loop/frame_render.h"

namespace {

constexpr uint32_t kBackground = 0xFF404040;
constexpr uint8_t kNeutralGrey = 0x40;

} // namespace

std::vector<uint8_t> Picture24Render(uint32_t object, uint32_t width, uint32_t height) {
  std::vector<uint8_t> picture(static_cast<size_t>(width) * height * 3, kNeutralGrey);
  std::vector<uint32_t> frame(static_cast<size_t>(width) * height, kBackground);
  FrameTarget target;
  target.pixels = frame.data();
  target.width = static_cast<int>(width);
  target.height = static_cast<int>(height);
  target.bottomUp = false;
  FrameRenderOptions options;
  options.background = kBackground;
  const int code = object == kNoDispObj
                       ? RenderProjectFrame(DispTableTime(), target, options)
                       : RenderObjectAlone(object, DispTableTime(), target, options);
  if (code < 0) return picture;
  // Premultiplied over an opaque background: every pixel ends opaque, so
  // the colour bytes are the picture.
  for (size_t i = 0; i < frame.size(); ++i) {
    picture[i * 3] = static_cast<uint8_t>(frame[i]);
    picture[i * 3 + 1] = static_cast<uint8_t>(frame[i] >> 8);
    picture[i * 3 + 2] = static_cast<uint8_t>(frame[i] >> 16);
  }
  return picture;
}

std::vector<uint32_t> Picture24ToPixels(const std::vector<uint8_t>& picture) {
  std::vector<uint32_t> pixels(picture.size() / 3);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = 0xFF000000u | static_cast<uint32_t>(picture[i * 3 + 2]) << 16 |
                static_cast<uint32_t>(picture[i * 3 + 1]) << 8 | picture[i * 3];
  return pixels;
}
