#pragma once
// What every display-object renderer gets: the object's record at the time,
// where it lands in the frame, and the frame itself. Renderers turn that
// into a layer and place it with the shared helpers below; they know
// nothing of threads or outputs.
#include "model/disp_records.h"
#include "platform/media/media_formats.h"
#include "render/compositor/render_frame_info.h"
#include "render/draw/layer.h"

#include <limits>

// A frame being drawn: premultiplied 32-bit pixels, rows of width pixels.
struct FrameTarget {
  uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  bool bottomUp = true; // engine frames are bottom-up
  FrameDirty* dirty = nullptr; // where drawing is noted (an overlay over video planes)
};

class DeferredComposites;

struct ObjectContext {
  uint32_t index = 0;
  const DispStruct* obj = nullptr; // the current record (segments applied)
  float time = 0;                  // project time, seconds
  uint32_t quality = 0;            // 0 best .. 5 fastest
  FrameTarget target;
  double x = 0, y = 0, w = 0, h = 0; // object rectangle, frame pixels, y downwards
  double baseScale = 1;              // frame pixels per unit of the 720 x 480 base
  // A preview of one input at a time of the input's own (a sync window's
  // side): the picture shown is the input's at this time, wherever the
  // input is placed in the project. NaN: from the project time.
  double inputTime = std::numeric_limits<double>::quiet_NaN();
  // When set, the object's composites are recorded here instead of
  // written: it may then draw on a worker beside other objects.
  DeferredComposites* deferred = nullptr;
};

// The object's effects (transparency, mirroring, colour channels) and the
// frame as destination; the caller sets source and placement.
RenderFrameInfo ObjectFrameInfo(const ObjectContext& ctx);
// Places a top-down premultiplied layer at (x, y, w, h) with the object's
// effects, turned by rotation degrees.
int ObjectPlaceLayer(const ObjectContext& ctx, const Layer& layer, double x, double y, double w,
                     double h, float rotation = 0);
// The object's background bitmap (rotation, zoom, offset, chroma key),
// clipped to the object's rectangle; 0 when it has none.
int ObjectDrawBitmap(const ObjectContext& ctx);
// The same with changes driven by data (embedded images).
struct BitmapEffects {
  float extraRotation = 0;             // degrees added
  double opacity = 1;                  // multiplies the object's own
  const AdjustStruct* adjust = nullptr; // colour changes of the picture
};
int ObjectDrawBitmapWith(const ObjectContext& ctx, const BitmapEffects& effects);
// The parameter record when the object holds at least sizeof(T) bytes of it.
template <typename T> const T* ObjectParam(const DispStruct* obj) {
  return obj && obj->Param && obj->ParamSize >= sizeof(T) ? reinterpret_cast<const T*>(obj->Param)
                                                          : nullptr;
}

// One renderer per type (render/objects/<type>.cpp); 0 or a negative code.
int RenderGroupObject(const ObjectContext& ctx);
int RenderPictureObject(const ObjectContext& ctx);
// When the object is a video that fills the frame at the frame's own size,
// solid, upright and unadjusted, with no background bitmap: its picture at
// the object's time in the decoder's 4:2:0 planes, which then stand for
// what RenderPictureObject would draw. False otherwise.
bool PictureObjectPlanes(const ObjectContext& ctx, PlanarPicture* planes);
// The same video conditions without asking for the picture: drawn, it
// replaces every pixel of the frame.
bool PictureObjectFillsFrame(const ObjectContext& ctx);
int RenderAudioObject(const ObjectContext& ctx);
int RenderShapeObject(const ObjectContext& ctx);
int RenderTextObject(const ObjectContext& ctx);
int RenderEImageObject(const ObjectContext& ctx);

// Dispatch by type code: -1 for a type without a renderer (it draws nothing).
int DispObjRenderLayer(const ObjectContext& ctx);
