#pragma once
// YCbCr <-> 32-bit pixel conversion through one 64 MiB lookup table
// (BT.601 studio range), with the rows of large frames spread over worker
// threads.
#include <cstdint>

// Layout codes: the source for direction 0, the destination for direction 1.
constexpr uint32_t kColorYuvs = 1;     // packed 4:2:2, Y0 Cb Y1 Cr
constexpr uint32_t kColor2vuy = 2;     // packed 4:2:2, Cb Y0 Cr Y1
constexpr uint32_t kColorI420Cr = 3;   // planar 4:2:0, Y then Cr then Cb
constexpr uint32_t kColorI420 = 4;     // planar 4:2:0, Y then Cb then Cr
constexpr uint32_t kColorI420Alt = 5;  // as 4
constexpr uint32_t kColorToPixels = 0; // direction 0: YCbCr to pixels
constexpr uint32_t kColorFromPixels = 1;

// Builds the table and starts min(processors - 1, 32) workers (none below
// two processors). Records 0, -20 or -23 under "ColorConvInit".
void ColorConvInit();
void EndColorConv();
// The table entry for (Y, Cb, Cr): 0xFF000000 | R << 16 | G << 8 | B.
// Builds the table on first use when ColorConvInit has not run.
uint32_t ColorConvLookup(uint8_t y, uint8_t cb, uint8_t cr);
uint32_t ColorConvWorkerCount();

// Planes and row strides in bytes. Packed layouts use plane 0; planar ones
// Y, Cb, Cr in planes 0, 1, 2 whatever their order in memory. Pixels are 32
// bits; a pixel buffer's stride may be negative (its rows then run upwards
// from the pointer).
struct ColorConvImage {
  const uint8_t* Plane[3];
  int32_t Stride[3];
};

// Whole frames with packed rows, as the frame readers have always handed
// them: source rows width/2 pairs long, destination rows width pixels.
// Direction 0 writes a bottom-up bitmap (transpose 0) or a top-down bitmap
// height wide and width high (transpose 1); direction 1 reads a bottom-up
// bitmap. 0, or -21 for a layout the direction does not support.
int ColorConv(uint32_t layout, const uint8_t* src, uint8_t* dst, uint32_t width, uint32_t height,
              uint32_t transpose, uint32_t direction);
int ColorConvBand(uint32_t layout, const uint8_t* src, uint8_t* dst, uint32_t width, uint32_t height,
                  uint32_t transpose, uint32_t direction, uint32_t firstRow, uint32_t lastRow);

// The same with explicit planes and strides (direction 0 only; dst rows
// are written in source order: pass the last row and a negative stride for
// a bottom-up bitmap). 0 or -21.
int ColorConvToPixels(uint32_t layout, const ColorConvImage& src, uint8_t* dst, int32_t dstStride, uint32_t width,
                      uint32_t height);
