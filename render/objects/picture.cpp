// Picture and video objects (type 10): the input's frame at the object's
// time, with the input's adjustments, placed in the object's box.
#include "base/error.h"
#include "model/input_table.h"
#include "render/compositor/compositor.h"
#include "render/compositor/picture_adjust.h"
#include "render/loop/input_time.h"
#include "render/loop/media_bridge.h"
#include "render/objects/object_render.h"

#include <cmath>

namespace {

bool quarterTurnSideways(float degrees) {
  double turns = std::fmod(std::fabs(static_cast<double>(degrees)), 180.0);
  return std::fabs(turns - 90) < 0.001;
}

// Within a thousandth of a pixel: boxes come from percentages in floats.
bool samePlace(double a, double b) { return std::fabs(a - b) < 1e-3; }

} // namespace

bool PictureObjectFillsFrame(const ObjectContext& ctx) {
  const DispStruct* obj = ctx.obj;
  const int w = ctx.target.width, h = ctx.target.height;
  if (!obj || obj->Type != kDispVideo || obj->InputID == kNoInput) return false;
  if (obj->Bitmap && obj->BitmapSize >= sizeof(DispBitmapHeader)) return false;
  if (obj->Transparency != 0 || (obj->ColorChans & kChanAll) != kChanAll || (obj->Mirroring & 3) != 0)
    return false;
  const MainStruct* main = InputTableMain(obj->InputID);
  const AdjustStruct* adjust = InputTableAdjust(obj->InputID);
  if (!main || !adjust || main->Type != kInputVideo || main->Width != w || main->Height != h) return false;
  if (PictureNeedsAdjust(*adjust) || (adjust->Mirroring & 3) != 0 ||
      (std::isfinite(adjust->Rotation) && adjust->Rotation != 0))
    return false;
  int cx = 0, cy = 0, cw = 0, ch = 0;
  PictureCropRect(*adjust, w, h, &cx, &cy, &cw, &ch);
  if (cx != 0 || cy != 0 || cw != w || ch != h) return false;
  // A picture of the frame's size in a box of the frame's size keeps any
  // ratio it is asked to keep.
  if (!samePlace(ctx.x, 0) || !samePlace(ctx.y, 0) || !samePlace(ctx.w, w) || !samePlace(ctx.h, h))
    return false;
  return true;
}

bool PictureObjectPlanes(const ObjectContext& ctx, PlanarPicture* planes) {
  if (!PictureObjectFillsFrame(ctx)) return false;
  const DispStruct* obj = ctx.obj;
  const int w = ctx.target.width, h = ctx.target.height;
  double inputTime = ctx.inputTime;
  if (!std::isfinite(inputTime) && !InputPlaysAt(obj->InputID, ctx.time, &inputTime)) return false;
  return MediaBridgeGetPlanes(obj->InputID, inputTime, planes) && planes->width == w && planes->height == h;
}

int RenderPictureObject(const ObjectContext& ctx) {
  const uint32_t input = ctx.obj->InputID;
  double inputTime = ctx.inputTime;
  if (input == kNoInput) return 0;
  if (!std::isfinite(inputTime) && !InputPlaysAt(input, ctx.time, &inputTime)) return 0;
  const AdjustStruct* adjust = InputTableAdjust(input);
  InputPicture picture;
  if (!adjust || !MediaBridgeGetPicture(input, inputTime, &picture)) return 0;

  PictureSource source;
  source.pixels = picture.pixels;
  source.width = picture.width;
  source.height = picture.height;
  source.topDown = picture.topDown;
  source.opaque = picture.opaque;
  PictureCropRect(*adjust, picture.width, picture.height, &source.cropX, &source.cropY,
                  &source.cropW, &source.cropH);

  RenderFrameInfo f = ObjectFrameInfo(ctx);
  Layer adjusted;
  if (PictureNeedsAdjust(*adjust) || !picture.opaque) {
    // Still images keep straight alpha: premultiplied on the way through.
    int code = PictureAdjust(source, *adjust, ctx.time, &adjusted);
    if (code < 0) return code;
    f.Src = adjusted.pixels.data();
    f.SrcWidth = adjusted.width;
    f.SrcHeight = adjusted.height;
  } else {
    // Decoded video is opaque and unadjusted: placed straight from the
    // reader's buffer, with the crop done by the compositor.
    f.Src = picture.pixels;
    f.SrcWidth = picture.width;
    f.SrcHeight = picture.height;
    f.SrcBottomUp = !picture.topDown;
    f.SrcOpaque = true;
    f.SrcX = source.cropX;
    f.SrcY = source.cropY;
    f.SrcW = source.cropW;
    f.SrcH = source.cropH;
  }
  f.Mirroring = static_cast<uint8_t>((ctx.obj->Mirroring ^ adjust->Mirroring ^
                                      (picture.turned180 ? 1 : 0)) & 3);
  f.Rotation = std::isfinite(adjust->Rotation) ? adjust->Rotation : 0;

  // A picture turned sideways fills the box with its sides swapped.
  const bool sideways = quarterTurnSideways(f.Rotation);
  double w = ctx.w, h = ctx.h;
  double pw = sideways ? source.cropH : source.cropW, ph = sideways ? source.cropW : source.cropH;
  if (ctx.obj->KeepRatio & 3) {
    const double ratio = pw / ph;
    if (w / h > ratio) w = h * ratio;
    else h = w / ratio;
  }
  const double cx = ctx.x + ctx.w / 2, cy = ctx.y + ctx.h / 2;
  f.DstW = sideways ? h : w;
  f.DstH = sideways ? w : h;
  f.DstX = cx - f.DstW / 2;
  f.DstY = cy - f.DstH / 2;
  return CompositeFrame(f);
}
