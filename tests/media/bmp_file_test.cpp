// The media layer's BMP reader and writer, with good and bad files.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/text.h"
#include "media/bmp_file.h"
#include "support/media_fixtures.h"

namespace {

std::wstring W(const std::string& s) { return Utf8ToWide(s); }

std::vector<uint8_t> Pattern(int w, int h, int bpp) {
  std::vector<uint8_t> p(static_cast<size_t>(w) * h * bpp);
  for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i * 13 + i / 7);
  return p;
}

TEST(BmpFile, RoundTripBottomUpRows) {
  for (int bits : {24, 32}) {
    const int w = 7, h = 5; // odd width: 24-bit rows carry padding
    std::vector<uint8_t> pixels = Pattern(w, h, bits / 8);
    std::string path = MediaTestPath("r" + std::to_string(bits) + ".bmp");
    ASSERT_EQ(BmpWriteFile(W(path), pixels.data(), w, h, bits, true), 0);
    std::vector<uint8_t> file = ReadBytes(path);
    size_t stride = (static_cast<size_t>(w) * bits / 8 + 3) & ~size_t{3};
    ASSERT_EQ(file.size(), 54 + stride * h);
    // The file's first row is the picture's bottom row.
    EXPECT_EQ(std::memcmp(&file[54], &pixels[(h - 1) * w * bits / 8], w * bits / 8), 0);
    MediaImageData image{};
    ASSERT_EQ(BmpReadFile(W(path), &image), 0);
    EXPECT_EQ(image.Header.biWidth, w);
    EXPECT_EQ(image.Header.biHeight, h);
    EXPECT_EQ(image.Header.biBitCount, bits);
    EXPECT_EQ(image.TopDown, 0u);
    for (int y = 0; y < h; ++y)
      ASSERT_EQ(std::memcmp(image.Pixels + y * w * bits / 8, &pixels[(h - 1 - y) * w * bits / 8], w * bits / 8), 0);
    MediaImageDataFree(&image);
  }
}

TEST(BmpFile, TopDownFileKeepsItsRowOrder) {
  const int w = 4, h = 3;
  std::vector<uint8_t> pixels = Pattern(w, h, 4);
  std::string path = MediaTestPath("td.bmp");
  ASSERT_EQ(BmpWriteFile(W(path), pixels.data(), w, h, 32, false), 0);
  std::vector<uint8_t> file = ReadBytes(path);
  int32_t negative = -h;
  std::memcpy(&file[22], &negative, 4);
  MediaImageData image{};
  ASSERT_EQ(BmpParse(file.data(), file.size(), &image), 0);
  EXPECT_EQ(image.TopDown, 1u);
  EXPECT_EQ(image.Header.biHeight, h);
  EXPECT_EQ(std::memcmp(image.Pixels, pixels.data(), pixels.size()), 0);
  MediaImageDataFree(&image);
}

std::vector<uint8_t> GoodBmp() {
  std::vector<uint8_t> pixels = Pattern(9, 6, 3);
  std::string path = MediaTestPath("good.bmp");
  EXPECT_EQ(BmpWriteFile(W(path), pixels.data(), 9, 6, 24, true), 0);
  return ReadBytes(path);
}

TEST(BmpFile, TruncatedAndOversizedAnswerCodes) {
  std::vector<uint8_t> good = GoodBmp();
  MediaImageData image{};
  for (size_t cut = 0; cut < good.size(); cut += 3) {
    int rc = BmpParse(good.data(), cut, &image);
    EXPECT_TRUE(rc == -141 || rc == -81) << cut << " " << rc;
    EXPECT_EQ(image.Pixels, nullptr);
  }
  auto patched = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    std::memcpy(&b[at], &v, 4);
    return b;
  };
  std::vector<uint8_t> huge = patched(18, 0x7FFFFFFF);
  EXPECT_EQ(BmpParse(huge.data(), huge.size(), &image), -22); // never allocated
  huge = patched(22, 30000);
  EXPECT_EQ(BmpParse(huge.data(), huge.size(), &image), -81);
  std::vector<uint8_t> rle = patched(30, 1);
  EXPECT_EQ(BmpParse(rle.data(), rle.size(), &image), -141);
  std::vector<uint8_t> offset = patched(10, 0xFFFFFF00u);
  EXPECT_EQ(BmpParse(offset.data(), offset.size(), &image), -81);
  std::vector<uint8_t> minHeight = patched(22, 0x80000000u);
  EXPECT_EQ(BmpParse(minHeight.data(), minHeight.size(), &image), -141);
  EXPECT_EQ(BmpReadFile(W(MediaTestPath("missing.bmp")), &image), -80);
}

TEST(BmpFile, RandomBytesNeverCrash) {
  std::mt19937 rng(5);
  std::vector<uint8_t> good = GoodBmp();
  for (int n = 0; n < 3000; ++n) {
    std::vector<uint8_t> b = good;
    int flips = 1 + static_cast<int>(rng() % 6);
    for (int k = 0; k < flips; ++k) b[rng() % 54] = static_cast<uint8_t>(rng());
    if (rng() % 4 == 0) b.resize(rng() % b.size());
    MediaImageData image{};
    int rc = BmpParse(b.data(), b.size(), &image);
    ASSERT_TRUE(rc == 0 || rc == -141 || rc == -81 || rc == -22) << rc;
    if (rc == 0) {
      ASSERT_NE(image.Pixels, nullptr);
      ASSERT_GT(image.Header.biWidth, 0);
    }
    MediaImageDataFree(&image);
  }
}

TEST(BmpFile, WriterRefusesBadArguments) {
  uint8_t px[16] = {};
  EXPECT_EQ(BmpWriteFile(W(MediaTestPath("x.bmp")), px, 0, 1, 32, false), -21);
  EXPECT_EQ(BmpWriteFile(W(MediaTestPath("x.bmp")), px, 1, 1, 16, false), -21);
  EXPECT_EQ(BmpWriteFile(W(MediaTestPath("x.bmp")), nullptr, 1, 1, 32, false), -21);
  EXPECT_EQ(BmpWriteFile(W(MediaTestDir() + "/none/x.bmp"), px, 2, 2, 32, false), -82);
}

} // namespace
