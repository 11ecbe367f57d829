#include "render/golden/golden_fixture.h"

#include "base/text.h"
#include "model/inputs.h"
#include "media/bmp_file.h"

#include <algorithm>
#include <cmath>

ContactSheet::ContactSheet(int columns, int rows, int tileWidth, int tileHeight)
    : columns_(columns), rows_(rows), tileW_(tileWidth), tileH_(tileHeight),
      width_(columns * tileWidth + (columns - 1) * kGutter),
      height_(rows * tileHeight + (rows - 1) * kGutter),
      pixels_(static_cast<size_t>(width_) * height_, 0xFF606060u) {}

void ContactSheet::Put(int index, const std::vector<uint32_t>& tile) {
  ASSERT_EQ(tile.size(), static_cast<size_t>(tileW_) * tileH_);
  ASSERT_LT(index, columns_ * rows_);
  const int left = (index % columns_) * (tileW_ + kGutter);
  const int top = (index / columns_) * (tileH_ + kGutter);
  for (int y = 0; y < tileH_; ++y) {
    const uint32_t* from = tile.data() + static_cast<size_t>(tileH_ - 1 - y) * tileW_;
    uint32_t* to = pixels_.data() + static_cast<size_t>(height_ - 1 - (top + y)) * width_ + left;
    std::copy(from, from + tileW_, to);
  }
}

namespace {

void writeBmp(const std::string& path, const std::vector<uint32_t>& rgb, int width, int height) {
  std::vector<uint8_t> bytes(rgb.size() * 3);
  for (size_t i = 0; i < rgb.size(); ++i) {
    bytes[i * 3] = rgb[i] & 0xFF;
    bytes[i * 3 + 1] = (rgb[i] >> 8) & 0xFF;
    bytes[i * 3 + 2] = (rgb[i] >> 16) & 0xFF;
  }
  ASSERT_EQ(BmpWriteFile(Utf8ToWide(path), bytes.data(), width, height, 24, true), 0);
}

uint32_t hueColour(double h) { // h in [0, 6)
  const double x = 1 - std::fabs(std::fmod(h, 2.0) - 1);
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(h)) {
  case 0: r = 1, g = x; break;
  case 1: r = x, g = 1; break;
  case 2: g = 1, b = x; break;
  case 3: g = x, b = 1; break;
  case 4: r = x, b = 1; break;
  default: r = 1, b = x; break;
  }
  return (uint32_t(std::lround(r * 255)) << 16) | (uint32_t(std::lround(g * 255)) << 8) |
         uint32_t(std::lround(b * 255));
}

} // namespace

std::string GoldenTest::WriteTestCard(const std::string& name) {
  constexpr int kW = 96, kH = 54;
  static const uint32_t bars[8] = {0xBFBFBF, 0xBFBF00, 0x00BFBF, 0x00BF00,
                                   0xBF00BF, 0xBF0000, 0x0000BF, 0x000000};
  std::vector<uint32_t> px(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      uint32_t c;
      if (y < 30) c = (x >= 2 && x < 8 && y >= 2 && y < 8) ? 0xFF8000 : bars[x / 12];
      else if (y < 42) c = 0x010101u * static_cast<uint32_t>(x * 255 / (kW - 1));
      else if (y < 48) c = hueColour(x * 6.0 / kW);
      else c = static_cast<uint32_t>(16 + x * 239 / (kW - 1)) << 8;
      px[static_cast<size_t>(y) * kW + x] = c;
    }
  const std::string path = TempPath(name + ".bmp");
  writeBmp(path, px, kW, kH);
  return path;
}

std::string GoldenTest::WriteChecker(const std::string& name) {
  constexpr int kW = 64, kH = 36;
  std::vector<uint32_t> px(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      px[static_cast<size_t>(y) * kW + x] = ((x / 8 + y / 8) & 1) ? 0x8890A8 : 0x485068;
  const std::string path = TempPath(name + ".bmp");
  writeBmp(path, px, kW, kH);
  return path;
}

uint32_t GoldenTest::AddPictureInput(const std::string& path) {
  const std::u16string path16 = WideToUtf16(Utf8ToWide(path));
  const uint32_t input = InputAdd(path16.c_str());
  EXPECT_NE(input, 255u) << "picture input not added: " << path;
  return input;
}

uint32_t GoldenTest::AddCheckerBackdrop() {
  const uint32_t input = AddPictureInput(WriteChecker("checker"));
  return AddObject(kDispVideo, input, 0, 0, 100, 100);
}

uint32_t GoldenTest::AddPlainBackdrop(uint32_t rgb) {
  return AddShape(4, rgb, 0xFF000000, 0, 0, 0, 100, 100);
}

void GoldenTest::Shoot(ContactSheet& sheet, int index, float time, uint32_t quality) {
  sheet.Put(index, RenderAt(time, sheet.TileWidth(), sheet.TileHeight(), quality));
}

void GoldenTest::ExpectSheet(const std::string& name, const ContactSheet& sheet) {
  EXPECT_EQ(CompareGolden(name, sheet.Pixels(), sheet.Width(), sheet.Height()), "");
}

AdjustStruct NeutralAdjust() {
  AdjustStruct a{};
  a.Volume = 100;
  a.Balance = 100;
  a.Brightness = a.Contrast = a.Color = a.Sharpness = 100;
  a.ChromaGreen = 255;
  a.ChromaColorRange = 16;
  a.ChromaBrightRange = 32;
  a.Colorize = 0xFFFFFF00;
  return a;
}
