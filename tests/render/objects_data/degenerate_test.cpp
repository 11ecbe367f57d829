// Records from old or hand-edited files: zero intervals and spans, equal
// scale ends, counts and sizes of 255, values that are not numbers. Every
// object still draws something and returns.
#include "render/objects_data/data_obj_fixture.h"
#include "render/objects_data/field_util.h"

#include <cmath>
#include <limits>

namespace {

constexpr float kTime = 30.0f;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

class DegenerateTest : public DataObjTest {
protected:
  // The frame with only the given object drawn over the backdrop must
  // differ from the bare backdrop.
  void ExpectDrawn(uint32_t object, const char* what) {
    const auto frame = Frame(kTime);
    EXPECT_GT(Drawn(frame), 50) << what;
    Edit(object, [](DispStruct& r) { r.Active = 0; });
  }
};

TEST_F(DegenerateTest, Gauges) {
  AddBackdrop();
  const uint32_t g = AddData(kDispSpeedo, 30, 5, 40, 90);
  EditParam<GaugeParam>(g, [](GaugeParam& p) {
    p.MarkInterval = 0;
    p.MarkSmallInterval = 0;
    p.Min = p.Max = 50;
    p.MarkCount = p.MarkSmallCount = 255;
  });
  ExpectDrawn(g, "zero intervals, equal ends, counts of 255");
  const uint32_t h = AddData(kDispGauge, 30, 5, 40, 90);
  EditParam<GaugeParam>(h, [](GaugeParam& p) {
    p.SweepDeg = 0;
    p.StartDeg = 359;
    p.Min = 1e17;
    p.Max = 1e17 + 64;
    p.MarkType = 0x80 | 7 | (1 << 3);
    p.MarkInterval = 1;
    p.MarkSmallInterval = 1e-300;
    p.MarkNumberType = 0xFF;
    p.StepMidValue = 1e17;
    p.StepMidAngle = 999;
    p.TrimSize = p.NeedleSize = p.NeedleTipLen = p.NeedleCenterSize = 255;
    p.MarkSize = p.MarkSmallSize = p.MarkPinSize = 255;
    p.NeedleTailLen = 127;
    p.IntervalSize = std::numeric_limits<float>::quiet_NaN();
    p.LabelSize = std::numeric_limits<float>::infinity();
  });
  ExpectDrawn(h, "zero sweep, huge values, sizes of 255");
  const uint32_t d = AddData(kDispTacho, 30, 5, 40, 90);
  EditParam<GaugeParam>(d, [](GaugeParam& p) {
    p.Options = 32 | 64 | 2;
    p.DualInterval = 0;
    p.MarkInterval = 0;
    p.Min = kNaN;
    p.Max = -kNaN;
    p.ChangeColorValue = kNaN;
    p.ChangeColorOptions = 0xFF;
  });
  ExpectDrawn(d, "dual without any span, NaN ends");
}

TEST_F(DegenerateTest, BarsAndTimeGraphs) {
  AddBackdrop();
  const uint32_t b = AddData(kDispBar, 30, 5, 40, 90);
  EditParam<BarParam>(b, [](BarParam& p) {
    SetField16(p.Field, u"Speed (km/h)");
    p.Min = p.Max = 3;
    p.Thickness = 0;
    p.TrimSize = 255;
    p.MarkColor = 0;
    p.MarkInterval = 1e-300;
    p.LabelSize = p.NumberSize = std::numeric_limits<float>::quiet_NaN();
  });
  ExpectDrawn(b, "bar with equal ends");
  const uint32_t t = AddData(kDispTimeGraph, 5, 5, 90, 90);
  EditParam<TimeGraphParam>(t, [](TimeGraphParam& p) {
    SetField16(p.Field, u"RPM");
    p.TimeSpan = 0;
    p.Min = p.Max = 1000;
    p.AxisColor = 0;
    p.AxisInterval = 1e-30f;
    p.Thickness = 0;
    p.LineSize = p.TrimSize = p.AxisSize = 255;
  });
  ExpectDrawn(t, "zero time span");
  const uint32_t f = AddData(kDispTimeGraph, 5, 5, 90, 90);
  EditParam<TimeGraphParam>(f, [](TimeGraphParam& p) {
    SetField16(p.Field, u"RPM");
    p.Options = 0x06;
    p.StartTime = p.EndTime = 50;
    p.TimeSpan = std::numeric_limits<float>::quiet_NaN();
  });
  ExpectDrawn(f, "fixed stretch of no length");
}

TEST_F(DegenerateTest, MapsPlotsAndTexts) {
  AddBackdrop();
  const uint32_t m = AddData(kDispTrackMap, 30, 5, 40, 90);
  EditParam<TrackMapParam>(m, [](TrackMapParam& p) {
    p.SelectedLap = 200; // no such lap
    p.ZoomArea = 255;
    p.MapLineSize = p.StartSize = p.PosSize = 255;
    p.MinX = p.MaxX = -1.0;
    p.StartLineAngle = 359;
    p.StartStyle = 255;
    p.PosIcon = 255;
  });
  ExpectDrawn(m, "track map without its lap");
  const uint32_t g = AddData(kDispGForce, 30, 5, 40, 90);
  EditParam<GForceParam>(g, [](GForceParam& p) {
    p.RangeX = 0;
    p.RangeY = std::numeric_limits<float>::quiet_NaN();
    p.LineSize = p.AxisSize = 255;
    p.Options = 0xFF;
  });
  ExpectDrawn(g, "G-force with zero ranges");
  const uint32_t t = AddData(kDispLapTimer, 10, 10, 80, 40);
  EditParam<TextStruct>(t, [](TextStruct& p) {
    p.Digits = p.DecimalPlaces = 255;
    p.DataParam2 = 255;
    p.DataParam = 255;
  });
  ExpectDrawn(t, "lap timer with 255 digits and places");
  const uint32_t x = AddData(kDispTextData, 10, 10, 80, 40);
  EditParam<TextStruct>(x, [](TextStruct& p) {
    SetField16(p.Field, u"No such channel");
    p.DataMode = 0x7F;
    p.MinRange = kNaN;
  });
  // An unknown channel has no number: mode 127 counts as number only and
  // draws nothing, which is what the user asked for.
  const auto frame = Frame(kTime);
  EXPECT_EQ(Drawn(frame), 0);
}

TEST_F(DegenerateTest, BoxesFarLargerThanTheFrame) {
  // Hand-edited sizes: every type returns within the test's time, without
  // an overflowing conversion (the sanitizer build aborts on one) and
  // without a layer of gigabytes.
  AddBackdrop();
  for (uint32_t type : {kDispGauge, kDispBar, kDispTimeGraph, kDispGForce, kDispTrackMap, kDispTextData}) {
    const uint32_t o = AddData(type, -1e6f, -1e6f, 3e6f, 3e6f);
    if (type == kDispTextData) {
      EditParam<TextStruct>(o, [](TextStruct& t) {
        t.Options = 1;
        t.DataMode = 0;
      });
    }
    const auto frame = Frame(kTime);
    EXPECT_EQ(frame.size(), 480u * 270u);
    Edit(o, [](DispStruct& r) { r.Active = 0; });
  }
}

TEST_F(DegenerateTest, ObjectsWithoutAnInput) {
  AddBackdrop();
  for (uint32_t type : {kDispGauge, kDispBar, kDispTimeGraph, kDispGForce}) {
    const uint32_t o = AddObject(type, 255, 30, 5, 40, 90);
    ExpectDrawn(o, "no input");
  }
  const uint32_t map = AddObject(kDispTrackMap, 255, 30, 5, 40, 90);
  const auto frame = Frame(kTime);
  EXPECT_EQ(Drawn(frame), 0) << "a map without positions draws nothing";
  (void)map;
}

} // namespace
