// Style files: export and the four import modes, scrambled and plain
// forms, listing a folder, the preview picture, and damaged files.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "base/text.h"
#include "io/files/style.h"
#include "io/files/style_format.h"
#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "files_fixture.h"
#include "platform/graphics/bitmap_view.h"
#include "render/preview/simple_preview.h"

namespace {

class StyleTest : public FilesTest {
protected:
  // A shape with a red fill and a bitmap, placed off its default spot.
  uint32_t MakeStyledShape() {
    const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
    ShapeStruct param;
    std::memcpy(&param, DispObjGetParam(shape), sizeof(param));
    param.Shape = 4;
    param.FillColor = 0x00FF0000;
    param.LineColor = 0x000000FF;
    param.LineSize = 9;
    EXPECT_EQ(DispObjSetParam(shape, &param), 0);
    DispStruct record = *DispObjGet(shape);
    record.X = 10;
    record.Y = 20;
    record.Width = 80;
    record.Height = 60;
    record.BitmapZoom = 1.5f;
    EXPECT_EQ(DispObjSet(shape, &record), 0);
    DispTableEntry(shape)->Bitmap = MakeBitmap(5, 4, 77);
    DispTableSync(shape);
    return shape;
  }
  std::vector<uint8_t> ParamOf(uint32_t object) {
    const DispStruct* d = DispObjGet(object);
    return std::vector<uint8_t>(d->Param, d->Param + d->ParamSize);
  }
  std::vector<uint8_t> BitmapOf(uint32_t object) {
    const DispStruct* d = DispObjGet(object);
    return d->Bitmap ? std::vector<uint8_t>(d->Bitmap, d->Bitmap + d->BitmapSize) : std::vector<uint8_t>();
  }
};

bool Contains(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle) {
  return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

TEST_F(StyleTest, ScrambledRoundTripInBothApplyModes) {
  const uint32_t styled = MakeStyledShape();
  ASSERT_EQ(DispObjRename(styled, u"Red Box"), 0);
  ASSERT_EQ(DispObjExportStyle(styled, WPath("Red Box.qvo").c_str()), 0);
  const std::vector<uint8_t> file = ReadFileBytes(Path("Red Box.qvo"));
  ASSERT_GT(file.size(), 32u + 120 * 120 * 3);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "qvo2");
  EXPECT_FALSE(Contains(file, BitmapOf(styled))); // the records are scrambled

  const uint32_t plain = DispObjAdd(kDispShape, kNoInput);
  const DispStruct before = *DispObjGet(plain);
  ASSERT_EQ(DispObjImportStyle(plain, WPath("Red Box.qvo").c_str(), kStyleApply), 0);
  EXPECT_EQ(ParamOf(plain), ParamOf(styled));
  EXPECT_EQ(BitmapOf(plain), BitmapOf(styled));
  EXPECT_EQ(std::u16string(DispObjGet(plain)->Style), u"Red Box");
  EXPECT_EQ(DispObjGet(plain)->BitmapZoom, 1.5f);
  EXPECT_EQ(DispObjGet(plain)->X, before.X);
  EXPECT_EQ(std::u16string(DispObjGetName(plain)), std::u16string(before.Name));

  ASSERT_EQ(DispObjImportStyle(plain, WPath("Red Box.qvo").c_str(), kStyleApplyPlace), 0);
  EXPECT_EQ(DispObjGet(plain)->X, 10);
  EXPECT_EQ(DispObjGet(plain)->Y, 20);
  EXPECT_EQ(DispObjGet(plain)->Width, 80);
  EXPECT_EQ(DispObjGet(plain)->Height, 60);
}

TEST_F(StyleTest, PlainFormsAndVersionOneAreRead) {
  const uint32_t styled = MakeStyledShape();
  StyleImage style;
  style.Object = *DispTableEntry(styled);
  style.Scrambled = false;
  std::vector<uint8_t> bytes;
  ASSERT_EQ(StyleEncode(style, bytes), 0);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "QVO1"); // no preview given
  EXPECT_TRUE(Contains(bytes, BitmapOf(styled)));
  ASSERT_TRUE(WriteFileBytes(Path("plain1.qvo"), bytes));
  style.Preview.assign(120 * 120 * 3, 0x33);
  ASSERT_EQ(StyleEncode(style, bytes), 0);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "QVO2");
  ASSERT_TRUE(WriteFileBytes(Path("plain2.qvo"), bytes));

  for (const char* name : {"plain1.qvo", "plain2.qvo"}) {
    const uint32_t target = DispObjAdd(kDispShape, kNoInput);
    ASSERT_EQ(DispObjImportStyle(target, WPath(name).c_str(), kStyleApply), 0) << name;
    EXPECT_EQ(ParamOf(target), ParamOf(styled)) << name;
    EXPECT_EQ(BitmapOf(target), BitmapOf(styled)) << name;
  }
  ASSERT_EQ(DispObjImportStyle(0, WPath("plain2.qvo").c_str(), kStylePreviewOnly), 0);
  EXPECT_EQ(DispObjStylePreviewGetPicture(), std::vector<uint8_t>(120 * 120 * 3, 0x33));
  ASSERT_EQ(DispObjImportStyle(0, WPath("plain1.qvo").c_str(), kStylePreviewOnly), 0);
  EXPECT_TRUE(DispObjStylePreviewGetPicture().empty());
  EXPECT_EQ(DispObjStylePreviewDraw(reinterpret_cast<ImageView>(0x1234), 60, 60), -1);
}

