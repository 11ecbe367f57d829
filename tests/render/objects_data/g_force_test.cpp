// G-force plots over the circuit log: presets, trail and shadow, and an
// unused axis keeping the marker on the other one.
#include "render/objects_data/data_obj_fixture.h"
#include "render/objects_data/field_util.h"

#include "render/draw/layer_cache.h"
#include "render/objects/kept_placements.h"

namespace {

constexpr float kTime = 20.0f;

class GForceTest : public DataObjTest {};

TEST_F(GForceTest, PresetAndStyles) {
  AddBackdrop();
  AddData(kDispGForce, 2, 5, 30, 90);
  const uint32_t trail = AddData(kDispGForce, 35, 5, 30, 90);
  EditParam<GForceParam>(trail, [](GForceParam& p) {
    p.Options = 0x10 | 0x20 | 0x40 | 0x04; // trail, circles, ball, X flipped
    p.ShadowColor = 0x00101010;
    p.BackColor = 0x00303030;
    p.RangeX = p.RangeY = 1;
    p.LineColor = 0x00FFD000;
  });
  const uint32_t swapped = AddData(kDispGForce, 68, 5, 30, 90);
  EditParam<GForceParam>(swapped, [](GForceParam& p) {
    p.Options = 0x02 | 0x08; // swapped, Y flipped, a line from the centre
    p.BackColor = 0x00F0F0F0;
    p.AxisColor = 0x00404040;
    p.RangeX = p.RangeY = 1;
  });
  ExpectGolden("gforce", Frame(kTime));
}

TEST_F(GForceTest, UnusedAxisKeepsTheBallOnTheOther) {
  AddBackdrop();
  const uint32_t g = AddData(kDispGForce, 0, 0, 56.25f, 100); // 270 x 270
  EditParam<GForceParam>(g, [](GForceParam& p) {
    SetField16(p.FieldY, u"(None)");
    p.Options = 0x40;
    p.AxisColor = 0xFF000000;
    p.LineColor = 0x00FF00FF;
    p.LineSize = 20;
    p.RangeX = 0.5f;
  });
  const auto frame = Frame(kTime);
  // The ball's centre row is the plot's centre row, and it sits off centre
  // horizontally (the turn pulls sideways).
  int onRow = CountColour(frame, 480, 270, 0, 133, 270, 137, 0xFF00FF, 30);
  int above = CountColour(frame, 480, 270, 0, 100, 270, 110, 0xFF00FF, 30);
  EXPECT_GT(onRow, 20);
  EXPECT_EQ(above, 0);
  EXPECT_EQ(CountColour(frame, 480, 270, 130, 130, 140, 140, 0xFF00FF, 30), 0);
}

// The plot is drawn once and kept: frames drawn over the kept plot are
// those drawn afresh, and a changed record draws it again.
TEST_F(GForceTest, KeptPlotDrawsAsDrawnAfresh) {
  AddBackdrop();
  const uint32_t g = AddData(kDispGForce, 35, 5, 30, 90);
  EditParam<GForceParam>(g, [](GForceParam& p) {
    p.Options = 0x10 | 0x20 | 0x40; // trail, circles, ball
    p.ShadowColor = 0x00101010;
    p.BackColor = 0x00303030;
    p.RangeX = p.RangeY = 1;
  });
  auto afresh = [this](float time) {
    LayerCacheClear();
    KeptPlacementsClear();
    return Frame(time);
  };
  Frame(kTime - 2);
  const auto kept = Frame(kTime);
  EXPECT_EQ(kept, afresh(kTime));
  Frame(kTime - 2);
  EditParam<GForceParam>(g, [](GForceParam& p) { p.BackColor = 0x00A02020; });
  const auto changed = Frame(kTime);
  EXPECT_NE(changed, kept);
  EXPECT_EQ(changed, afresh(kTime));
}

} // namespace
