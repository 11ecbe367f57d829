// Time graphs over the circuit log: the sliding span, the fixed
// presentations with their value marker, vertical and flipped plots, axis.
#include "render/objects_data/data_obj_fixture.h"
#include "render/objects_data/field_util.h"

namespace {

constexpr float kTime = 40.0f;

class TimeGraphTest : public DataObjTest {};

TEST_F(TimeGraphTest, SpanAndFixedPresentations) {
  AddBackdrop();
  const uint32_t span = AddData(kDispTimeGraph, 2, 3, 47, 45);
  EditParam<TimeGraphParam>(span, [](TimeGraphParam& p) {
    SetField16(p.Field, u"Speed (km/h)");
    SetField16(p.Label, u"Speed");
    p.TimeSpan = 20;
    p.AxisColor = 0x0080A0C0;
    p.AxisInterval = 20;
  });
  const uint32_t fixed = AddData(kDispTimeGraph, 51, 3, 47, 45);
  EditParam<TimeGraphParam>(fixed, [](TimeGraphParam& p) {
    SetField16(p.Field, u"RPM");
    SetField16(p.Label, u"RPM lap 2");
    p.Options = 0x80 | 0x06; // fixed, line and dot
    p.StartTime = 36;
    p.EndTime = 63.5f;
  });
  const uint32_t vertical = AddData(kDispTimeGraph, 2, 52, 20, 45);
  EditParam<TimeGraphParam>(vertical, [](TimeGraphParam& p) {
    SetField16(p.Field, u"Speed (km/h)");
    p.Options = 0x80 | 0x40 | 0x01;
    p.Label[0] = 0;
  });
  const uint32_t whole = AddData(kDispTimeGraph, 25, 52, 73, 45);
  EditParam<TimeGraphParam>(whole, [](TimeGraphParam& p) {
    SetField16(p.Field, u"Gear");
    SetField16(p.Label, u"Gear");
    p.Options = 0x02; // fixed line over the whole log, base resolution
    p.Min = 0;
    p.Max = 7;
    p.LineColor = 0x00006000;
    p.Thickness = 100;
  });
  ExpectGolden("time_graph", Frame(kTime));
}

TEST_F(TimeGraphTest, Preset) {
  AddBackdrop();
  const uint32_t g = AddData(kDispTimeGraph, 5, 70, 40, 25); // the new object's box
  EditParam<TimeGraphParam>(g, [](TimeGraphParam& p) {
    SetField16(p.Field, u"Speed (km/h)");
    SetField16(p.Label, u"Speed");
  });
  ExpectGolden("time_graph_preset", Frame(kTime));
}

TEST_F(TimeGraphTest, NewestValueAtTheRightEdgeFlippedAtTheLeft) {
  AddBackdrop();
  const uint32_t g = AddData(kDispTimeGraph, 0, 0, 100, 100);
  EditParam<TimeGraphParam>(g, [](TimeGraphParam& p) {
    SetField16(p.Field, u"Gear");
    p.Label[0] = 0;
    p.Min = 0;
    p.Max = 10;
    p.TrimColor = 0xFF000000;
    p.BackColor = 0x00FFFFFF;
    p.LineColor = 0x00FF0000;
    p.LineSize = 12;
    p.Thickness = 100;
  });
  auto redIn = [&](const std::vector<uint32_t>& f, int x0, int x1) {
    return CountColour(f, 480, 270, x0, 0, x1, 270, 0xFF0000, 40);
  };
  const auto plain = Frame(kTime);
  EXPECT_GT(redIn(plain, 440, 475), 20);
  EditParam<TimeGraphParam>(g, [](TimeGraphParam& p) { p.Options |= 1; });
  const auto flipped = Frame(kTime);
  EXPECT_GT(redIn(flipped, 5, 40), 20);
}

} // namespace
