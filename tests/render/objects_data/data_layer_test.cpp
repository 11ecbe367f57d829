// The layer a data object draws on: frame resolution with high
// resolution (clean at 4K), no more than the base frame's without.
#include <gtest/gtest.h>

#include "render/objects/data_object.h"

namespace {

ObjectContext uhdBox() {
  ObjectContext ctx;
  ctx.w = 960;
  ctx.h = 960;
  ctx.baseScale = 2160.0 / 480; // a 3840 x 2160 frame
  return ctx;
}

TEST(DataLayerTest, HighResolutionDrawsAtFramePixels) {
  DataLayer dl;
  ASSERT_TRUE(DataLayerFor(uhdBox(), true, &dl));
  EXPECT_EQ(dl.layer.width, 960);
  EXPECT_EQ(dl.layer.height, 960);
  EXPECT_NEAR(dl.scale, 4.5, 1e-9);
}

TEST(DataLayerTest, BaseResolutionStaysAtTheBaseFrameSize) {
  DataLayer dl;
  ASSERT_TRUE(DataLayerFor(uhdBox(), false, &dl));
  EXPECT_EQ(dl.layer.width, 214); // 960 / 4.5, rounded up
  EXPECT_NEAR(dl.unitsW, 960 / 4.5, 1e-9);
}

TEST(DataLayerTest, EmptyAndHugeBoxes) {
  ObjectContext ctx = uhdBox();
  ctx.w = 0;
  DataLayer dl;
  EXPECT_FALSE(DataLayerFor(ctx, true, &dl));
  ctx.w = 1e9;
  ctx.h = 1e9;
  ASSERT_TRUE(DataLayerFor(ctx, true, &dl));
  EXPECT_LE(static_cast<double>(dl.layer.width) * dl.layer.height, 4096.0 * 4096.0 + 8192);
}

} // namespace
