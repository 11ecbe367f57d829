#pragma once
// One compositing call: a source picture placed into a destination frame
// with the effects of a display object. Both buffers hold premultiplied
// 32-bit pixels (0xAARRGGBB words, memory B, G, R, A); each says its own row
// order, since engine frames are bottom-up and drawn layers top-down.
#include <cstdint>

class FrameDirty;

enum ColorChannelBits : uint8_t { kChanRed = 1, kChanGreen = 2, kChanBlue = 4, kChanAll = 7 };

struct RenderFrameInfo {
  // Source buffer and the part of it used (crop), in top-down pixel
  // coordinates of the picture. SrcW or SrcH 0 = the whole picture.
  const uint32_t* Src = nullptr;
  int SrcWidth = 0, SrcHeight = 0;
  int SrcStride = 0; // pixels per row; 0 = SrcWidth
  bool SrcBottomUp = false;
  bool SrcOpaque = false; // alpha taken as 255 whatever the fourth byte holds
  int SrcX = 0, SrcY = 0, SrcW = 0, SrcH = 0;

  // Destination buffer.
  uint32_t* Dst = nullptr;
  int DstWidth = 0, DstHeight = 0;
  int DstStride = 0; // pixels per row; 0 = DstWidth
  bool DstBottomUp = false;
  // Where the source lands, in destination pixels with y downwards; may
  // reach past the frame.
  double DstX = 0, DstY = 0, DstW = 0, DstH = 0;

  // Destination pixels that may change (y downwards); ClipW 0 = the frame.
  int ClipX = 0, ClipY = 0, ClipW = 0, ClipH = 0;

  float Rotation = 0;    // degrees clockwise about the centre of the destination rectangle
  uint8_t Mirroring = 0; // 1 horizontal, 2 vertical, 3 both
  uint8_t Opacity = 255; // 255 solid (the object's transparency turned round)
  uint8_t ColorChans = kChanAll; // destination channels the source may change

  // Chroma key on the source's colours: pixels near the key colour turn
  // transparent.
  bool ChromaOn = false;
  uint32_t ChromaColor = 0; // 0x??RRGGBB
  int ChromaColorRange = 16;
  int ChromaBrightRange = 32;

  int Quality = 0;      // 0 best .. 5 fastest: nearest-neighbour sampling at 5
  bool Replace = false; // write the source over the destination instead of blending
  // When set, the destination box that may change is marked in it (an
  // overlay frame blended into video planes afterwards).
  FrameDirty* Dirty = nullptr;
};

// A whole picture scaled over the whole of a bottom-up destination frame
// (a preview showing a picture of another size).
inline RenderFrameInfo WholePictureOnto(const uint32_t* src, int srcWidth, int srcHeight, bool srcBottomUp,
                                        uint32_t* dst, int dstWidth, int dstHeight) {
  return {.Src = src,
          .SrcWidth = srcWidth,
          .SrcHeight = srcHeight,
          .SrcBottomUp = srcBottomUp,
          .Dst = dst,
          .DstWidth = dstWidth,
          .DstHeight = dstHeight,
          .DstBottomUp = true,
          .DstW = static_cast<double>(dstWidth),
          .DstH = static_cast<double>(dstHeight)};
}
