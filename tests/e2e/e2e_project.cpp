#include "e2e/e2e_project.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "support/media_fixtures.h"

namespace {

std::u16string Path16(const std::string& path) { return WideToUtf16(Utf8ToWide(path)); }

void SetText16(char16_t* field, size_t units, const char* text) {
  std::memset(field, 0, units * sizeof(char16_t));
  for (size_t i = 0; text[i] != 0 && i + 1 < units; ++i) field[i] = static_cast<char16_t>(text[i]);
}

} // namespace

void E2eProjectTest::SetUp() {
  AppInitIdentity();
  ASSERT_EQ(AppInit(0), 1);
  work = E2eFolder("work");
}

void E2eProjectTest::TearDown() {
  RenderEnd();
  AppEnd();
}

bool E2eProjectTest::WaitIdle(int seconds) {
  for (int waited = 0; waited < seconds * 50; ++waited) {
    if (!OutputHandlerIsBusy()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return !OutputHandlerIsBusy();
}

void E2eProjectTest::AddInputs() {
  video = work + "/onboard.mp4";
  ASSERT_TRUE(MakeIndexVideo(video, kFrames, kWidth, kHeight, "15",
                             "-c:v libx264 -pix_fmt yuv420p -g 15",
                             "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=3",
                             "-c:a aac -b:a 96k"));
  const std::string log = circuit.write(work + "/circuit.csv");
  ASSERT_FALSE(log.empty());
  videoInput = InputAdd(Path16(video).c_str());
  ASSERT_NE(videoInput, 255u) << "video not added";
  logInput = InputAdd(Path16(log).c_str());
  ASSERT_NE(logInput, 255u) << "circuit log not added";
}

uint32_t E2eProjectTest::AddObject(uint32_t type, uint32_t input, const E2eBox& box) {
  return AddObjectInBox(type, input, box);
}

void E2eProjectTest::AddObjects() {
  AddObject(kDispVideo, videoInput, E2eBox{0, 0, 100, 100});
  const uint32_t text = AddObject(kDispText, 255, kTextBox);
  TextStruct t;
  std::memcpy(&t, DispObjGetParam(text), sizeof t);
  SetText16(t.Text, 256, "Heat 2");
  t.Color = 0xFFFF40;
  t.Size = 26;
  t.OutlineColor = 0x000000;
  ASSERT_EQ(DispObjSetParam(text, &t), 0);
  speedo = AddObject(kDispSpeedo, logInput, kSpeedoBox);
  map = AddObject(kDispTrackMap, logInput, kMapBox);
  lapTimer = AddObject(kDispLapTimer, logInput, kLapTimerBox);
  const uint32_t shape = AddObject(kDispShape, 255, kShapeBox);
  ShapeStruct s;
  std::memcpy(&s, DispObjGetParam(shape), sizeof s);
  s.Shape = 5; // rounded rectangle
  s.FillColor = 0xE02080;
  s.LineColor = 0xFFFFFF;
  s.LineSize = 2;
  s.FillColor2 = 0xFF000000;
  ASSERT_EQ(DispObjSetParam(shape, &s), 0);
}

void E2eProjectTest::BuildSaveAndReopen() {
  ASSERT_NO_FATAL_FAILURE(AddInputs());
  ASSERT_NO_FATAL_FAILURE(AddObjects());
  ASSERT_EQ(DispObjCount(), 6u);
  project = work + "/race.qvp";
  ASSERT_EQ(ProjectSave(Utf8ToWide(project).c_str()), 0);
  ASSERT_EQ(ProjectNew(), 0);
  ASSERT_EQ(InputCount(), 0u);
  ASSERT_EQ(DispObjCount(), 0u);
  ASSERT_EQ(ProjectOpen(Utf8ToWide(project).c_str()), 0);
  ASSERT_EQ(InputCount(), 2u);
  ASSERT_EQ(DispObjCount(), 6u);
}
