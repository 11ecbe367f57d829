// A channel that the log holds at one sample only (the altitude of a
// receiver's single GGA sentence among RMC sentences): every object that
// shows it, and the custom channel made of it, shows one and the same
// value at every moment of the log.
#include "render/objects_data/data_obj_fixture.h"
#include "render/objects_data/field_util.h"

#include "base/text.h"
#include "model/inputs.h"
#include "support/kart_nmea.h"

#include <unistd.h>

namespace {

class SparseChannelTest : public DataObjTest {
protected:
  void SetUp() override {
    DataObjTest::SetUp();
    const std::string path = kart.write(TempPath("qv_kart_" + std::to_string(getpid()) + ".nmea"));
    ASSERT_FALSE(path.empty());
    kartInput = InputAdd(WideToUtf16(Utf8ToWide(path)).c_str());
    ASSERT_NE(kartInput, 255u);
    // "Altitude x 2", as the input window's custom-channel row stores it.
    DataStruct data = *InputGetData(kartInput);
    SetField16(data.CustomName, u"Altitude x 2");
    SetField16(data.CustomInput, u"Altitude");
    data.CustomOp = 2;
    data.CustomNum = 2;
    ASSERT_EQ(InputSetData(kartInput, &data), 0);
  }
  uint32_t AddNumber(const char16_t* field, float y) {
    const uint32_t object = AddObject(kDispTextData, kartInput, 5, y, 40, 14);
    EditParam<TextStruct>(object, [&](TextStruct& t) {
      SetField16(t.Field, field);
      SetField16(t.Text, u"", 256);
      t.DataMode = 1; // number only
      t.DecimalPlaces = 1;
      t.Digits = 1;
      t.Color = 0x00FFFFFF;
      t.OutlineColor = 0xFF000000;
      t.Options = 0;
    });
    return object;
  }
  // The object shows the fixed text instead of its number, with its look.
  void ShowFixed(uint32_t object, const char16_t* text) {
    EditParam<TextStruct>(object, [&](TextStruct& t) {
      SetField16(t.Text, text, 256);
      t.DataMode = 4; // text only
    });
  }

  KartNmea kart;
  uint32_t kartInput = 255;
};

TEST_F(SparseChannelTest, OneAltitudeInEveryObjectAndItsCustomChannel) {
  AddBackdrop();
  const uint32_t altitude = AddNumber(u"Altitude", 5);
  const uint32_t doubled = AddNumber(u"Altitude x 2", 22);
  const uint32_t named = AddNumber(u"(Altitude)", 39);
  // A green bar from 0 to 100 m, nothing drawn around it.
  const uint32_t bar = AddObject(kDispBar, kartInput, 60, 5, 20, 90);
  EditParam<BarParam>(bar, [](BarParam& p) {
    SetField16(p.Field, u"Altitude");
    p.Min = 0;
    p.Max = 100;
    p.LabelColor = p.NumberColor = p.TrimColor = 0xFF000000;
    p.FillColor = p.FillColor2 = 0x0000FF00;
    p.Options = 0x80;
  });
  // Before the one GGA sentence, on it, just after it, in the second lap
  // and at the log's end.
  const float times[] = {1.0f, static_cast<float>(kart.ggaTime), static_cast<float>(kart.ggaTime + 0.1),
                         static_cast<float>(kart.lapStart(2) + 5), static_cast<float>(kart.duration())};
  for (const float t : times) {
    EXPECT_EQ(ShownText(altitude, t), "33.8") << "at " << t;
    EXPECT_EQ(ShownText(doubled, t), "67.6") << "at " << t;
    EXPECT_EQ(ShownText(named, t), "33.8") << "at " << t;
    const auto frame = Frame(t);
    // Track of the bar: box 13.5..256.5 less 7 units of padding (at two
    // units per base unit of the double-resolution record) top and bottom.
    const double pad = 7 * 0.5625 / 2, top = 13.5 + pad, bottom = 256.5 - pad;
    const double level = bottom - (bottom - top) * 33.8 / 100;
    EXPECT_LE(ColourDiff(FramePixel(frame, 480, 270, 336, static_cast<int>(level) + 3), 0x00FF00), 30) << "at " << t;
    EXPECT_GT(ColourDiff(FramePixel(frame, 480, 270, 336, static_cast<int>(level) - 3), 0x00FF00), 100) << "at " << t;
    // The numbers drawn are those texts, in the objects' own look.
    ShowFixed(altitude, u"33.8");
    ShowFixed(doubled, u"67.6");
    ShowFixed(named, u"33.8");
    const auto fixed = Frame(t);
    ASSERT_EQ(fixed.size(), frame.size());
    size_t differing = 0;
    for (size_t i = 0; i < frame.size(); ++i) differing += fixed[i] != frame[i];
    EXPECT_EQ(differing, 0u) << "at " << t;
    for (const uint32_t object : {altitude, doubled, named})
      EditParam<TextStruct>(object, [](TextStruct& text) { text.DataMode = 1; });
  }
}

} // namespace
