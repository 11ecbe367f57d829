#include "render/render_fixture.h"

#include "base/access_lock.h"
#include "base/sync.h"
#include "base/text.h"
#include "model/inputs.h"
#include "model/model.h"
#include "model/timeline.h"
#include "media/bmp_file.h"
#include "media/input_handler.h"
#include "render/compositor/compositor.h"
#include "render/loop/frame_render.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "render/preview/previews_init.h"
#include "support/temp_folder.h"

#include <chrono>
#include <cstdlib>
#include <thread>
#include <cstring>

void RenderTest::SetUp() {
  SyncInit();
  AccessInit();
  ModelInit();
  MediaHandlerInit();
  ASSERT_EQ(RenderWorkersInit(), 0);
  PreviewsInit();
}

void RenderTest::TearDown() {
  PreviewsEnd();
  RenderEnd();
  RenderWorkersEnd();
  {
    WriteAccess access("RenderTest");
    ModelCloseInputs();
    ModelClear();
  }
  MediaHandlerEnd();
  ModelEnd();
  AccessEnd();
}

std::string RenderTest::TempPath(const std::string& name) {
  return TempBase() + "/" + name;
}

uint32_t RenderTest::AddSolidImage(uint32_t rgb, int width, int height) {
  static int serial = 0;
  const std::string path = TempPath("solid" + std::to_string(serial++) + ".bmp");
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = rgb & 0xFF;
    pixels[i + 1] = (rgb >> 8) & 0xFF;
    pixels[i + 2] = (rgb >> 16) & 0xFF;
  }
  EXPECT_EQ(BmpWriteFile(Utf8ToWide(path), pixels.data(), width, height, 24, true), 0);
  const std::u16string path16 = WideToUtf16(Utf8ToWide(path));
  const uint32_t input = InputAdd(path16.c_str());
  EXPECT_NE(input, 255u) << "image input not added";
  return input;
}

uint32_t RenderTest::AddObject(uint32_t type, uint32_t input, float x, float y, float w, float h) {
  const uint32_t object = DispObjAdd(type, input);
  EXPECT_NE(object, kNoDispObj);
  Edit(object, [&](DispStruct& r) {
    r.X = x;
    r.Y = y;
    r.Width = w;
    r.Height = h;
    r.OffsetTime = 0;
    r.Active = 1;
    r.Transparency = 0;
    r.ColorChans = 7;
    r.Mirroring = 0;
    r.KeepRatio = 0;
  });
  return object;
}

uint32_t RenderTest::AddShape(uint8_t shape, uint32_t fill, uint32_t line, uint8_t lineSize,
                              float x, float y, float w, float h) {
  const uint32_t object = AddObject(kDispShape, 255, x, y, w, h);
  EditParam<ShapeStruct>(object, [&](ShapeStruct& s) {
    s.Shape = shape;
    s.FillColor = fill;
    s.LineColor = line;
    s.LineSize = lineSize;
    s.FillColor2 = 0xFF000000;
  });
  return object;
}

uint32_t RenderTest::AddText(const char* text, uint32_t color, float size, float x, float y,
                             float w, float h, uint8_t options) {
  const uint32_t object = AddObject(kDispText, 255, x, y, w, h);
  EditParam<TextStruct>(object, [&](TextStruct& t) {
    std::memset(t.Text, 0, sizeof t.Text);
    for (size_t i = 0; text[i] && i < 255; ++i) t.Text[i] = static_cast<char16_t>(text[i]);
    t.Color = color;
    t.Size = size;
    t.Options = options;
    t.OutlineColor = 0xFF000000;
    t.Style = 0;
  });
  return object;
}

std::vector<uint32_t> RenderTest::RenderAt(float time, int width, int height, uint32_t quality) {
  std::vector<uint32_t> frame(static_cast<size_t>(width) * height, 0);
  TimelineApply(time);
  ReadAccess access("RenderTest");
  FrameTarget target{frame.data(), width, height, true};
  FrameRenderOptions options;
  options.quality = quality;
  EXPECT_EQ(RenderProjectFrame(time, target, options), 0);
  return frame;
}

bool WaitOutputIdle(int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (!OutputHandlerIsBusy()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return !OutputHandlerIsBusy();
}

int ColourDiff(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    int x = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    d = std::max(d, std::abs(x));
  }
  return d;
}

int CountColour(const std::vector<uint32_t>& frame, int width, int height, int x0, int y0, int x1,
                int y1, uint32_t rgb, int tolerance) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (ColourDiff(FramePixel(frame, width, height, x, y), rgb) <= tolerance) ++n;
  return n;
}
