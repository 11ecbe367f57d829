#include "files_fixture.h"

#include <dirent.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/access_lock.h"
#include "base/text.h"
#include "io/files/session.h"
#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "model/model.h"
#include "model/project.h"
#include "model/timeline.h"
#include "media/bmp_file.h"
#include "media/input_handler.h"
#include "support/media_fixtures.h"
#include "support/temp_folder.h"

void FilesTest::SetUp() {
  dir_ = MakeTempFolder("qv-files-test");
  ASSERT_FALSE(dir_.empty());
  tmpdir_ = std::make_unique<ScopedEnv>("TMPDIR", dir_);
  SessionChooseTempFolder(); // undo snapshots go into this test's folder
  AccessInit();
  ModelInit();
  MediaHandlerInit();
}

void FilesTest::TearDown() {
  ModelCloseInputs();
  ModelEnd();
  MediaHandlerEnd();
  AccessEnd();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
  tmpdir_.reset();
  SessionChooseTempFolder(); // back to the folder of the TMPDIR before
}

std::wstring FilesTest::WPath(const std::string& name) const { return Utf8ToWide(Path(name)); }

std::vector<uint8_t> MakeBitmap(uint32_t w, uint32_t h, uint32_t seed) {
  std::vector<uint8_t> block(sizeof(DispBitmapHeader) + w * h * 4);
  DispBitmapHeader header{};
  header.Width = w;
  header.Height = h;
  header.Options = 1;
  std::memcpy(block.data(), &header, sizeof(header));
  for (size_t i = sizeof(header); i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 31 + seed);
  return block;
}