TEST_F(StyleTest, PreviewShowsTheObjectAndDraws) {
  const uint32_t styled = MakeStyledShape();
  ASSERT_EQ(DispObjExportStyle(styled, WPath("box.qvo").c_str()), 0);
  ASSERT_EQ(DispObjImportStyle(kNoDispObj, WPath("box.qvo").c_str(), kStylePreviewOnly), 0);
  const std::vector<uint8_t> picture = DispObjStylePreviewGetPicture();
  ASSERT_EQ(picture.size(), 120u * 120 * 3);
  // The red fill is in the middle of the picture (B, G, R bytes).
  const size_t middle = (60 * 120 + 60) * 3;
  EXPECT_GT(picture[middle + 2], 200);
  EXPECT_LT(picture[middle + 1], 60);
  int views = 0;
  ImageView view = &views;
  ViewImage received;
  ViewRegister(view, [&](const ViewImage& image) {
    received = image;
    ++views;
  });
  const int slot = DispObjStylePreviewDraw(view, 48, 48);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(views, 1);
  EXPECT_EQ(received.width, 48u);
  SimplePreviewClose(static_cast<uint32_t>(slot));
  ViewUnregister(view);
}

// Where a preview picture shows something other than its grey ground.
struct PictureInk {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

PictureInk InkOf(const std::vector<uint8_t>& picture, int side) {
  PictureInk ink;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const uint8_t* p = &picture[(static_cast<size_t>(y) * side + x) * 3];
      if (std::max({std::abs(p[0] - 0x40), std::abs(p[1] - 0x40), std::abs(p[2] - 0x40)}) <= 24) continue;
      ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y), ink.bottom = y;
    }
  return ink;
}

std::vector<uint8_t> PreviewOf(const std::wstring& path) {
  EXPECT_EQ(DispObjImportStyle(kNoDispObj, path.c_str(), kStylePreviewOnly), 0);
  return DispObjStylePreviewGetPicture();
}

