#pragma once
// Descriptions of decoded pictures and sound shared by the readers, the
// media layer, the renderer and the writer. Both keep the Windows record
// layouts byte for byte, as they are stored and passed around whole.
#include <cstdint>
#include <memory>

// A 32-bit frame: biBitCount 32, biCompression 0. A positive biHeight does
// not promise bottom-up rows here; the owner documents the row order (the
// media slot's vertical-flip flag for decoded frames).
struct tagBITMAPINFOHEADER {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};

// The header of a width x height 32-bit frame: one plane, 4 bytes a pixel.
inline tagBITMAPINFOHEADER Frame32Format(int32_t width, int32_t height) {
  return {.biSize = sizeof(tagBITMAPINFOHEADER),
          .biWidth = width,
          .biHeight = height,
          .biPlanes = 1,
          .biBitCount = 32,
          .biSizeImage = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4};
}

// Little-endian interleaved PCM (WAVEFORMATEX layout, 18 bytes). Packed:
// bind its 32-bit fields by value, not by reference (EXPECT_EQ(+f.x, ...)).
#pragma pack(push, 2)
struct AudioFormat {
  uint16_t wFormatTag; // 1 = PCM
  uint16_t nChannels;
  uint32_t nSamplesPerSec;
  uint32_t nAvgBytesPerSec;
  uint16_t nBlockAlign;
  uint16_t wBitsPerSample;
  uint16_t cbSize;
};
#pragma pack(pop)

// A decoded picture in its own 4:2:0 planes: 8-bit studio-range Y, Cb and
// Cr, top row first, chroma at half the width and height. Owned by the
// reader like its bitmap: valid until its next request or close.
enum class YuvMatrix : uint8_t { Unknown = 0, Bt601 = 1, Bt709 = 2 };
struct PlanarPicture {
  const uint8_t* data[3] = {nullptr, nullptr, nullptr}; // Y, Cb, Cr
  int stride[3] = {0, 0, 0};                           // bytes per row
  int width = 0, height = 0;                           // both even
  YuvMatrix matrix = YuvMatrix::Unknown;               // as the file tags it
};

// The matrix the writer encodes a picture of this size with (and the one a
// picture of unknown matrix is taken to have): HD pictures BT.709. A wide
// HD picture can be short (1280 x 536 cinema), so the width counts too.
inline YuvMatrix OutputMatrixFor(int width, int height) {
  return width >= 1280 || height > 576 ? YuvMatrix::Bt709 : YuvMatrix::Bt601;
}

// How many 4:2:0 pictures handed to the output writer it may hold before
// encoding them: the render loop draws into one buffer more than this, in
// turn, so the encoder always has pictures waiting while the next ones are
// drawn (the encoder's speed varies from frame to frame much more than the
// drawing does). Each 1080p picture is about 3 MB.
constexpr int kWriterPlanesHeld = 4;

// A 4:2:0 picture handed to the output writer (Y, Cb, Cr packed one after
// the other). The writer keeps its reference until the encoder has taken
// the picture, so a caller that lets go of it early frees nothing in use.
using SharedPlanes = std::shared_ptr<const uint8_t>;

static_assert(sizeof(tagBITMAPINFOHEADER) == 40);
static_assert(sizeof(AudioFormat) == 18);

// Audio types of the engine: 0 mono 8-bit, 1 stereo 8-bit, 2 mono 16-bit,
// 3 stereo 16-bit.
inline AudioFormat AudioFormatFor(int audioType, uint32_t rate) {
  AudioFormat f{};
  f.wFormatTag = 1;
  f.nChannels = (audioType & 1) ? 2 : 1;
  f.wBitsPerSample = (audioType & 2) ? 16 : 8;
  f.nSamplesPerSec = rate;
  f.nBlockAlign = static_cast<uint16_t>(f.nChannels * f.wBitsPerSample / 8);
  f.nAvgBytesPerSec = f.nBlockAlign * rate;
  f.cbSize = 18;
  return f;
}
