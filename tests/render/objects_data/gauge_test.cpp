// Gauges over the circuit log: the presets, the modes and scales the
// designer offers, and where the needle points for a known value.
#include "render/objects_data/data_obj_fixture.h"

#include "base/text.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/query.h"
#include "render/objects/data_object.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kTime = 20.0f;

void setField(char16_t* field, const char16_t* name) {
  std::memset(field, 0, 64 * sizeof(char16_t));
  for (int i = 0; name[i] && i < 63; ++i) field[i] = name[i];
}

class GaugeTest : public DataObjTest {
protected:
  uint32_t AddGauge(uint32_t type, float x = 31.25f, float y = 5, float w = 37.5f, float h = 90) {
    AddBackdrop();
    return AddData(type, x, y, w, h);
  }
};

TEST_F(GaugeTest, PresetsOfEachGaugeType) {
  const uint32_t generic = AddGauge(kDispGauge, 1, 5, 32, 90);
  EditParam<GaugeParam>(generic, [](GaugeParam& p) { setField(p.Field, u"Speed (km/h)"); });
  AddData(kDispSpeedo, 34, 5, 32, 90);
  AddData(kDispTacho, 67, 5, 32, 90);
  const auto frame = Frame(kTime);
  EXPECT_GT(Drawn(frame), 30000);
  ExpectGolden("gauge_presets", frame);
}

TEST_F(GaugeTest, NeedlePointsAtTheValue) {
  const uint32_t g = AddGauge(kDispSpeedo);
  EditParam<GaugeParam>(g, [](GaugeParam& p) {
    p.Options = 128; // no smoothing: the needle shows the value at the time
    p.NeedleColor = 0x00FF00FF;
    p.ChangeColorOptions = 0;
  });
  const double speed = InputHandlerGetDataTypeValue(input, 0, kQuerySpeed, kTime);
  ASSERT_GT(speed, 10.0);
  ASSERT_LT(speed, 150.0);
  const auto frame = Frame(kTime);
  // Gauge square 180 px centred in the box: centre (240, 135); 312 units.
  const double unit = 180.0 / 312, angle = 62.5 + speed / 160 * 235; // from straight down, clockwise
  const double rad = (90 + angle) * M_PI / 180, r = 90 * unit;
  const int x = static_cast<int>(std::lround(240 + r * std::cos(rad)));
  const int y = static_cast<int>(std::lround(135 + r * std::sin(rad)));
  int best = 255;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      best = std::min(best, ColourDiff(FramePixel(frame, 480, 270, x + dx, y + dy), 0xFF00FF));
  EXPECT_LE(best, 40) << speed;
  // The mirror position (no needle there) keeps the face.
  const double other = (90 + (360 - angle)) * M_PI / 180;
  EXPECT_GT(ColourDiff(FramePixel(frame, 480, 270, static_cast<int>(240 + r * std::cos(other)),
                                  static_cast<int>(135 + r * std::sin(other))), 0xFF00FF), 100);
}

TEST_F(GaugeTest, DualModeNeedles) {
  const uint32_t g = AddGauge(kDispTacho);
  EditParam<GaugeParam>(g, [](GaugeParam& p) {
    p.Options = 32 | 128;
    p.DualInterval = 1000;
    p.DualNeedleColor = 0x000000C0;
    p.MarkCount = 9;
    p.MarkSmallCount = 39;
    p.MarkType = (7 << 3) | 5; // count mode: square majors, dash minors
  });
  ExpectGolden("gauge_dual", Frame(kTime));
}

TEST_F(GaugeTest, GraphMode) {
  const uint32_t g = AddGauge(kDispSpeedo);
  EditParam<GaugeParam>(g, [](GaugeParam& p) {
    p.Options = 64 | 128;
    p.NeedleColor = 0x0000A0E0;
    p.NeedleSize = 6;
  });
  ExpectGolden("gauge_graph", Frame(kTime));
}

TEST_F(GaugeTest, TwoPartScaleCounterClockwise) {
  const uint32_t g = AddGauge(kDispSpeedo);
  EditParam<GaugeParam>(g, [](GaugeParam& p) {
    p.Options = 1 | 128;
    p.StepMidValue = 40;
    p.StepMidAngle = 150; // 0..40 over 150 degrees, 40..160 over the rest
    p.FaceColor = 0x00202428;
    p.FaceColor2 = 0x00505860;
    p.MarkColor = 0x00F0F0F0;
    p.LabelColor = 0x00F0F0F0;
    p.MarkPinColor = 0x00E0E000;
    p.MarkPinSize = 10;
  });
  ExpectGolden("gauge_twopart_ccw", Frame(kTime));
}