// A style's picture shows the whole object in its own shape: a text that
// sizes itself to its words spills out of a small box, and a wide bar
// stays wide.
TEST_F(StyleTest, PreviewShowsTheWholeObjectInItsShape) {
  constexpr int kSide = 120;
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  TextStruct words;
  std::memcpy(&words, DispObjGetParam(text), sizeof words);
  const std::u16string shown = u"Lap 12 of 40";
  std::fill(std::begin(words.Text), std::end(words.Text), u'\0');
  std::copy(shown.begin(), shown.end(), words.Text);
  words.Options = kTextAutoSize | kTextAlignLeft;
  ASSERT_EQ(DispObjSetParam(text, &words), 0);
  DispStruct box = *DispObjGet(text);
  box.X = 5, box.Y = 5, box.Width = 8, box.Height = 4;
  ASSERT_EQ(DispObjSet(text, &box), 0);
  ASSERT_EQ(DispObjExportStyle(text, WPath("words.qvo").c_str()), 0);
  const std::vector<uint8_t> wordsPicture = PreviewOf(WPath("words.qvo"));
  ASSERT_EQ(wordsPicture.size(), size_t{kSide} * kSide * 3);
  const PictureInk wordsInk = InkOf(wordsPicture, kSide);
  EXPECT_TRUE(wordsInk.left > 0 && wordsInk.top > 0 && wordsInk.right < kSide - 1 && wordsInk.bottom < kSide - 1)
      << "the text runs off the picture: " << wordsInk.left << "," << wordsInk.top << " to " << wordsInk.right
      << "," << wordsInk.bottom;
  EXPECT_GT(wordsInk.width(), kSide * 2 / 3);

  const uint32_t bar = MakeStyledShape();
  box = *DispObjGet(bar);
  box.X = 10, box.Y = 40, box.Width = 60, box.Height = 8;
  ASSERT_EQ(DispObjSet(bar, &box), 0);
  ASSERT_EQ(DispObjExportStyle(bar, WPath("bar.qvo").c_str()), 0);
  const PictureInk barInk = InkOf(PreviewOf(WPath("bar.qvo")), kSide);
  // The box on the 720 x 480 grid: 432 x 38 pixels.
  EXPECT_GT(barInk.width(), kSide * 9 / 10);
  EXPECT_NEAR(double(barInk.width()) / barInk.height(), 432.0 / 38.4, 1.5);
}

TEST_F(StyleTest, TestModeAndOtherTypes) {
  const uint32_t shape = MakeStyledShape();
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  ASSERT_EQ(DispObjExportStyle(shape, WPath("s.qvo").c_str()), 0);
  EXPECT_EQ(DispObjImportStyle(shape, WPath("s.qvo").c_str(), kStyleTest), 0);
  const std::vector<uint8_t> textParam = ParamOf(text);
  EXPECT_EQ(DispObjImportStyle(text, WPath("s.qvo").c_str(), kStyleTest), -84);
  EXPECT_EQ(DispObjImportStyle(text, WPath("s.qvo").c_str(), kStyleApply), -84);
  EXPECT_EQ(ParamOf(text), textParam);
  EXPECT_EQ(DispObjImportStyle(77, WPath("s.qvo").c_str(), kStyleApply), -41);
  EXPECT_EQ(DispObjImportStyle(shape, WPath("s.qvo").c_str(), 5), -21);
}

TEST_F(StyleTest, NewObjectFromAStyle) {
  const uint32_t styled = MakeStyledShape();
  ASSERT_EQ(DispObjExportStyle(styled, WPath("s.qvo").c_str()), 0);
  const int made = DispObjImportStyle(kNoDispObj, WPath("s.qvo").c_str(), kStyleApplyPlace);
  ASSERT_EQ(made, 1);
  EXPECT_EQ(DispObjCount(), 2u);
  EXPECT_EQ(DispObjGetType(1), kDispShape);
  EXPECT_EQ(ParamOf(1), ParamOf(styled));
  EXPECT_EQ(DispObjGet(1)->Width, 80);
}

TEST_F(StyleTest, ScriptedObjectTakesTheStylesBlock) {
  const uint32_t source = DispObjAdd(kDispEnhanced, kNoInput);
  DispObjEntry& entry = *DispTableEntry(source);
  entry.Param.assign(sizeof(EnhParam), 0);
  std::strcpy(reinterpret_cast<EnhParam*>(entry.Param.data())->BackScript, "fill(1)");
  DispTableSync(source);
  ASSERT_EQ(DispObjExportStyle(source, WPath("script.qvo").c_str()), 0);
  const uint32_t bare = DispObjAdd(kDispEnhanced, kNoInput);
  ASSERT_EQ(DispObjGet(bare)->ParamSize, 0u);
  ASSERT_EQ(DispObjImportStyle(bare, WPath("script.qvo").c_str(), kStyleApply), 0);
  EXPECT_EQ(ParamOf(bare), entry.Param);
}

