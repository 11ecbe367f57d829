// One of each data object over a picture, as a 1920 x 1080 output frame
// (written beside the test program for a look) and as a smaller golden.
#include "render/objects_data/data_obj_fixture.h"
#include "render/objects_data/field_util.h"

#include "base/text.h"
#include "model/inputs.h"
#include "media/bmp_file.h"
#include "render/compositor/compositor.h"
#include "render/draw/layer_cache.h"
#include "render/objects/kept_placements.h"

#include <algorithm>
#include <unistd.h>

namespace {

struct Box {
  uint32_t type;
  float x, y, w, h;
};

// The dozen objects of an overlay: three gauges, two bars, a time graph,
// G-force, track map, lap counter, lap timer, gear and a speed text.
const Box kBoxes[] = {
    {kDispSpeedo, 1, 56, 21, 40},   {kDispTacho, 78, 56, 21, 40},     {kDispGauge, 23, 66, 12.5f, 24},
    {kDispBar, 36, 58, 5, 38},      {kDispBar, 43, 86, 24, 10},       {kDispTimeGraph, 43, 60, 24, 24},
    {kDispGForce, 68, 62, 9.5f, 18}, {kDispTrackMap, 78, 2, 21, 38},  {kDispLapCount, 1, 2, 25, 8},
    {kDispLapTimer, 1, 10, 25, 8},  {kDispGear, 45, 2, 10, 15},       {kDispTextData, 28, 3, 15, 8},
};

class FullFrameTest : public DataObjTest {
protected:
  // A road-like picture: sky, horizon and tarmac.
  void AddPicture() {
    const int w = 320, h = 180;
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 3];
        const bool road = y > h / 2 && std::abs(x - w / 2) < (y - h / 2) * 2 + 6;
        const int r = y < h / 2 ? 90 + y : road ? 70 : 60 + (x * 7 % 13);
        const int g = y < h / 2 ? 140 + y / 2 : road ? 72 : 110;
        const int b = y < h / 2 ? 220 - y / 3 : road ? 76 : 50;
        p[0] = static_cast<uint8_t>(b), p[1] = static_cast<uint8_t>(g), p[2] = static_cast<uint8_t>(std::min(r, 255));
      }
    const std::string path = TempPath("qv_road_" + std::to_string(getpid()) + ".bmp");
    ASSERT_EQ(BmpWriteFile(Utf8ToWide(path), px.data(), w, h, 24, true), 0);
    const std::u16string path16 = WideToUtf16(Utf8ToWide(path));
    const uint32_t image = InputAdd(path16.c_str());
    ASSERT_NE(image, 255u);
    AddObject(kDispVideo, image, 0, 0, 100, 100);
  }
  void AddOverlay() {
    AddPicture();
    for (const Box& b : kBoxes) AddData(b.type, b.x, b.y, b.w, b.h);
    // The generic gauge, the bars, the time graph and the text read named
    // channels; the rest find theirs.
    EditParam<GaugeParam>(3, [](GaugeParam& p) {
      SetField16(p.Field, u"Speed (km/h)");
      SetField16(p.Label, u"km/h");
      p.Options = 64 | 128;
      p.Min = 0;
      p.Max = 250;
      p.MarkInterval = 50;
      p.MarkNumberType = 1 | 4 | 32;
    });
    EditParam<BarParam>(4, [](BarParam& p) { SetField16(p.Field, u"RPM"); SetField16(p.Label, u"RPM"); });
    EditParam<BarParam>(5, [](BarParam& p) {
      SetField16(p.Field, u"Speed (km/h)");
      p.Options = 0x40 | 0x20 | 0x80;
      p.Min = 0;
      p.Max = 250;
      p.LabelColor = 0xFF000000;
    });
    EditParam<TimeGraphParam>(6, [](TimeGraphParam& p) {
      SetField16(p.Field, u"Speed (km/h)");
      SetField16(p.Label, u"Speed");
    });
    EditParam<TextStruct>(12, [](TextStruct& t) {
      SetField16(t.Field, u"Speed (km/h)");
      SetField16(t.Text, u" km/h", 256);
      t.DataMode = 2;
      t.Style = 1;
      t.OutlineColor = 0;
    });
  }
  float Time() const { return static_cast<float>(circuit.lapStart(3) + 3); }
};