TEST_F(GaugeTest, EveryMarkShape) {
  AddBackdrop();
  const uint8_t shapes[6] = {1, 2, 3, 5, 6, 7};
  for (int i = 0; i < 6; ++i) {
    const uint32_t g = AddData(kDispGauge, 1 + (i % 3) * 33.0f, 2 + (i / 3) * 49.0f, 32, 47);
    EditParam<GaugeParam>(g, [&](GaugeParam& p) {
      setField(p.Field, u"RPM");
      p.Min = 0;
      p.Max = 8000;
      p.MarkInterval = 1000;
      p.MarkSmallInterval = 250;
      p.MarkType = static_cast<uint8_t>(0x80 | shapes[i] | (shapes[(i + 1) % 6] << 3));
      p.MarkSize = 12;
      p.MarkSmallSize = 8;
      p.MarkNumberType = 1 | 4 | 8;
      p.ChangeColorOptions = 2; // marks fade towards the warning colours
      p.ChangeColor2 = 0x00E0A000;
      p.ChangeColor2Value = 5000;
      p.ChangeColorValue = 7000;
      p.SweepDeg = 270;
    });
  }
  ExpectGolden("gauge_mark_shapes", Frame(kTime));
}

TEST_F(GaugeTest, TachometerMarksTakeTheWarningColour) {
  const uint32_t g = AddGauge(kDispTacho);
  EditParam<GaugeParam>(g, [](GaugeParam& p) {
    p.MarkColor = 0x00000000;
    p.ChangeColor = 0x00FF0000;
    p.MarkSize = 14;
    p.MarkType = 0x80 | 5; // squares only
    p.MarkNumberType = 0;
    p.NeedleColor = 0xFF000000;
    p.NeedleCenterSize = 0;
    p.ChangeColorOptions = 1;
  });
  const auto frame = Frame(kTime);
  // Marks at 7000 and 8000 are red, the one at 1000 black.
  const double unit = 180.0 / 312, r = (156 - 2 - 5 - 7) * unit;
  auto markAt = [&](double value) {
    const double rad = (90 + 62.5 + value / 8000 * 235) * M_PI / 180;
    return FramePixel(frame, 480, 270, static_cast<int>(std::lround(240 + r * std::cos(rad))),
                      static_cast<int>(std::lround(135 + r * std::sin(rad))));
  };
  EXPECT_LE(ColourDiff(markAt(7000), 0xFF0000), 40);
  EXPECT_LE(ColourDiff(markAt(8000), 0xFF0000), 40);
  EXPECT_LE(ColourDiff(markAt(1000), 0x000000), 40);
}

TEST_F(GaugeTest, SmoothMovementShowsTheMeanWithASixthAhead) {
  const uint32_t g = AddGauge(kDispTacho);
  const double now = InputHandlerGetDataTypeValue(input, 0, kQueryRpm, kTime);
  const double ahead = InputHandlerGetDataTypeValue(input, 0, kQueryRpm, kTime + 1.0f / 6);
  ASSERT_GT(std::fabs(ahead - now), 1.0) << "the engine speed should change here";
  EXPECT_NEAR(GaugeShownValue(DispObjGet(g), kTime), (now + ahead) / 2, 1e-6);
  EditParam<GaugeParam>(g, [](GaugeParam& p) { p.Options &= ~2; });
  EXPECT_NEAR(GaugeShownValue(DispObjGet(g), kTime), now, 1e-6);
}

TEST_F(GaugeTest, KeptDialFollowsRecordChanges) {
  // The dial is drawn once and kept; a changed record must show at once.
  const uint32_t g = AddGauge(kDispSpeedo);
  const auto before = Frame(kTime);
  EXPECT_LE(ColourDiff(FramePixel(before, 480, 270, 240, 200), 0xFFFFFF), 10);
  EditParam<GaugeParam>(g, [](GaugeParam& p) { p.FaceColor = 0x00204080; });
  const auto after = Frame(kTime + 1);
  EXPECT_LE(ColourDiff(FramePixel(after, 480, 270, 240, 200), 0x204080), 10);
}

} // namespace
