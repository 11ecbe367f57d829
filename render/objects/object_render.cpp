#include "render/objects/object_render.h"

#include "base/error.h"
#include "render/objects/data_object.h"
#include "render/compositor/compositor.h"
#include "render/compositor/picture_adjust.h"
#include "render/compositor/pixel_ops.h"
#include "render/objects/kept_placements.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

RenderFrameInfo ObjectFrameInfo(const ObjectContext& ctx) {
  RenderFrameInfo f;
  f.Dst = ctx.target.pixels;
  f.DstWidth = ctx.target.width;
  f.DstHeight = ctx.target.height;
  f.DstBottomUp = ctx.target.bottomUp;
  f.Dirty = ctx.target.dirty;
  f.Quality = static_cast<int>(ctx.quality);
  if (ctx.obj) {
    const int transparency = std::min<int>(ctx.obj->Transparency, 100);
    f.Opacity = static_cast<uint8_t>((255 * (100 - transparency) + 50) / 100);
    f.Mirroring = ctx.obj->Mirroring & 3;
    f.ColorChans = ctx.obj->ColorChans & kChanAll;
  }
  return f;
}

int ObjectPlaceLayer(const ObjectContext& ctx, const Layer& layer, double x, double y, double w,
                     double h, float rotation) {
  if (layer.empty()) return 0;
  RenderFrameInfo f = ObjectFrameInfo(ctx);
  f.Src = layer.pixels.data();
  f.SrcWidth = layer.width;
  f.SrcHeight = layer.height;
  f.DstX = x;
  f.DstY = y;
  f.DstW = w;
  f.DstH = h;
  f.Rotation = rotation;
  if (ctx.deferred) return ctx.deferred->place(ctx.index, f, layer);
  return KeptPlacementComposite(ctx.index, f);
}

int ObjectDrawBitmap(const ObjectContext& ctx) { return ObjectDrawBitmapWith(ctx, BitmapEffects{}); }