TEST_F(FullFrameTest, OneOfEachAt1080p) {
  AddOverlay();
  const int w = 1920, h = 1080;
  const auto frame = Frame(Time(), w, h);
  ASSERT_TRUE(WriteFramePng(frame, w, h, ScreenshotDir() + "/data_objects_1080p.png"));
  // Every object's box holds something other than the picture underneath.
  auto picture = Frame(Time(), w, h);
  for (uint32_t i = 1; i <= 12; ++i) Edit(i, [](DispStruct& r) { r.Active = 0; });
  picture = Frame(Time(), w, h);
  for (const Box& b : kBoxes) {
    const int x0 = static_cast<int>(b.x * w / 100), y0 = static_cast<int>(b.y * h / 100);
    const int x1 = static_cast<int>((b.x + b.w) * w / 100), y1 = static_cast<int>((b.y + b.h) * h / 100);
    int differing = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (ColourDiff(FramePixel(frame, w, h, x, y), FramePixel(picture, w, h, x, y)) > 30) ++differing;
    EXPECT_GT(differing, 200) << "type " << b.type;
  }
}

// The objects draw side by side on the workers and only what changed in
// each is sampled again from frame to frame; one after another on this
// thread, each sampled whole every frame, they give the same bits. A
// second picture and a half-transparent shape between them make layers
// overlap and split the list where the pictures draw in their turn.
TEST_F(FullFrameTest, DrawnTogetherTheyGiveTheBitsOfOneAfterAnother) {
  AddOverlay();
  AddObject(kDispVideo, AddSolidImage(0x3050A0, 40, 30), 15, 50, 30, 30);
  const uint32_t veil = AddShape(4, 0x20C040, 0xFF000000, 0, 10, 40, 80, 30);
  Edit(veil, [](DispStruct& r) { r.Transparency = 50; });
  const int w = 640, h = 360;
  std::vector<std::vector<uint32_t>> alone;
  RenderWorkersEnd();
  for (int n = 0; n < 6; ++n) {
    KeptPlacementsClear();
    alone.push_back(Frame(Time() + n / 30.0f, w, h));
  }
  ASSERT_EQ(RenderWorkersInit(), 0);
  KeptPlacementsClear();
  for (int n = 0; n < 6; ++n) ASSERT_EQ(Frame(Time() + n / 30.0f, w, h), alone[n]) << "frame " << n;
  EXPECT_NE(alone[0], alone[5]); // the data moved
}

// Dials, plots and courses are drawn once and kept; what moves over them
// is drawn every frame. A frame is the same whether it is the first drawn
// after the objects were made (a template applied, a render started) or
// follows others, at the same time or elsewhere (a seek and back).
TEST_F(FullFrameTest, AFrameIsTheSameWhateverWasDrawnBefore) {
  AddOverlay();
  // Every marker the map draws: an arrow with its outline, the ring it
  // sends out and the ghost of the best lap.
  EditParam<TrackMapParam>(8, [](TrackMapParam& p) {
    p.Options = kMapHighRes | kMapAnimatePos;
    p.PosIcon = 3;
    p.PosSize = 40;
    p.GhostColor = 0x00FFB000;
  });
  const uint32_t dot = AddData(kDispTrackMap, 56, 2, 21, 38);
  EditParam<TrackMapParam>(dot, [](TrackMapParam& p) { p.Options = kMapHighRes | kMapAnimatePos; });
  EditParam<GForceParam>(7, [](GForceParam& p) { p.Options |= kGForceFade; });
  const int w = 960, h = 540;
  const auto differing = [](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
  };
  const float times[] = {Time(), Time() + 0.4f, Time() + 7.7f};
  for (float t : times) {
    LayerCacheClear();
    const std::vector<uint32_t> first = Frame(t, w, h);
    EXPECT_EQ(differing(Frame(t, w, h), first), 0) << "drawn again at " << t;
    Frame(t + 2.5f, w, h);
    EXPECT_EQ(differing(Frame(t, w, h), first), 0) << "back at " << t << " from later";
  }
}

TEST_F(FullFrameTest, GoldenAtQuarterSize) {
  AddOverlay();
  ExpectGolden("data_objects_overlay", Frame(Time(), 960, 540), 960, 540);
}

} // namespace