namespace {

// An input set straight into the table: its file is missing, so it is
// marked as not opened (and stays so when the project is reopened).
uint32_t AddDirect(uint8_t type, const char16_t* name) {
  WriteAccess access("test");
  const uint32_t input = InputStoreAppend();
  MainStruct& main = *InputTableMain(input);
  std::u16string path = u"/nonexistent/qv-files/";
  path += name;
  Str16CopyN(main.FilePath, path.c_str(), kPathLength - 1);
  Str16CopyN(main.Name, name, kNameLength - 1);
  main.Type = type;
  main.OpenFailed = 1;
  main.Width = 1920;
  main.Height = 1080;
  main.Length = 321.25f;
  main.TrimStart = 1.5f;
  main.TrimEnd = 300.0f;
  main.PlayRate = 1.0f;
  main.TrackCount = 2;
  main.TrackIndex = 1;
  return input;
}

void SetDataFields(uint32_t input) {
  DataStruct data = *InputGetData(input);
  Str16CopyN(data.Time, u"Zeit \"s\" 100%", kNameLength - 1);
  Str16CopyN(data.Speed, u"Geschwindigkeit ü", kNameLength - 1);
  data.LapX = -122.4194155;
  data.LapY = 37.7749295;
  data.LapHeading = 87.5f;
  data.CustomOp3 = 4;
  data.GearAdjust = -2;
  ASSERT_EQ(InputSetData(input, &data), 0);
}

void SetAdjust(uint32_t input) {
  AdjustStruct adjust = *InputGetAdjust(input);
  adjust.Volume = 80;
  adjust.CropLeft = 12;
  adjust.Rotation = 90.0f;
  adjust.Hue = -30;
  adjust.ChromaOn = 1;
  adjust.Colorize = 0x0012AB34;
  ASSERT_EQ(InputSetAdjust(input, &adjust), 0);
}

void MakeMediaFiles(const std::string& dir, std::string& wav, std::string& bmp) {
  wav = dir + "/ramp.wav";
  ASSERT_TRUE(WriteWav16(wav, 8000, 2, MakeRampPcm16(8000, 2)));
  bmp = dir + "/picture.bmp";
  std::vector<uint8_t> pixels(32 * 16 * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
  ASSERT_EQ(BmpWriteFile(Utf8ToWide(bmp), pixels.data(), 32, 16, 24, true), 0);
}

void SetBitmap(uint32_t object, const std::vector<uint8_t>& block) {
  WriteAccess access("test");
  DispTableEntry(object)->Bitmap = block;
  DispTableSync(object);
}

void GiveScript(uint32_t object) {
  WriteAccess access("test");
  DispObjEntry& entry = *DispTableEntry(object);
  entry.Param.assign(sizeof(EnhParam), 0);
  EnhParam* p = reinterpret_cast<EnhParam*>(entry.Param.data());
  Str16CopyN(p->Label, u"Boost", kNameLength - 1);
  p->Max = 2.5;
  std::strcpy(p->ForeScript, "value = data('Boost') * 2");
  DispTableSync(object);
}

// A segment at the time that moves the object and changes its parameters.
void AddSegment(uint32_t object, float time) {
  ASSERT_NE(TimelineDispObjAdd(object, time), kNoDispObj);
  ASSERT_EQ(TimelineApply(time + 0.5f), 0);
  DispStruct record = *DispObjGet(object);
  record.X += 5;
  record.Transparency = 40;
  ASSERT_EQ(DispObjSet(object, &record), 0);
  std::vector<uint8_t> param(static_cast<uint8_t*>(DispObjGetParam(object)),
                             static_cast<uint8_t*>(DispObjGetParam(object)) + record.ParamSize);
  if (!param.empty()) {
    param[param.size() - 3] ^= 0x5A; // a byte no text field ends on
    ASSERT_EQ(DispObjSetParam(object, param.data()), 0);
  }
  ASSERT_EQ(TimelineApply(0), 0);
}

} // namespace

void BuildRichProject(const std::string& dir) {
  std::string wav, bmp;
  MakeMediaFiles(dir, wav, bmp);
  ASSERT_EQ(InputAdd(WideToUtf16(Utf8ToWide(wav)).c_str()), 0u);
  ASSERT_EQ(InputGetType(0), kInputAudio);
  ASSERT_EQ(InputAdd(WideToUtf16(Utf8ToWide(bmp)).c_str()), 1u);
  ASSERT_EQ(InputGetType(1), kInputImage);
  const uint32_t video = AddDirect(kInputVideo, u"clip.mp4");
  const uint32_t data = AddDirect(kInputData, u"run.csv");
  const uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  InputAddSpecial(kSpecialJoinAudio);
  InputAddSpecial(kSpecialJoinData);
  InputAddSpecial(kSpecialFiller);
  {
    WriteAccess access("test");
    InputTableMain(video)->ParentJoin = static_cast<uint8_t>(join);
  }
  SetDataFields(data);
  SetAdjust(0);
  SetAdjust(video);
  const uint8_t types[] = {0, 10, 11, 12, 13, 14, 30, 31, 34, 35, 50, 70, 71, 72, 74, 75, 76, 77};
  std::vector<uint32_t> objects;
  for (uint8_t type : types) {
    const uint32_t input = type == 10 ? video : type == 11 ? 0 : type >= 30 ? data : kNoInput;
    objects.push_back(DispObjAdd(type, input));
    ASSERT_NE(objects.back(), kNoDispObj) << int(type);
  }
  GiveScript(objects[10]);
  for (size_t i = 1; i <= 3; ++i) {
    DispStruct record = *DispObjGet(objects[i]);
    record.ParentObject = objects[0];
    ASSERT_EQ(DispObjSet(objects[i], &record), 0);
  }
  SetBitmap(objects[1], MakeBitmap(24, 10, 3));
  SetBitmap(objects[4], MakeBitmap(7, 5, 9));
  AddSegment(objects[4], 2.0f);
  AddSegment(objects[4], 4.0f);
  AddSegment(objects[6], 3.0f);
  AddSegment(objects[10], 1.0f);
  ASSERT_EQ(TimelineDispObjSetChanged(objects[1], TimelineDispObjAdd(objects[1], 6.0f), kSegBitmap, 0), 0);
  ProjectSetLength(123.5f);
  ASSERT_EQ(ProjectSetSpeedUnit(kSpeedKmh), 0);
  ProjectSetUserText(u"Track day — Spa \"2026\" 100%");
  ASSERT_EQ(ProjectWizSetOpts(0x3F, 250.0f, 9000.0f, 7500.0f), 0);
}

void BuildSmallProject() {
  AddDirect(kInputData, u"run.csv");
  InputAddSpecial(kSpecialFiller);
  const uint32_t text = DispObjAdd(kDispText, 0);
  const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
  ASSERT_NE(text, kNoDispObj);
  ASSERT_NE(shape, kNoDispObj);
  SetBitmap(shape, MakeBitmap(3, 2, 1));
  AddSegment(shape, 1.0f);
  ProjectSetUserText(u"small");
}

ProjectImage CaptureModel() {
  ProjectImage image;
  ReadAccess access("test");
  ProjectImageCapture(image);
  return image;
}

void ExpectSameProject(const ProjectImage& a, const ProjectImage& b) {
  EXPECT_EQ(a.Settings.Length, b.Settings.Length);
  EXPECT_EQ(a.Settings.SpeedUnit, b.Settings.SpeedUnit);
  EXPECT_EQ(0, std::memcmp(a.Settings.UserText, b.Settings.UserText, sizeof(a.Settings.UserText)));
  EXPECT_EQ(a.Settings.WizMask, b.Settings.WizMask);
  EXPECT_EQ(a.Settings.WizSpeedMax, b.Settings.WizSpeedMax);
  EXPECT_EQ(a.Settings.WizTachMax, b.Settings.WizTachMax);
  EXPECT_EQ(a.Settings.WizTachRed, b.Settings.WizTachRed);
  EXPECT_EQ(a.TimelineTime, b.TimelineTime);
  ASSERT_EQ(a.Inputs.size(), b.Inputs.size());
  for (size_t i = 0; i < a.Inputs.size(); ++i) {
    EXPECT_EQ(0, std::memcmp(&a.Inputs[i].Main, &b.Inputs[i].Main, sizeof(MainStruct))) << i;
    EXPECT_EQ(0, std::memcmp(&a.Inputs[i].Data, &b.Inputs[i].Data, sizeof(DataStruct))) << i;
    EXPECT_EQ(0, std::memcmp(&a.Inputs[i].Adjust, &b.Inputs[i].Adjust, sizeof(AdjustStruct))) << i;
  }
  ASSERT_EQ(a.Objects.size(), b.Objects.size());
  for (size_t i = 0; i < a.Objects.size(); ++i) {
    const DispObjEntry& x = a.Objects[i];
    const DispObjEntry& y = b.Objects[i];
    EXPECT_EQ(0, std::memcmp(&x.Base, &y.Base, offsetof(DispStruct, ParamSize))) << i;
    EXPECT_EQ(x.Param, y.Param) << i;
    EXPECT_EQ(x.Bitmap, y.Bitmap) << i;
    ASSERT_EQ(x.Segments.size(), y.Segments.size()) << i;
    for (size_t s = 0; s < x.Segments.size(); ++s) {
      EXPECT_EQ(x.Segments[s].Start, y.Segments[s].Start);
      EXPECT_EQ(x.Segments[s].Mask, y.Segments[s].Mask);
      EXPECT_EQ(0, std::memcmp(&x.Segments[s].Values, &y.Segments[s].Values,
                               offsetof(DispStruct, ParamSize)));
      EXPECT_EQ(x.Segments[s].Param, y.Segments[s].Param);
      EXPECT_EQ(x.Segments[s].Bitmap, y.Segments[s].Bitmap);
    }
  }
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) { return ReadBytes(path); }

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteBytes(path, bytes.data(), bytes.size());
}

std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(dir))
    names.push_back(item.path().filename().string());
  return names;
}
