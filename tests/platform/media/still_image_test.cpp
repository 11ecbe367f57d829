// Still images through FFmpeg's decoders: content, alpha, grey and 16-bit
// pictures, Exif orientation and GPS, and files that are no pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <libexif/exif-data.h>
#include <libexif/exif-mem.h>

#include "base/text.h"
#include "platform/media/still_image.h"
#include "support/media_fixtures.h"

namespace {

constexpr int kW = 96, kH = 64;

std::string MakeImage(const std::string& name, const std::string& inFormat, const std::string& args = "") {
  std::vector<uint8_t> rgb = MakeIndexFrame(21, kW, kH);
  std::string raw = MediaTestPath(name + ".rgb");
  EXPECT_TRUE(WriteBytes(raw, rgb.data(), rgb.size()));
  std::string path = MediaTestPath(name);
  EXPECT_TRUE(RunFfmpeg("-f rawvideo -pix_fmt rgb24 -s 96x64 -i " + raw + " " + inFormat + " " + args + " " + path));
  return path;
}

int Open(const std::string& path, MediaImageData* image) {
  *image = {};
  return MediaImageOpenMac(WideToUtf16(Utf8ToWide(path)).c_str(), image);
}

TEST(StillImage, PngDecodesExactlyAndOpaque) {
  MediaImageData image{};
  ASSERT_EQ(Open(MakeImage("a.png", ""), &image), 0);
  EXPECT_EQ(image.Header.biWidth, kW);
  EXPECT_EQ(image.Header.biHeight, kH);
  EXPECT_EQ(image.Header.biBitCount, 32);
  EXPECT_EQ(image.Header.biSizeImage, static_cast<uint32_t>(kW * kH * 4));
  EXPECT_EQ(image.TopDown, 1u);
  EXPECT_EQ(ReadFrameIndex(image.Pixels, kW, kH, false), 21);
  EXPECT_EQ(PixelAt(image.Pixels, kW, kH, false, 1, kH - 1), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(image.Pixels, kW, kH, false, kW - 1, kH - 1), 0xFF808080u);
  MediaImageDataFree(&image);
}

TEST(StillImage, AlphaIsKept) {
  std::vector<uint8_t> rgba(4 * 4 * 4);
  for (int i = 0; i < 16; ++i) {
    rgba[i * 4] = 10, rgba[i * 4 + 1] = 20, rgba[i * 4 + 2] = 30, rgba[i * 4 + 3] = static_cast<uint8_t>(i * 16);
  }
  std::string raw = MediaTestPath("alpha.rgba");
  ASSERT_TRUE(WriteBytes(raw, rgba.data(), rgba.size()));
  std::string path = MediaTestPath("alpha.png");
  ASSERT_TRUE(RunFfmpeg("-f rawvideo -pix_fmt rgba -s 4x4 -i " + raw + " " + path));
  MediaImageData image{};
  ASSERT_EQ(Open(path, &image), 0);
  for (int i = 0; i < 16; ++i) {
    ASSERT_EQ(image.Pixels[i * 4], 30);
    ASSERT_EQ(image.Pixels[i * 4 + 2], 10);
    ASSERT_EQ(image.Pixels[i * 4 + 3], i * 16);
  }
  MediaImageDataFree(&image);
}

TEST(StillImage, GreyAndSixteenBitBecomeEightBitRgb) {
  MediaImageData image{};
  ASSERT_EQ(Open(MakeImage("grey.png", "-pix_fmt gray"), &image), 0);
  EXPECT_EQ(PixelAt(image.Pixels, kW, kH, false, kW - 1, kH - 1) & 0xFF000000u, 0xFF000000u);
  uint32_t grey = PixelAt(image.Pixels, kW, kH, false, kW - 1, kH - 1);
  EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
  EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);
  EXPECT_EQ(ReadFrameIndex(image.Pixels, kW, kH, false), 21);
  MediaImageDataFree(&image);
  ASSERT_EQ(Open(MakeImage("deep.png", "-pix_fmt rgb48be"), &image), 0);
  EXPECT_EQ(PixelAt(image.Pixels, kW, kH, false, 1, kH - 1), 0xFFFF0000u);
  MediaImageDataFree(&image);
}

