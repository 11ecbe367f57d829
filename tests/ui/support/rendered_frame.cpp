#include "ui/support/rendered_frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/access_lock.h"
#include "render/loop/frame_render.h"

QImage RenderedFrame(float time, int width, int height) {
  std::vector<uint32_t> frame(static_cast<size_t>(width) * height, 0);
  {
    ReadAccess access("RenderedFrame");
    EXPECT_EQ(RenderProjectFrame(time, FrameTarget{frame.data(), width, height, true}, FrameRenderOptions{}), 0);
  }
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  // Engine frames are bottom-up: their last row is the screen's top one.
  for (int row = 0; row < height; ++row)
    std::memcpy(image.scanLine(height - 1 - row), frame.data() + static_cast<size_t>(row) * width,
                static_cast<size_t>(width) * 4);
  return image;
}

QRect PixelsWhere(const QImage& image, const std::function<bool(QColor)>& test) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (test(image.pixelColor(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}

QRect DrawnBox(const QImage& image) {
  const QColor corner = image.pixelColor(0, 0);
  return PixelsWhere(image, [corner](QColor c) { return c != corner; });
}
