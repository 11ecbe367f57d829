// Which object a click on the preview canvas finds.
#include "render/render_fixture.h"

#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/preview/main_preview.h"

namespace {
constexpr uint32_t kNone = 0xFFFFFFFFu;
int g_view = 0;
} // namespace

class ObjPickTest : public RenderTest {
protected:
  void SetUp() override {
    RenderTest::SetUp();
    // 101 x 101 makes one percent exactly one pixel (width minus one).
    ASSERT_EQ(MainPreviewInitNoRender(&g_view, 101, 101), 0);
  }
  uint32_t Shape(float x, float y, float w, float h) {
    return AddShape(4, 0xFF0000, 0xFF000000, 0, x, y, w, h);
  }
  static uint32_t Click(int x, int y, int mode = 0, float time = 1.0f) {
    return MainPreviewGetObjFromClick(x, y, mode, time);
  }
};

TEST_F(ObjPickTest, HitIncludesBothEdges) {
  const uint32_t a = Shape(10, 20, 30, 40);
  EXPECT_EQ(Click(10, 20), a);
  EXPECT_EQ(Click(40, 60), a);
  EXPECT_EQ(Click(9, 30), kNone);
  EXPECT_EQ(Click(41, 30), kNone);
  EXPECT_EQ(Click(20, 61), kNone);
}

TEST_F(ObjPickTest, TopMostFirst) {
  const uint32_t low = Shape(0, 0, 50, 50);
  const uint32_t high = Shape(25, 25, 50, 50);
  EXPECT_EQ(Click(30, 30), high);
  EXPECT_EQ(Click(10, 10), low);
}

TEST_F(ObjPickTest, SkipsWhatIsNotShown) {
  const uint32_t base = Shape(0, 0, 100, 100);
  const uint32_t inactive = Shape(0, 0, 50, 50);
  const uint32_t late = Shape(50, 0, 50, 50);
  const uint32_t clear = Shape(0, 50, 50, 50);
  const uint32_t noChannels = Shape(50, 50, 50, 50);
  Edit(inactive, [](DispStruct& r) { r.Active = 0; });
  Edit(late, [](DispStruct& r) { r.OffsetTime = 2; });
  Edit(clear, [](DispStruct& r) { r.Transparency = 100; });
  Edit(noChannels, [](DispStruct& r) { r.ColorChans = 0; });
  EXPECT_EQ(Click(20, 20), base);
  EXPECT_EQ(Click(70, 20), base);
  EXPECT_EQ(Click(70, 20, 0, 2.5f), late);
  EXPECT_EQ(Click(20, 70), base);
  EXPECT_EQ(Click(70, 70), base);
  Edit(clear, [](DispStruct& r) { r.Transparency = 99; });
  EXPECT_EQ(Click(20, 70), clear);
}

TEST_F(ObjPickTest, AudioObjectsAndGroupsThemselvesAreNotFound) {
  const uint32_t audio = AddObject(kDispAudio, 255, 0, 0, 100, 100);
  const uint32_t group = AddObject(kDispGroup, 255, 0, 0, 100, 100);
  (void)audio;
  (void)group;
  EXPECT_EQ(Click(50, 50), kNone);
}

TEST_F(ObjPickTest, MembersAnswerTheirGroupInModeZero) {
  const uint32_t group = AddObject(kDispGroup, 255, 0, 0, 60, 60);
  const uint32_t member = Shape(10, 10, 20, 20);
  Edit(member, [&](DispStruct& r) { r.ParentObject = group; });
  const uint32_t later = Shape(50, 50, 40, 40); // top-level, after the group
  EXPECT_EQ(Click(15, 15, 0), group);
  EXPECT_EQ(Click(15, 15, 1), member);
  EXPECT_EQ(Click(55, 55, 1), later);
  EXPECT_EQ(Click(45, 45, 1), kNone); // inside the group's box, no member there
}

TEST_F(ObjPickTest, ObjectsOfAnInputThatHasNotStartedAreSkipped) {
  const uint32_t image = AddSolidImage(0x808080, 8, 8);
  const uint32_t picture = AddObject(kDispVideo, image, 0, 0, 100, 100);
  EXPECT_EQ(Click(50, 50), picture);
  MainStruct main = *InputGetMain(image);
  main.StartTime = 3;
  ASSERT_EQ(InputSetMain(image, &main), 0);
  EXPECT_EQ(Click(50, 50, 0, 1.0f), kNone);
  EXPECT_EQ(Click(50, 50, 0, 3.5f), picture);
  // A still image never ends.
  EXPECT_EQ(Click(50, 50, 0, 5000.0f), picture);
}