int ObjectDrawBitmapWith(const ObjectContext& ctx, const BitmapEffects& effects) {
  const DispStruct* obj = ctx.obj;
  if (!obj || !obj->Bitmap || obj->BitmapSize < sizeof(DispBitmapHeader)) return 0;
  DispBitmapHeader head;
  std::memcpy(&head, obj->Bitmap, sizeof head);
  const uint64_t pixels = uint64_t(head.Width) * head.Height;
  if (head.Width == 0 || head.Height == 0 || pixels > (obj->BitmapSize - sizeof head) / 4)
    return ErrorSet(kErrIntegrity, "ObjectDrawBitmap");
  // Bitmap blocks keep straight alpha, as imported; layers are premultiplied.
  Layer layer(static_cast<int>(head.Width), static_cast<int>(head.Height));
  if (effects.adjust) {
    std::vector<uint32_t> straight(static_cast<size_t>(head.Width) * head.Height);
    std::memcpy(straight.data(), obj->Bitmap + sizeof head, straight.size() * 4);
    PictureSource source;
    source.pixels = straight.data();
    source.width = layer.width;
    source.height = layer.height;
    source.topDown = false;
    source.opaque = false;
    source.cropW = layer.width;
    source.cropH = layer.height;
    int code = PictureAdjust(source, *effects.adjust, ctx.time, &layer);
    if (code < 0) return code;
  } else {
    const auto* src = obj->Bitmap + sizeof head;
    for (int y = 0; y < layer.height; ++y) {
      const uint8_t* in = src + static_cast<size_t>(layer.height - 1 - y) * layer.width * 4;
      uint32_t* out = layer.row(y);
      for (int x = 0; x < layer.width; ++x) {
        uint32_t p;
        std::memcpy(&p, in + static_cast<size_t>(x) * 4, 4);
        out[x] = Premultiply(p);
      }
    }
  }
  double w = ctx.w, h = ctx.h;
  if (head.Options & 1) { // keep the picture's own proportions inside the box
    const double ratio = double(head.Width) / head.Height;
    if (w / h > ratio) w = h * ratio;
    else h = w / ratio;
  }
  const double zoom = obj->BitmapZoom > 0.001f && std::isfinite(obj->BitmapZoom) ? obj->BitmapZoom : 1.0;
  w *= zoom;
  h *= zoom;
  const double offX = std::isfinite(obj->BitmapOffsetX) ? obj->BitmapOffsetX * ctx.w / 100 : 0;
  const double offY = std::isfinite(obj->BitmapOffsetY) ? obj->BitmapOffsetY * ctx.h / 100 : 0;
  RenderFrameInfo f = ObjectFrameInfo(ctx);
  f.Src = layer.pixels.data();
  f.SrcWidth = layer.width;
  f.SrcHeight = layer.height;
  f.DstX = ctx.x + (ctx.w - w) / 2 + offX;
  f.DstY = ctx.y + (ctx.h - h) / 2 + offY;
  f.DstW = w;
  f.DstH = h;
  f.Rotation = (std::isfinite(obj->BitmapRotate) ? obj->BitmapRotate : 0) + effects.extraRotation;
  f.Opacity = static_cast<uint8_t>(std::lround(f.Opacity * std::clamp(effects.opacity, 0.0, 1.0)));
  // The box clipped to the frame in floating point: boxes may lie far out.
  auto edge = [](double v, int limit) {
    return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
  };
  f.ClipX = edge(std::floor(ctx.x), ctx.target.width);
  f.ClipY = edge(std::floor(ctx.y), ctx.target.height);
  f.ClipW = edge(std::ceil(ctx.x + ctx.w), ctx.target.width) - f.ClipX;
  f.ClipH = edge(std::ceil(ctx.y + ctx.h), ctx.target.height) - f.ClipY;
  if (f.ClipW <= 0 || f.ClipH <= 0) return 0; // wholly outside the frame
  if ((obj->BitmapChroma >> 24) != 0xFF) {
    f.ChromaOn = true;
    f.ChromaColor = obj->BitmapChroma & 0xFFFFFF;
    f.ChromaColorRange = obj->BitmapChromaCRange;
    f.ChromaBrightRange = obj->BitmapChromaBRange;
  }
  if (ctx.deferred) return ctx.deferred->composite(f, std::move(layer));
  return CompositeFrame(f);
}

namespace {

struct KindRenderer {
  uint32_t type;
  int (*render)(const ObjectContext& ctx);
};

// The drawing routine of each kind the model's table knows (disp_types.cpp);
// scripted objects have none.
constexpr KindRenderer kRenderers[] = {
    {kDispVideo, RenderPictureObject},     {kDispAudio, RenderAudioObject},
    {kDispShape, RenderShapeObject},       {kDispText, RenderTextObject},
    {kDispTextData, RenderTextDataObject}, {kDispGauge, RenderGaugeObject},
    {kDispSpeedo, RenderGaugeObject},      {kDispTacho, RenderGaugeObject},
    {kDispBar, RenderBarObject},           {kDispTimeGraph, RenderTimeGraphObject},
    {kDispTrackMap, RenderTrackMapObject}, {kDispGForce, RenderGForceObject},
    {kDispGear, RenderTextDataObject},     {kDispLapCount, RenderTextDataObject},
    {kDispLapTimer, RenderTextDataObject}, {kDispEImage, RenderEImageObject},
    {kDispGroup, RenderGroupObject},
};

} // namespace

int DispObjRenderLayer(const ObjectContext& ctx) {
  if (!ctx.obj) return ErrorSet(kErrBadArg, "DispObjRenderLayer");
  // Scripted objects and unknown codes have no renderer: nothing drawn.
  for (const KindRenderer& kind : kRenderers)
    if (kind.type == ctx.obj->Type) return kind.render(ctx);
  return -1;
}
