#pragma once
// Golden-image checks of the picture pipeline and the basic object types.
// Each case is one small frame (a tile) of the real renderer; the tiles of
// a family are laid out on one contact sheet and compared with the stored
// PNG under tests/golden/render (QV_UPDATE_GOLDEN=1 rewrites it).
#include "support/golden.h"
#include "render/render_fixture.h"

#include <string>
#include <vector>

// Tiles (bottom-up frames) on a grid with a grey gutter between them.
class ContactSheet {
public:
  ContactSheet(int columns, int rows, int tileWidth, int tileHeight);
  // Puts a bottom-up tile of the sheet's tile size into cell index
  // (row-major, counted from the top left).
  void Put(int index, const std::vector<uint32_t>& tile);
  const std::vector<uint32_t>& Pixels() const { return pixels_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int TileWidth() const { return tileW_; }
  int TileHeight() const { return tileH_; }

private:
  static constexpr int kGutter = 2;
  int columns_, rows_, tileW_, tileH_, width_, height_;
  std::vector<uint32_t> pixels_;
};

class GoldenTest : public RenderTest {
protected:
  // A 96 x 54 test card written as a 24-bit BMP: eight 75 % colour bars
  // (white, yellow, cyan, green, magenta, red, blue, black) over the top 30
  // rows with an orange mark in the white bar's top left corner, a grey
  // ramp, a hue ramp and a green ramp below. Its path.
  static std::string WriteTestCard(const std::string& name);
  // A 64 x 36 checkerboard of 8-pixel squares (two blue-greys) as a BMP.
  static std::string WriteChecker(const std::string& name);
  // Adds a picture file as an input; its index.
  static uint32_t AddPictureInput(const std::string& path);
  // A picture object over the whole frame showing the checkerboard, so
  // that what is keyed out or see-through stays visible.
  uint32_t AddCheckerBackdrop();
  // A plain filled rectangle over the whole frame.
  uint32_t AddPlainBackdrop(uint32_t rgb);
  // The project drawn into one tile of the sheet and put into cell index.
  void Shoot(ContactSheet& sheet, int index, float time = 0, uint32_t quality = 0);
  // Compares the sheet with its golden image.
  static void ExpectSheet(const std::string& name, const ContactSheet& sheet);
};

// The neutral adjustments of an input picture.
AdjustStruct NeutralAdjust();
