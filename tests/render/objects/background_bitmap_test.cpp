// Background bitmaps: import, export, options, clear, embedded images from
// files, a preview of the bitmap alone and object snapshots.
#include "render/render_fixture.h"

#include "base/error.h"
#include "base/text.h"
#include "model/dispobj_table.h"
#include "media/bmp_file.h"
#include "render/objects/background_bitmap.h"
#include "render/preview/simple_preview.h"

#include <fstream>

namespace {

// A 4 x 2 picture: top row red, bottom row blue, written top-down.
std::wstring writePicture(const std::string& path) {
  std::vector<uint8_t> px(4 * 2 * 3);
  for (int i = 0; i < 4; ++i) {
    px[i * 3 + 2] = 255;         // top row red
    px[12 + i * 3 + 0] = 255;    // bottom row blue
  }
  const std::wstring wide = Utf8ToWide(path);
  EXPECT_EQ(BmpWriteFile(wide, px.data(), 4, 2, 24, true), 0);
  return wide;
}

} // namespace

class BackgroundBitmapTest : public RenderTest {};

TEST_F(BackgroundBitmapTest, ImportStoresBottomUpPixelsAndExportWritesThemBack) {
  const uint32_t s = AddShape(4, 0xFF000000, 0xFF000000, 0, 0, 0, 50, 50);
  EXPECT_EQ(DispObjBitmapGetOptions(s), 255u);
  const std::wstring in = writePicture(TempPath("pic.bmp"));
  ASSERT_EQ(DispObjBitmapImport(s, in.c_str()), 0);
  const DispObjEntry* e = DispTableEntry(s);
  ASSERT_EQ(e->Bitmap.size(), sizeof(DispBitmapHeader) + 4 * 2 * 4);
  uint32_t first;
  std::memcpy(&first, e->Bitmap.data() + sizeof(DispBitmapHeader), 4);
  EXPECT_EQ(first & 0xFFFFFF, 0x0000FFu); // bottom row first: blue
  EXPECT_EQ(DispObjBitmapGetOptions(s), 0u);
  ASSERT_EQ(DispObjBitmapSetOptions(s, 0xFF), 0);
  EXPECT_EQ(DispObjBitmapGetOptions(s), 0x7Fu);

  const std::wstring out = Utf8ToWide(TempPath("out.bmp"));
  ASSERT_EQ(DispObjBitmapExport(s, out.c_str()), 0);
  MediaImageData back{};
  ASSERT_EQ(BmpReadFile(out, &back), 0);
  EXPECT_EQ(back.Header.biWidth, 4);
  EXPECT_EQ(std::abs(back.Header.biHeight), 2);
  MediaImageDataFree(&back);

  ASSERT_EQ(DispObjBitmapClear(s), 0);
  EXPECT_EQ(DispObjBitmapGetOptions(s), 255u);
  EXPECT_LT(DispObjBitmapExport(s, out.c_str()), 0);
  EXPECT_LT(DispObjBitmapSetOptions(s, 1), 0);
}

TEST_F(BackgroundBitmapTest, BadFilesAndObjectsAreRefused) {
  const uint32_t s = AddShape(4, 0xFF000000, 0xFF000000, 0, 0, 0, 50, 50);
  const std::string junk = TempPath("junk.png");
  std::ofstream(junk) << "not a picture at all";
  EXPECT_LT(DispObjBitmapImport(s, Utf8ToWide(junk).c_str()), 0);
  EXPECT_LT(DispObjBitmapImport(s, Utf8ToWide(TempPath("missing.bmp")).c_str()), 0);
  EXPECT_EQ(DispObjBitmapImport(s, nullptr), -21);
  const std::wstring good = writePicture(TempPath("good.bmp"));
  EXPECT_EQ(DispObjBitmapImport(77, good.c_str()), -41);
  EXPECT_EQ(DispObjBitmapImport(kNoDispObj, good.c_str()), -21);
  EXPECT_EQ(DispObjBitmapGetOptions(77), 255u);
}

TEST_F(BackgroundBitmapTest, EmbeddedImageFromFileShowsThePicture) {
  const std::wstring in = writePicture(TempPath("emb.bmp"));
  const int32_t e = DispObjAddEImageFromFile(in.c_str());
  ASSERT_GE(e, 0);
  Edit(static_cast<uint32_t>(e), [](DispStruct& r) {
    r.X = 0;
    r.Y = 0;
    r.Width = 100;
    r.Height = 100;
    r.OffsetTime = 0;
  });
  std::vector<uint32_t> f = RenderAt(0, 80, 40);
  EXPECT_LE(ColourDiff(FramePixel(f, 80, 40, 40, 5), 0xFF0000), 2);
  EXPECT_LE(ColourDiff(FramePixel(f, 80, 40, 40, 35), 0x0000FF), 2);
  const uint32_t before = DispObjCount();
  EXPECT_EQ(DispObjAddEImageFromFile(Utf8ToWide(TempPath("none.bmp")).c_str()), -1);
  EXPECT_EQ(DispObjCount(), before); // the failed object is removed again
}

TEST_F(BackgroundBitmapTest, BitmapAloneInASimplePreview) {
  const uint32_t s = AddShape(4, 0x00FF00, 0xFF000000, 0, 0, 0, 50, 50);
  ASSERT_EQ(DispObjBitmapImport(s, writePicture(TempPath("p.bmp")).c_str()), 0);
  std::vector<ViewImage> shown;
  int view = 0;
  ViewRegister(&view, [&](const ViewImage& image) { shown.push_back(image); });
  const int slot = DispObjBitmapSimplePreview(s, &view, 40, 20);
  ASSERT_GE(slot, 0);
  ASSERT_EQ(shown.size(), 1u);
  const uint8_t* top = shown[0].rgba.data() + (2 * 40 + 20) * 4;
  EXPECT_EQ(top[0], 255); // red, not the shape's green
  EXPECT_EQ(top[1], 0);
  SimplePreviewClose(static_cast<uint32_t>(slot));
  EXPECT_EQ(DispObjBitmapSimplePreview(77, &view, 40, 20), -1);
  ViewUnregister(&view);
}

TEST_F(BackgroundBitmapTest, SnapshotOfAnObjectAloneKeepsItsTransparency) {
  const uint32_t c = AddShape(3, 0xFF8000, 0xFF000000, 0, 10, 10, 50, 50); // a circle
  const std::wstring path = Utf8ToWide(TempPath("snap.bmp"));
  ASSERT_EQ(DispObjExportSnapshot(c, path.c_str(), 0), 0);
  MediaImageData image{};
  ASSERT_EQ(BmpReadFile(path, &image), 0);
  EXPECT_EQ(image.Header.biWidth, 360); // half of the 720 x 480 grid
  EXPECT_EQ(std::abs(image.Header.biHeight), 240);
  ASSERT_EQ(image.Header.biBitCount, 32);
  auto pixel = [&](int x, int y) {
    const int row = image.TopDown ? y : 239 - y;
    uint32_t p;
    std::memcpy(&p, image.Pixels + (size_t(row) * 360 + x) * 4, 4);
    return p;
  };
  EXPECT_EQ(pixel(180, 120), 0xFFFF8000u);
  EXPECT_EQ(pixel(2, 2) >> 24, 0u); // outside the circle: clear
  MediaImageDataFree(&image);
  EXPECT_EQ(DispObjExportSnapshot(99, path.c_str(), 0), -41);
}
