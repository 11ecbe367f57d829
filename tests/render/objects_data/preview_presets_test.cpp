// The simple previews of a data log (track map with and without marker,
// G-force, speedometer, tachometer) drawn through the data renderers.
#include "render/objects_data/data_obj_fixture.h"

#include "platform/graphics/bitmap_view.h"
#include "render/draw/layer.h"
#include "render/preview/simple_preview.h"

namespace {

constexpr int kSide = 160;

struct Sink {
  std::vector<ViewImage> images;
};

class PreviewPresetsTest : public DataObjTest {
protected:
  void SetUp() override {
    DataObjTest::SetUp();
    ViewRegister(&sink_, [this](const ViewImage& image) { sink_.images.push_back(image); });
  }
  void TearDown() override {
    ViewUnregister(&sink_);
    DataObjTest::TearDown();
  }
  Sink sink_;
};

TEST_F(PreviewPresetsTest, EveryDisplayModeOfADataLog) {
  const int modes[] = {0, 4, 1, 2, 3};
  const int count = 5;
  std::vector<uint32_t> strip(static_cast<size_t>(kSide) * count * kSide, 0xFF000000u);
  for (int i = 0; i < count; ++i) {
    const int slot = SimplePreviewCreateForInput(input, &sink_, kSide, kSide, 1, static_cast<uint32_t>(modes[i]));
    ASSERT_GE(slot, 0) << modes[i];
    sink_.images.clear();
    ASSERT_EQ(SimplePreviewDraw(static_cast<uint32_t>(slot), 1, 0, 50.0f), 0);
    ASSERT_EQ(sink_.images.size(), 1u);
    const ViewImage& image = sink_.images.back();
    ASSERT_EQ(image.width, static_cast<uint32_t>(kSide));
    // Top-down RGBA into the bottom-up strip.
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const uint8_t* p = image.rgba.data() + (static_cast<size_t>(y) * kSide + x) * 4;
        strip[static_cast<size_t>(kSide - 1 - y) * kSide * count + i * kSide + x] =
            PixelMake(255, p[0], p[1], p[2]);
      }
    EXPECT_EQ(SimplePreviewClose(static_cast<uint32_t>(slot)), 0);
  }
  ExpectGolden("preview_presets", strip, kSide * count, kSide);
}

} // namespace