TEST(StillImage, NotAPictureIsRefused) {
  MediaImageData image{};
  std::string text = MediaTestPath("t.png");
  ASSERT_TRUE(WriteBytes(text, "hello there, no picture", 23));
  EXPECT_LT(Open(text, &image), 0);
  EXPECT_EQ(image.Pixels, nullptr);
  EXPECT_LT(Open(MediaTestPath("missing.png"), &image), 0);
  EXPECT_EQ(MediaImageOpenMac(nullptr, &image), -21);
  EXPECT_EQ(MediaImageOpenMac(u"/x.png", nullptr), -21);
  // A video is no still image for this decoder.
  std::string video = MediaTestPath("v.mp4");
  ASSERT_TRUE(MakeIndexVideo(video, 5, kW, kH, "25", "-c:v libx264 -pix_fmt yuv420p"));
  EXPECT_LT(Open(video, &image), 0);
}

TEST(StillImage, CraftedHugeSizeIsRefused) {
  std::vector<uint8_t> png = ReadBytes(MakeImage("small.png", ""));
  ASSERT_GT(png.size(), 33u);
  // IHDR width and height at bytes 16..23 (the CRC no longer matches).
  const uint8_t huge[8] = {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60}; // 60000 x 60000
  std::memcpy(&png[16], huge, 8);
  std::string path = MediaTestPath("huge.png");
  ASSERT_TRUE(WriteBytes(path, png.data(), png.size()));
  MediaImageData image{};
  EXPECT_LT(Open(path, &image), 0);
  EXPECT_EQ(image.Pixels, nullptr);
  EXPECT_EQ(MediaImageDataAlloc(&image, 40000, 40000, 32), -22);
  EXPECT_EQ(MediaImageDataAlloc(&image, -1, 4, 32), -22);
}

// Exif of a camera picture: orientation 6 (turn a quarter clockwise to
// show), and a GPS position south and west.
std::vector<uint8_t> MakeExif() {
  ExifMem* mem = exif_mem_new_default();
  ExifData* ed = exif_data_new_mem(mem);
  exif_data_set_byte_order(ed, EXIF_BYTE_ORDER_INTEL);
  auto add = [&](ExifIfd ifd, int tag, ExifFormat format, unsigned components) {
    ExifEntry* e = exif_entry_new_mem(mem);
    e->tag = static_cast<ExifTag>(tag);
    e->format = format;
    e->components = components;
    e->size = exif_format_get_size(format) * components;
    e->data = static_cast<unsigned char*>(exif_mem_alloc(mem, e->size));
    exif_content_add_entry(ed->ifd[ifd], e);
    exif_entry_unref(e);
    return e;
  };
  ExifEntry* o = add(EXIF_IFD_0, EXIF_TAG_ORIENTATION, EXIF_FORMAT_SHORT, 1);
  exif_set_short(o->data, EXIF_BYTE_ORDER_INTEL, 6);
  ExifEntry* latRef = add(EXIF_IFD_GPS, EXIF_TAG_GPS_LATITUDE_REF, EXIF_FORMAT_ASCII, 2);
  std::memcpy(latRef->data, "S", 2);
  ExifEntry* lat = add(EXIF_IFD_GPS, EXIF_TAG_GPS_LATITUDE, EXIF_FORMAT_RATIONAL, 3);
  ExifRational latParts[3] = {{33, 1}, {52, 1}, {3600, 100}}; // 33 deg 52' 36"
  for (int i = 0; i < 3; ++i) exif_set_rational(lat->data + 8 * i, EXIF_BYTE_ORDER_INTEL, latParts[i]);
  ExifEntry* lonRef = add(EXIF_IFD_GPS, EXIF_TAG_GPS_LONGITUDE_REF, EXIF_FORMAT_ASCII, 2);
  std::memcpy(lonRef->data, "W", 2);
  ExifEntry* lon = add(EXIF_IFD_GPS, EXIF_TAG_GPS_LONGITUDE, EXIF_FORMAT_RATIONAL, 3);
  ExifRational lonParts[3] = {{151, 1}, {12, 1}, {0, 1}};
  for (int i = 0; i < 3; ++i) exif_set_rational(lon->data + 8 * i, EXIF_BYTE_ORDER_INTEL, lonParts[i]);
  unsigned char* data = nullptr;
  unsigned int size = 0;
  exif_data_save_data(ed, &data, &size);
  std::vector<uint8_t> out(data, data + size);
  exif_mem_free(mem, data);
  exif_data_unref(ed);
  exif_mem_unref(mem);
  return out;
}

