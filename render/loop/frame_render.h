#pragma once
// One project frame: every display object drawn in list order at a time.
#include "render/compositor/planar_blend.h"
#include "render/objects/object_render.h"

#include <cstdint>
#include <limits>

struct FrameRenderOptions {
  uint32_t quality = 0;
  float overscan = 0;               // percent of the frame kept clear round the edge, in total
  uint32_t background = 0xFF000000; // premultiplied fill before drawing
  bool clear = true;
  // With clear off: the tiles to fill with the background (the rest of the
  // frame holds it already); skipped when the bottom object is a picture
  // that replaces every pixel (PictureObjectFillsFrame).
  const FrameDirty* clearTiles = nullptr;
  double inputTime = std::numeric_limits<double>::quiet_NaN(); // see ObjectContext
  // The next frame's project time when frames follow each other (NaN:
  // none): a video is asked for its next picture as soon as this one is
  // placed, so it is decoded while the rest of the frame is drawn.
  double nextTime = std::numeric_limits<double>::quiet_NaN();
};

// Whether the object is drawn (and can be clicked) at the time: in use,
// active, started, not fully transparent, some colour channel on, not sound
// only, not a group, and its input (when it has one) playing then.
// Callers hold the access lock.
bool DispObjShownAt(uint32_t index, float time);
// Draws the project at the time into the frame. Callers hold read access.
int RenderProjectFrame(float time, const FrameTarget& target, const FrameRenderOptions& options);
// The project frame composed in the 4:2:0 planes of its bottom object, when
// that is a video filling the frame at its own size (PictureObjectPlanes)
// and every object over it blends in all colour channels: the video's
// planes copied into out, the other objects drawn into the overlay (its
// dirty set, transparent on entry and again on return) and blended in with
// the matrix given. The video is asked for its picture at nextTime (a
// frame's time, or NaN) as soon as this one is copied. False, with nothing
// drawn, when the frame does not qualify: RenderProjectFrame draws it.
// Callers hold read access.
bool RenderProjectFramePlanar(float time, float nextTime, const FrameTarget& overlay,
                              const FrameRenderOptions& options, YuvMatrix matrix, PlanarFrame* out);
// Draws one object (a group: its members) so that its box fills the frame.
int RenderObjectAlone(uint32_t index, float time, const FrameTarget& target,
                      const FrameRenderOptions& options);
// Draws one object (a group: its members) at its place in the frame, as
// the project frame shows it, with nothing else.
int RenderObjectInFrame(uint32_t index, float time, const FrameTarget& target,
                        const FrameRenderOptions& options);
// The context of one object in a frame (its box from its percentages).
ObjectContext ObjectContextFor(uint32_t index, const DispStruct* obj, float time,
                               const FrameTarget& target, const FrameRenderOptions& options);
