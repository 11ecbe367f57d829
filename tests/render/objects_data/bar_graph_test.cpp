// Bar graphs over the circuit log: presets, orientation, line mode, and
// the fill reaching the value's share of the track.
#include "render/objects_data/data_obj_fixture.h"
#include "render/objects_data/field_util.h"

#include "media/datalog/datalog_queries.h"

#include <cmath>

namespace {

constexpr float kTime = 20.0f;

class BarGraphTest : public DataObjTest {};

TEST_F(BarGraphTest, PresetsAndOptions) {
  AddBackdrop();
  const uint32_t plain = AddData(kDispBar, 2, 4, 12, 92);
  EditParam<BarParam>(plain, [](BarParam& p) {
    SetField16(p.Field, u"Speed (km/h)");
    SetField16(p.Label, u"km/h");
  });
  const uint32_t flipped = AddData(kDispBar, 16, 4, 12, 92);
  EditParam<BarParam>(flipped, [](BarParam& p) {
    SetField16(p.Field, u"RPM");
    SetField16(p.Label, u"RPM");
    p.Options = 0x01 | 0x04 | 0x10 | 0x20 | 0x80; // flipped line, two decimals
    p.FillColor = 0x00C02020;
    p.TrimSize = 4;
  });
  const uint32_t across = AddData(kDispBar, 32, 10, 64, 30);
  EditParam<BarParam>(across, [](BarParam& p) {
    SetField16(p.Field, u"Speed (km/h)");
    SetField16(p.Label, u"SPD");
    p.Min = 0;
    p.Max = 200;
    p.Options = 0x40 | 0x80; // horizontal, square background
    p.FillColor2 = 0xFF000000 | 0x00406080;
    p.MarkColor = 0x00303030;
    p.MarkInterval = 25;
    p.MarkSize = 8;
    p.Thickness = 40;
  });
  const uint32_t warn = AddData(kDispBar, 32, 55, 64, 30);
  EditParam<BarParam>(warn, [](BarParam& p) {
    SetField16(p.Field, u"RPM");
    p.Min = 0;
    p.Max = 9000;
    p.Options = 0x40; // horizontal at base resolution
    p.ChangeColor = 0x00E00000;
    p.ChangeColorValue = 6000;
    p.ChangeColorOptions = 1;
    p.BackColor = 0xFF000000;
    p.LabelColor = 0xFF000000;
  });
  ExpectGolden("bar_graph", Frame(kTime));
}

TEST_F(BarGraphTest, FillReachesTheValuesShare) {
  AddBackdrop();
  const uint32_t bar = AddData(kDispBar, 40, 5, 20, 90);
  EditParam<BarParam>(bar, [](BarParam& p) {
    SetField16(p.Field, u"Speed (km/h)");
    p.Min = 0;
    p.Max = 200;
    p.LabelColor = p.NumberColor = p.TrimColor = 0xFF000000;
    p.FillColor = p.FillColor2 = 0x0000FF00;
    p.Options = 0x80;
  });
  const int field = InputHandlerGetDataFieldIndex(input, u"Speed (km/h)");
  ASSERT_GE(field, 0);
  const double speed = InputHandlerGetDataFieldValue(input, 0, static_cast<uint32_t>(field), kTime);
  const auto frame = Frame(kTime);
  // Track: box 13.5..256.5 less 4 + 3 units of padding (at 2 units per
  // base unit of the double-resolution record) top and bottom.
  const double pad = 7 * 0.5625 / 2, top = 13.5 + pad, bottom = 256.5 - pad;
  const double level = bottom - (bottom - top) * speed / 200;
  EXPECT_LE(ColourDiff(FramePixel(frame, 480, 270, 240, static_cast<int>(level) + 3), 0x00FF00), 30);
  EXPECT_GT(ColourDiff(FramePixel(frame, 480, 270, 240, static_cast<int>(level) - 3), 0x00FF00), 100);
}

} // namespace