std::string MakeExifJpeg() {
  std::vector<uint8_t> jpeg = ReadBytes(MakeImage("plain.jpg", "-q:v 2"));
  std::vector<uint8_t> exif = MakeExif();
  EXPECT_GT(exif.size(), 6u);
  std::vector<uint8_t> out = {0xFF, 0xD8, 0xFF, 0xE1, static_cast<uint8_t>((exif.size() + 2) >> 8),
                              static_cast<uint8_t>(exif.size() + 2)};
  out.insert(out.end(), exif.begin(), exif.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  std::string path = MediaTestPath("camera.jpg");
  EXPECT_TRUE(WriteBytes(path, out.data(), out.size()));
  return path;
}

TEST(StillImage, ExifOrientationTurnsThePictureUpright) {
  std::string path = MakeExifJpeg();
  ImageExifInfo info{};
  ASSERT_TRUE(ImageExifReadFile(path.c_str(), &info));
  EXPECT_EQ(info.Orientation, 6);
  MediaImageData image{};
  ASSERT_EQ(Open(path, &image), 0);
  const int w = image.Header.biWidth, h = image.Header.biHeight;
  EXPECT_EQ(w, kH);
  EXPECT_EQ(h, kW);
  // A quarter turn clockwise: the stored bottom-left (red) is now top-left,
  // the stored bottom-right (grey) top-right... of the bottom... i.e. the
  // stored left column becomes the top row.
  uint32_t topLeft = PixelAt(image.Pixels, w, h, false, 2, 2);
  EXPECT_GT((topLeft >> 16) & 0xFF, 200u);
  EXPECT_LT(topLeft & 0xFF, 60u);
  uint32_t bottomLeft = PixelAt(image.Pixels, w, h, false, 2, h - 3); // stored bottom-right: grey
  EXPECT_NEAR(static_cast<int>(bottomLeft & 0xFF), 128, 20);
  MediaImageDataFree(&image);
}

TEST(StillImage, ExifGpsPosition) {
  ImageExifInfo info{};
  ASSERT_TRUE(ImageExifReadFile(MakeExifJpeg().c_str(), &info));
  ASSERT_TRUE(info.HasGps);
  EXPECT_NEAR(info.Latitude, -(33 + 52 / 60.0 + 36 / 3600.0), 1e-9);
  EXPECT_NEAR(info.Longitude, -(151 + 12 / 60.0), 1e-9);
  std::vector<uint8_t> plain = ReadBytes(MakeImage("noexif.jpg", ""));
  EXPECT_FALSE(ImageExifRead(plain.data(), plain.size(), &info));
}

TEST(StillImage, ExifFromRandomBytesNeverCrashes) {
  std::vector<uint8_t> exif = MakeExif();
  srand(11);
  for (int n = 0; n < 2000; ++n) {
    std::vector<uint8_t> b = exif;
    for (int k = 0; k < 6; ++k) b[static_cast<size_t>(rand()) % b.size()] = static_cast<uint8_t>(rand());
    if (n % 3 == 0) b.resize(static_cast<size_t>(rand()) % b.size() + 1);
    ImageExifInfo info{};
    if (ImageExifRead(b.data(), b.size(), &info)) {
      ASSERT_GE(info.Orientation, 1);
      ASSERT_LE(info.Orientation, 8);
    }
  }
}

} // namespace
