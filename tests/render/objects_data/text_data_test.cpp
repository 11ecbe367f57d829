// Text data, gear number, lap counter and lap timer over the circuit log:
// the texts through a lap crossing, the modes, ranges and flashing, and
// the look of the presets.
#include "render/objects_data/data_obj_fixture.h"
#include "render/objects_data/field_util.h"

#include "render/draw/layer_cache.h"
#include "render/objects/kept_placements.h"

#include "render/objects/data_object.h"

#include <functional>

namespace {

class TextDataTest : public DataObjTest {
protected:
  // The four presets over a backdrop; the speed text's record is given
  // its look by `look` after its field is set. Returns the speed text.
  uint32_t AddPresets(const std::function<void(TextStruct&)>& look) {
    AddBackdrop();
    AddData(kDispLapCount, 2, 5, 40, 20);
    AddData(kDispLapTimer, 55, 5, 40, 20);
    AddData(kDispGear, 40, 65, 20, 30);
    const uint32_t data = AddData(kDispTextData, 5, 35, 60, 20);
    EditParam<TextStruct>(data, [&](TextStruct& t) {
      SetField16(t.Field, u"Speed (km/h)");
      t.DataMode = 2;
      look(t);
    });
    return data;
  }
};

TEST_F(TextDataTest, LapCounterThroughACrossing) {
  const uint32_t counter = AddData(kDispLapCount, 5, 5, 25, 10);
  const float crossing = static_cast<float>(circuit.lapStart(2));
  // The log ends after the fifth crossing: five laps reached.
  EXPECT_EQ(ShownText(counter, crossing - 0.5f), "LAP 1 / 5");
  EXPECT_EQ(ShownText(counter, crossing + 0.5f), "LAP 2 / 5");
  EXPECT_EQ(ShownText(counter, 1.0f), "LAP 0 / 5");
  EditParam<TextStruct>(counter, [](TextStruct& t) { t.DataOptions = 0; t.Digits = 2; });
  EXPECT_EQ(ShownText(counter, crossing + 0.5f), "LAP 02");
}

TEST_F(TextDataTest, LapTimerRunsHoldsAndRunsAgain) {
  const uint32_t timer = AddData(kDispLapTimer, 60, 5, 35, 10);
  const double lap2 = circuit.lapStart(2), lap3 = circuit.lapStart(3);
  EXPECT_EQ(ShownText(timer, static_cast<float>(circuit.lapStart(1) + 5.25)), "0:05.25");
  // For 10 s after the line the completed lap (30.00 s) is held.
  EXPECT_EQ(ShownText(timer, static_cast<float>(lap2 + 0.5)), "0:30.00");
  EXPECT_EQ(ShownText(timer, static_cast<float>(lap2 + 9.5)), "0:30.00");
  EXPECT_EQ(ShownText(timer, static_cast<float>(lap2 + 12.0)), "0:12.00");
  EXPECT_EQ(ShownText(timer, static_cast<float>(lap3 + 1.0)), "0:27.50");
  EditParam<TextStruct>(timer, [](TextStruct& t) {
    t.DataParam = 0; // no hold
    t.DecimalPlaces = 1;
    t.DataParam2 = 1; // seconds only
  });
  EXPECT_EQ(ShownText(timer, static_cast<float>(lap3 + 1.0)), "1.0");
}

TEST_F(TextDataTest, LapTimeFormats) {
  EXPECT_EQ(LapTimeText(83.456, 2, 1, 0), "1:23.46");
  EXPECT_EQ(LapTimeText(59.999, 2, 1, 0), "1:00.00");
  EXPECT_EQ(LapTimeText(3725.5, 1, 1, 2), "1:02:05.5");
  EXPECT_EQ(LapTimeText(7.25, 2, 3, 1), "007.25");
  EXPECT_EQ(LapTimeText(65, 0, 2, 0), "01:05");
}

TEST_F(TextDataTest, ModesRangesAndFlashing) {
  const uint32_t gear = AddData(kDispGear, 45, 80, 10, 15);
  const uint32_t data = AddData(kDispTextData, 10, 10, 20, 10);
  EditParam<TextStruct>(data, [](TextStruct& t) {
    SetField16(t.Field, u"Gear");
    SetField16(t.Text, u" gear", 256);
    t.DataMode = 2;
    t.Digits = 2;
    t.DecimalPlaces = 1;
  });
  const std::string g = ShownText(gear, 20);
  ASSERT_EQ(g.size(), 1u);
  EXPECT_GE(g[0], '1');
  EXPECT_LE(g[0], '6');
  EXPECT_EQ(ShownText(data, 20), "0" + g + ".0 gear");
  // Outside the range the number goes, the text stays.
  EditParam<TextStruct>(data, [](TextStruct& t) { t.MinRange = 7; });
  EXPECT_EQ(ShownText(data, 20), " gear");
  EditParam<TextStruct>(data, [](TextStruct& t) { t.DataMode = 3; t.MinRange = -999999999.9; SetField16(t.Text, u"G", 256); });
  EXPECT_EQ(ShownText(data, 20), "G0" + g + ".0");
  // Text only: shown while the value is in range.
  EditParam<TextStruct>(data, [](TextStruct& t) { t.DataMode = 4; SetField16(t.Text, u"SHIFT", 256); t.MinRange = 0; t.MaxRange = 99; });
  EXPECT_EQ(ShownText(data, 20), "SHIFT");
  EditParam<TextStruct>(data, [](TextStruct& t) { t.MaxRange = 0.5; });
  EXPECT_EQ(ShownText(data, 20), "");
  // Flashing: shown for the first quarter second of each half second.
  EditParam<TextStruct>(data, [](TextStruct& t) { t.DataMode = 0x80 | 4; t.MaxRange = 999999999.9; });
  EXPECT_EQ(ShownText(data, 20.1f), "SHIFT");
  EXPECT_EQ(ShownText(data, 20.35f), "");
  EXPECT_EQ(ShownText(data, 20.6f), "SHIFT");
}

TEST_F(TextDataTest, PresetsLook) {
  const float crossing = static_cast<float>(circuit.lapStart(2));
  AddPresets([](TextStruct& t) {
    SetField16(t.Text, u" km/h", 256);
    t.OutlineColor = 0x00000000;
    t.Color = 0x00FFD000;
    t.Style = 1;
  });
  ExpectGolden("text_data", Frame(crossing + 2));
}

// Texts that stay the same are drawn once and kept: frames across a lap
// crossing (the count changes, the gear and speed now and then, the timer
// every frame) are those drawn afresh.
TEST_F(TextDataTest, KeptDrawingsDrawAsDrawnAfresh) {
  const float crossing = static_cast<float>(circuit.lapStart(2));
  const uint32_t data = AddPresets([](TextStruct& t) { t.Options |= kTextAutoSize; });
  Frame(crossing - 1);
  for (float t : {crossing - 0.5f, crossing - 0.45f, crossing + 0.5f, crossing + 0.55f}) {
    const auto kept = Frame(t);
    LayerCacheClear();
    KeptPlacementsClear();
    EXPECT_EQ(kept, Frame(t)) << "at " << t;
  }
  EXPECT_NE(ShownText(data, crossing - 0.5f), ShownText(data, crossing + 0.5f));
}

} // namespace
