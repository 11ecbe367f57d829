#include "ui/preview/preview_fixture.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "io/files/session.h"
#include "model/dispobjs.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/seams/media_clock.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"

void PreviewTest::SetUp() {
  ShellTest::SetUp();
  SetSetting("ShowMenuAtStart", false);
}

void PreviewTest::TearDown() {
  MediaClockInstall(nullptr);
  ShellTest::TearDown();
}

void PreviewTest::LaunchMain() {
  ASSERT_TRUE(Launch());
  main = app->windows().wndMain();
  ASSERT_NE(main, nullptr);
  ASSERT_NE(main->PreviewImage(), nullptr);
  ASSERT_TRUE(SpinUntil([this]() { return main->PreviewImage()->framesReceived() > 0; }));
}

uint32_t PreviewTest::AddText(float x, float y, float width, float height) {
  uint32_t object = DispObjAdd(13, 255);
  EXPECT_NE(object, 0xFFFFFFFFu);
  Place(object, x, y, width, height);
  return object;
}

void PreviewTest::Place(uint32_t object, float x, float y, float width, float height) {
  DispStruct record = *DispObjGet(object);
  record.X = x;
  record.Y = y;
  record.Width = width;
  record.Height = height;
  EXPECT_EQ(DispObjSet(object, &record), 0);
}

float PreviewTest::ObjectX(uint32_t object) const { return DispObjGet(object)->X; }
float PreviewTest::ObjectY(uint32_t object) const { return DispObjGet(object)->Y; }
float PreviewTest::ObjectWidth(uint32_t object) const { return DispObjGet(object)->Width; }

bool PreviewTest::WaitIdle() {
  return SpinUntil([]() { return PreviewIsPlaying() == 0; });
}

void PreviewTest::HoldMediaClock() {
  MediaClockInstall([this]() { return clockNow; });
}

std::string PreviewTest::UndoSnapshotState() const {
  std::wstring wide = UndoSnapshotPath(SessionGetId(), 0);
  std::string path(wide.begin(), wide.end());
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return "missing";
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + ":" + bytes.str();
}
