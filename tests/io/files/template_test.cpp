// Templates: export of chosen objects and inputs, loading with the first
// choice of inputs, applying, the thumbnail, plain and scrambled forms, and
// damaged files.
#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "base/file_io.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/template_format.h"
#include "io/files/templates.h"
#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "model/project.h"
#include "files_fixture.h"
#include "platform/graphics/bitmap_view.h"
#include "render/preview/simple_preview.h"

namespace {

uint32_t AddInputOfType(uint8_t type, const char16_t* name) {
  const uint32_t input = InputStoreAppend();
  MainStruct& main = *InputTableMain(input);
  Str16CopyN(main.Name, name, kNameLength - 1);
  main.Type = type;
  main.OpenFailed = 1;
  return input;
}

class TemplateTest : public FilesTest {
protected:
  void TearDown() override {
    TemplateImportClear();
    FilesTest::TearDown();
  }
  // Inputs: 0 data, 1 video, 2 audio. Objects: 0 group with members 1 (a
  // red shape over the whole frame with a bitmap) and 2 (text on the
  // data), 3 a picture of the video.
  void BuildSource() {
    data_ = AddInputOfType(kInputData, u"run.csv");
    video_ = AddInputOfType(kInputVideo, u"clip.mp4");
    AddInputOfType(kInputAudio, u"voice.wav");
    const uint32_t group = DispObjAdd(kDispGroup, kNoInput);
    const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
    const uint32_t text = DispObjAdd(kDispText, data_);
    DispObjAdd(kDispVideo, video_);
    ShapeStruct param;
    std::memcpy(&param, DispObjGetParam(shape), sizeof(param));
    param.Shape = 4;
    param.FillColor = 0x00FF0000;
    ASSERT_EQ(DispObjSetParam(shape, &param), 0);
    for (uint32_t member : {shape, text}) {
      DispStruct record = *DispObjGet(member);
      record.ParentObject = group;
      if (member == shape) {
        record.X = record.Y = 0;
        record.Width = record.Height = 100;
      }
      ASSERT_EQ(DispObjSet(member, &record), 0);
    }
    DispTableEntry(shape)->Bitmap = MakeBitmap(4, 3, 11);
    DispTableSync(shape);
  }
  void ExportAll(const std::string& name) {
    ASSERT_EQ(TemplateExportOpen(WPath(name).c_str()), 0);
    ASSERT_EQ(TemplateExportAddInput(video_, u"Video 1"), 0);
    ASSERT_EQ(TemplateExportAddInput(data_, u"Data 1"), 0);
    const char16_t* names[] = {u"Dash", u"Box", u"(Speed)", u"Camera"};
    for (uint32_t i = 0; i < 4; ++i) ASSERT_EQ(TemplateExportAddDispObj(i, names[i]), 0);
    ASSERT_EQ(TemplateExportClose(), 0);
  }
  uint32_t data_ = 0, video_ = 0;
};

bool Contains(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle) {
  return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

TEST_F(TemplateTest, ExportLoadAndApplyWithMapping) {
  BuildSource();
  const std::vector<uint8_t> shapeParam = DispTableEntry(1)->Param;
  const std::vector<uint8_t> shapeBitmap = DispTableEntry(1)->Bitmap;
  ExportAll("t.qvt");
  const std::vector<uint8_t> file = ReadFileBytes(Path("t.qvt"));
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "qvt1");
  EXPECT_FALSE(Contains(file, shapeBitmap));

  // Another project: the same kinds of input in another order.
  ASSERT_EQ(ProjectNew(), 0);
  AddInputOfType(kInputVideo, u"other.mp4");
  AddInputOfType(kInputData, u"other.csv");
  DispObjAdd(kDispText, kNoInput);
  ASSERT_EQ(TemplateImportLoad(WPath("t.qvt").c_str(), kNoInput, 0), 0);
  ASSERT_EQ(TemplateImportGetInputCount(), 2u);
  EXPECT_EQ(std::u16string(TemplateImportGetInputName(0)), u"Video 1");
  EXPECT_EQ(std::u16string(TemplateImportGetInputName(1)), u"Data 1");
  EXPECT_EQ(TemplateImportGetInputType(0), 1u);
  EXPECT_EQ(TemplateImportGetInputType(1), 4u);
  EXPECT_EQ(TemplateImportGetInputID(0), 0u);
  EXPECT_EQ(TemplateImportGetInputID(1), 1u);
  EXPECT_EQ(TemplateImportGetInputName(2), nullptr);
  EXPECT_EQ(ErrorGetLast(), -41);
  ASSERT_EQ(TemplateImportApply(), 0);
  ASSERT_EQ(DispObjCount(), 5u);
  EXPECT_EQ(std::u16string(DispObjGetName(1)), u"Dash");
  EXPECT_EQ(std::u16string(DispObjGetName(3)), u"(Speed)");
  EXPECT_EQ(DispObjGet(2)->ParentObject, 1u);
  EXPECT_EQ(DispObjGet(3)->ParentObject, 1u);
  EXPECT_EQ(DispObjGet(4)->ParentObject, kNoDispObj);
  EXPECT_EQ(DispObjGet(3)->InputID, 1); // the data input
  EXPECT_EQ(DispObjGet(4)->InputID, 0); // the video
  EXPECT_EQ(DispTableEntry(2)->Param, shapeParam);
  EXPECT_EQ(DispTableEntry(2)->Bitmap, shapeBitmap);

  // No input chosen for the video: its object shows none; names stay unique.
  TemplateImportSetInputID(0, kNoInput);
  ASSERT_EQ(TemplateImportApply(), 0);
  EXPECT_EQ(std::u16string(DispObjGetName(5)), u"Dash - 001");
  EXPECT_EQ(DispObjGet(8)->InputID, kNoInput);
  TemplateImportSetInputID(7, 0);
  EXPECT_EQ(ErrorGetLast(), -41);
}

// The export window writes the top of the drawing first and groups before
// their members; the starter set was written bottom first. Both apply in
// the exporting project's order.
TEST_F(TemplateTest, EitherRecordOrderAppliesInTheDrawingOrder) {
  BuildSource();
  for (const char* name : {"down.qvt", "up.qvt"}) {
    ASSERT_EQ(TemplateExportOpen(WPath(name).c_str()), 0);
    const bool down = name[0] == 'd';
    for (uint32_t k = 0; k < 4; ++k) {
      const uint32_t object = down ? 3 - k : k;
      ASSERT_EQ(TemplateExportAddDispObj(object, DispObjGetName(object)), 0);
    }
    ASSERT_EQ(TemplateExportClose(), 0);
  }
  for (const char* name : {"down.qvt", "up.qvt"}) {
    ASSERT_EQ(ProjectNew(), 0);
    ASSERT_EQ(TemplateImportLoad(WPath(name).c_str(), kNoInput, 0), 0);
    ASSERT_EQ(TemplateImportApply(), 0);
    ASSERT_EQ(DispObjCount(), 4u) << name;
    const uint8_t types[] = {kDispGroup, kDispShape, kDispText, kDispVideo};
    const uint32_t parents[] = {kNoDispObj, 0, 0, kNoDispObj};
    for (uint32_t i = 0; i < 4; ++i) {
      EXPECT_EQ(DispObjGet(i)->Type, types[i]) << name << " " << i;
      EXPECT_EQ(DispObjGet(i)->ParentObject, parents[i]) << name << " " << i;
    }
  }
}

TEST_F(TemplateTest, FirstChoiceRule) {
  TemplateImage image;
  image.Inputs.resize(4);
  const uint8_t types[] = {1, 1, 4, 3};
  for (size_t i = 0; i < 4; ++i) {
    image.Inputs[i].Type = types[i];
    image.Inputs[i].Original = static_cast<uint8_t>(i);
  }
  std::vector<uint8_t> bytes;
  ASSERT_EQ(TemplateEncode(image, bytes), 0);
  ASSERT_TRUE(WriteFileBytes(Path("rule.qvt"), bytes));
  AddInputOfType(kInputAudio, u"a");     // 0
  AddInputOfType(kInputVideo, u"v1");    // 1
  AddInputOfType(kInputJoinData, u"jd"); // 2
  AddInputOfType(kInputVideo, u"v2");    // 3
  AddInputOfType(kInputData, u"d");      // 4
  ASSERT_EQ(TemplateImportLoad(WPath("rule.qvt").c_str(), kNoInput, 0), 0);
  EXPECT_EQ(TemplateImportGetInputID(0), 1u); // first video
  EXPECT_EQ(TemplateImportGetInputID(1), 3u); // second video
  EXPECT_EQ(TemplateImportGetInputID(2), 4u); // first data log
  EXPECT_EQ(TemplateImportGetInputID(3), 0u); // no image: input 0
  ASSERT_EQ(TemplateImportLoad(WPath("rule.qvt").c_str(), 3, 0), 0);
  EXPECT_EQ(TemplateImportGetInputID(0), 3u); // the given video
  EXPECT_EQ(TemplateImportGetInputID(1), 3u);
  EXPECT_EQ(TemplateImportGetInputID(2), 4u);
  // A joined data input given for a data template is taken for it.
  ASSERT_EQ(TemplateImportLoad(WPath("rule.qvt").c_str(), 2, 0), 0);
  EXPECT_EQ(TemplateImportGetInputID(2), 2u);
  EXPECT_EQ(TemplateImportGetInputID(0), 1u);
}

TEST_F(TemplateTest, PlainFormAndPreviewOnly) {
  BuildSource();
  ExportAll("t.qvt");
  const std::vector<uint8_t> file = ReadFileBytes(Path("t.qvt"));
  TemplateImage image;
  ASSERT_EQ(TemplateDecode(file.data(), file.size(), image), 0);
  image.Scrambled = false;
  std::vector<uint8_t> plain;
  ASSERT_EQ(TemplateEncode(image, plain), 0);
  EXPECT_EQ(std::string(plain.begin(), plain.begin() + 4), "QVT1");
  EXPECT_TRUE(Contains(plain, DispTableEntry(1)->Bitmap));
  ASSERT_TRUE(WriteFileBytes(Path("plain.qvt"), plain));
  ASSERT_EQ(TemplateImportLoad(WPath("plain.qvt").c_str(), kNoInput, 0), 0);
  EXPECT_EQ(TemplateImportGetInputCount(), 2u);

  // The thumbnail is the project frame: the red shape fills it.
  ASSERT_EQ(TemplateImportLoad(WPath("t.qvt").c_str(), kNoInput, 1), 0);
  EXPECT_EQ(TemplateImportGetInputCount(), 0u);
  const std::vector<uint8_t> thumb = TemplateImportGetThumbnail();
  ASSERT_EQ(thumb.size(), 180u * 120 * 3);
  const size_t middle = (60 * 180 + 90) * 3;
  EXPECT_GT(thumb[middle + 2], 200);
  EXPECT_LT(thumb[middle], 60);
  int received = 0;
  ImageView view = &received;
  ViewRegister(view, [&](const ViewImage&) { ++received; });
  const int slot = TemplateImportCreatePreview(view, 90, 60);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(received, 1);
  SimplePreviewClose(static_cast<uint32_t>(slot));
  ViewUnregister(view);
  // A damaged body still shows its thumbnail but does not load.
  std::vector<uint8_t> damaged = file;
  damaged[damaged.size() - 10] ^= 4;
  ASSERT_TRUE(WriteFileBytes(Path("damaged.qvt"), damaged));
  EXPECT_EQ(TemplateImportLoad(WPath("damaged.qvt").c_str(), kNoInput, 1), 0);
  EXPECT_EQ(TemplateImportLoad(WPath("damaged.qvt").c_str(), kNoInput, 0), -83);
  EXPECT_EQ(TemplateImportCreatePreview(view, 90, 60), -1);
}

TEST_F(TemplateTest, BadFilesGiveTheirCodes) {
  BuildSource();
  ExportAll("t.qvt");
  const std::vector<uint8_t> file = ReadFileBytes(Path("t.qvt"));
  TemplateImage image;
  for (size_t size = 0; size < file.size(); size += (size < 200 || size + 200 > file.size()) ? 1 : 61) {
    ASSERT_LT(TemplateDecode(file.data(), size, image), 0) << size;
    ASSERT_NE(TemplateDecodeHead(file.data(), std::min<size_t>(size, 32 + kThumbBytes), size, image), 0) << size;
  }
  for (size_t i = 0; i < file.size(); i += (i < 64 || i + 64 > file.size()) ? 1 : 7) {
    std::vector<uint8_t> damaged = file;
    damaged[i] ^= static_cast<uint8_t>(1u << (i % 8));
    ASSERT_LT(TemplateDecode(damaged.data(), damaged.size(), image), 0) << i;
  }
  EXPECT_EQ(TemplateImportLoad(nullptr, kNoInput, 0), -21);
  EXPECT_EQ(TemplateImportLoad(WPath("missing.qvt").c_str(), kNoInput, 0), -80);
  ASSERT_TRUE(WriteFileBytes(Path("short.qvt"), std::vector<uint8_t>(file.begin(), file.begin() + 100)));
  EXPECT_EQ(TemplateImportLoad(WPath("short.qvt").c_str(), kNoInput, 0), -81);
  std::vector<uint8_t> other = file;
  std::memcpy(other.data(), "qvt2", 4);
  ASSERT_TRUE(WriteFileBytes(Path("newer.qvt"), other));
  EXPECT_EQ(TemplateImportLoad(WPath("newer.qvt").c_str(), kNoInput, 0), -85);
  std::memcpy(other.data(), "qvo2", 4);
  ASSERT_TRUE(WriteFileBytes(Path("style.qvt"), other));
  EXPECT_EQ(TemplateImportLoad(WPath("style.qvt").c_str(), kNoInput, 0), -84);
  std::vector<uint8_t> flipped = file;
  flipped[file.size() / 2] ^= 1;
  ASSERT_TRUE(WriteFileBytes(Path("flip.qvt"), flipped));
  EXPECT_EQ(TemplateImportLoad(WPath("flip.qvt").c_str(), kNoInput, 0), -83);
  // Too many inputs, with every CRC right.
  ASSERT_EQ(TemplateDecode(file.data(), file.size(), image), 0);
  image.Inputs.resize(129, image.Inputs[0]);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(TemplateEncode(image, bytes), 0);
  EXPECT_EQ(TemplateDecode(bytes.data(), bytes.size(), image), -81);
  // Nothing loaded after a failure: applying creates nothing.
  const uint32_t objects = DispObjCount();
  EXPECT_EQ(TemplateImportApply(), -21);
  EXPECT_EQ(DispObjCount(), objects);
}

TEST_F(TemplateTest, ExportAndApplyRefusals) {
  BuildSource();
  EXPECT_EQ(TemplateExportAddInput(0, u"x"), -21);
  EXPECT_EQ(TemplateExportClose(), -21);
  EXPECT_EQ(TemplateExportOpen(WPath("none/t.qvt").c_str()), -82);
  ASSERT_EQ(TemplateExportOpen(WPath("t.qvt").c_str()), 0);
  EXPECT_EQ(TemplateExportAddInput(9, u"x"), -41);
  EXPECT_EQ(TemplateExportAddDispObj(40, u"x"), -41);
  ASSERT_EQ(TemplateExportAddDispObj(1, u"Box"), 0);
  ASSERT_EQ(TemplateExportClose(), 0);
  ASSERT_EQ(TemplateImportLoad(WPath("t.qvt").c_str(), kNoInput, 0), 0);
  while (DispObjCount() < kMaxDispObjs) ASSERT_NE(DispObjAdd(kDispShape, kNoInput), kNoDispObj);
  EXPECT_EQ(TemplateImportApply(), -40);
  EXPECT_EQ(DispObjCount(), kMaxDispObjs);
  // An export abandoned after a refused record leaves no file, and a file
  // of that name as it was.
  std::vector<uint8_t> before;
  ASSERT_EQ(FileReadAll(WPath("t.qvt"), size_t{1} << 24, before), 0);
  ASSERT_EQ(TemplateExportOpen(WPath("t.qvt").c_str()), 0);
  ASSERT_EQ(TemplateExportAddDispObj(0, u"Dash"), 0);
  EXPECT_EQ(TemplateExportAddDispObj(kMaxDispObjs + 9, u"x"), -41);
  TemplateExportAbort();
  EXPECT_EQ(TemplateExportClose(), -21);
  std::vector<uint8_t> after;
  ASSERT_EQ(FileReadAll(WPath("t.qvt"), size_t{1} << 24, after), 0);
  EXPECT_EQ(after, before);
  // An export left open is dropped by the next open: no stray files.
  ASSERT_EQ(TemplateExportOpen(WPath("a.qvt").c_str()), 0);
  ASSERT_EQ(TemplateExportOpen(WPath("b.qvt").c_str()), 0);
  ASSERT_EQ(TemplateExportClose(), 0);
  std::vector<std::string> names;
  for (const std::string& name : FolderNames(Dir()))
    if (name.find(".qvt") != std::string::npos) names.push_back(name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"b.qvt", "t.qvt"}));
}

} // namespace