TEST_F(StyleTest, ListingKeepsStylesOfTheType) {
  const uint32_t shape = MakeStyledShape();
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  ASSERT_EQ(mkdir(Path("Styles").c_str(), 0755), 0);
  ASSERT_EQ(DispObjExportStyle(shape, WPath("Styles/b box.qvo").c_str()), 0);
  ASSERT_EQ(DispObjExportStyle(shape, WPath("Styles/A Box.QVO").c_str()), 0);
  ASSERT_EQ(DispObjExportStyle(text, WPath("Styles/label.qvo").c_str()), 0);
  ASSERT_TRUE(WriteFileBytes(Path("Styles/junk.qvo"), {'q', 'v', 'o', '2', 1, 2}));
  ASSERT_TRUE(WriteFileBytes(Path("Styles/notes.txt"), {'h', 'i'}));
  EXPECT_EQ(DispObjListStyleInit(shape, Utf8ToWide(Path("Styles")).c_str()), 2);
  EXPECT_EQ(std::wstring(DispObjListStyleGet(0)), L"A Box.QVO");
  EXPECT_EQ(std::wstring(DispObjListStyleGet(1)), L"b box.qvo");
  EXPECT_EQ(std::wstring(DispObjListStyleGet(2)), L"");
  EXPECT_EQ(DispObjListStyleInit(text, Utf8ToWide(Path("Styles/")).c_str()), 1);
  EXPECT_EQ(DispObjListStyleInit(shape, Utf8ToWide(Path("nowhere")).c_str()), 0);
}

TEST_F(StyleTest, DamagedFilesChangeNothing) {
  const uint32_t styled = MakeStyledShape();
  ASSERT_EQ(DispObjExportStyle(styled, WPath("s.qvo").c_str()), 0);
  const std::vector<uint8_t> file = ReadFileBytes(Path("s.qvo"));
  const uint32_t target = DispObjAdd(kDispShape, kNoInput);
  const std::vector<uint8_t> param = ParamOf(target);
  const DispStruct record = *DispObjGet(target);
  StyleImage style;
  for (size_t size = 0; size < file.size(); ++size)
    ASSERT_LT(StyleDecode(file.data(), size, style), 0) << size;
  for (size_t i = 0; i < file.size(); ++i) {
    std::vector<uint8_t> damaged = file;
    damaged[i] ^= static_cast<uint8_t>(1u << (i % 8));
    ASSERT_LT(StyleDecode(damaged.data(), damaged.size(), style), 0) << i;
  }
  for (size_t size : {size_t{0}, size_t{3}, size_t{31}, file.size() / 2, file.size() - 1}) {
    ASSERT_TRUE(WriteFileBytes(Path("cut.qvo"), std::vector<uint8_t>(file.begin(), file.begin() + size)));
    EXPECT_LT(DispObjImportStyle(target, WPath("cut.qvo").c_str(), kStyleApply), 0);
  }
  std::vector<uint8_t> other = file;
  std::memcpy(other.data(), "qvo3", 4);
  ASSERT_TRUE(WriteFileBytes(Path("newer.qvo"), other));
  EXPECT_EQ(DispObjImportStyle(target, WPath("newer.qvo").c_str(), kStyleApply), -85);
  std::memcpy(other.data(), "QVP2", 4);
  ASSERT_TRUE(WriteFileBytes(Path("project.qvo"), other));
  EXPECT_EQ(DispObjImportStyle(target, WPath("project.qvo").c_str(), kStyleApply), -84);
  EXPECT_EQ(DispObjImportStyle(target, WPath("missing.qvo").c_str(), kStyleApply), -80);
  EXPECT_EQ(DispObjImportStyle(target, nullptr, kStyleApply), -21);
  // A style whose parameter block does not fit its type, with a good CRC.
  style.Object = *DispTableEntry(styled);
  style.Object.Param.resize(7);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(StyleEncode(style, bytes), 0);
  ASSERT_TRUE(WriteFileBytes(Path("odd.qvo"), bytes));
  EXPECT_EQ(DispObjImportStyle(target, WPath("odd.qvo").c_str(), kStyleApply), -81);
  EXPECT_EQ(ParamOf(target), param);
  EXPECT_EQ(0, std::memcmp(DispObjGet(target), &record, offsetof(DispStruct, ParamSize)));
  EXPECT_EQ(DispObjExportStyle(styled, WPath("none/s.qvo").c_str()), -82);
}

} // namespace
