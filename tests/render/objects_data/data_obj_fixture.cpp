#include "render/objects_data/data_obj_fixture.h"

#include "base/access_lock.h"
#include "base/text.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/draw/data_channel.h"
#include "render/loop/frame_render.h"
#include "render/objects/data_object.h"

#include <unistd.h>

void DataObjTest::SetUp() {
  RenderTest::SetUp();
  DataCacheClear();
  const std::string path = circuit.write("qv_circuit_" + std::to_string(getpid()) + ".csv");
  const std::u16string path16 = WideToUtf16(Utf8ToWide(path));
  input = InputAdd(path16.c_str());
  ASSERT_NE(input, 255u) << "circuit log not added";
}

uint32_t DataObjTest::AddData(uint32_t type, float x, float y, float w, float h) {
  return AddObject(type, input, x, y, w, h);
}

void DataObjTest::AddBackdrop(uint32_t rgb) {
  const uint32_t image = AddSolidImage(rgb, 16, 16);
  AddObject(kDispVideo, image, 0, 0, 100, 100);
}

std::vector<uint32_t> DataObjTest::Frame(float time, int width, int height) {
  return RenderAt(time, width, height);
}

std::string DataObjTest::ShownText(uint32_t object, float time) {
  ReadAccess access("DataObjTest");
  const DispStruct* obj = DispObjGet(object);
  const TextStruct* text = ObjectParam<TextStruct>(obj);
  if (!text) return "<no record>";
  ObjectContext ctx;
  ctx.obj = obj;
  ctx.time = time;
  return DataObjectText(ctx, *text);
}

int DataObjTest::Drawn(const std::vector<uint32_t>& frame, uint32_t backdrop, int tolerance) {
  int n = 0;
  for (uint32_t p : frame)
    if (ColourDiff(p, backdrop) > tolerance) ++n;
  return n;
}

void DataObjTest::ExpectGolden(const std::string& name, const std::vector<uint32_t>& frame, int width,
                               int height) {
  EXPECT_EQ(CompareGolden(name, frame, width, height), "");
}
