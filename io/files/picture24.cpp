#include "io/files/picture24.h"

#include "model/dispobj_table.h"
#include "render/compositor/compositor.h"
#include "render/loop/frame_render.h"
#include "render/loop/render.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kBackground = 0xFF404040;
constexpr uint8_t kNeutralGrey = 0x40;
constexpr int kFrameLines = 1080; // the frame an object is drawn in first
constexpr int kMaxFrameSide = 4096;

// One object as a frame shows it: drawn at its place in a frame of the
// render set-up's shape (the 720 x 480 grid without one), and what it drew,
// whole and with its shape kept, fitted into the picture. Its box alone
// would not do: a text that sizes itself spills out of its box, and a box
// of another shape than the picture squeezes what it holds.
int drawFitted(uint32_t object, const FrameTarget& picture) {
  const double frameW = RenderGetWidth() ? RenderGetWidth() : 720.0;
  const double frameH = RenderGetHeight() ? RenderGetHeight() : 480.0;
  const int w = std::clamp(static_cast<int>(std::lround(kFrameLines * frameW / frameH)), 1, kMaxFrameSide);
  const int h = kFrameLines;
  std::vector<uint32_t> frame(static_cast<size_t>(w) * h);
  FrameRenderOptions options;
  options.background = 0; // transparent: what is not transparent was drawn
  const int code = RenderObjectInFrame(object, DispTableTime(), FrameTarget{frame.data(), w, h, false}, options);
  if (code < 0) return code;
  int left = w, top = h, right = -1, bottom = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (frame[static_cast<size_t>(y) * w + x] >> 24) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = y;
      }
  if (right < 0) return 0; // nothing drawn: the background stays
  const int inkW = right - left + 1, inkH = bottom - top + 1;
  const double margin = std::max(2, std::min(picture.width, picture.height) / 30);
  const double scale = std::min((picture.width - 2 * margin) / inkW, (picture.height - 2 * margin) / inkH);
  RenderFrameInfo f;
  f.Src = frame.data();
  f.SrcWidth = w;
  f.SrcHeight = h;
  f.SrcX = left;
  f.SrcY = top;
  f.SrcW = inkW;
  f.SrcH = inkH;
  f.Dst = picture.pixels;
  f.DstWidth = picture.width;
  f.DstHeight = picture.height;
  f.DstW = inkW * scale;
  f.DstH = inkH * scale;
  f.DstX = (picture.width - f.DstW) / 2;
  f.DstY = (picture.height - f.DstH) / 2;
  return CompositeFrameSingle(f);
}

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
                       : drawFitted(object, target);
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
