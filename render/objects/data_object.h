#pragma once
// The data display objects (gauges, bar and time graphs, track map,
// G-force, text data, gear, lap counter and lap timer): one renderer per
// type and the layer set-up they share.
#include "render/draw/canvas.h"
#include "render/objects/object_render.h"

#include <string>

int RenderGaugeObject(const ObjectContext& ctx);
int RenderBarObject(const ObjectContext& ctx);
int RenderTimeGraphObject(const ObjectContext& ctx);
int RenderTrackMapObject(const ObjectContext& ctx);
int RenderGForceObject(const ObjectContext& ctx);
int RenderTextDataObject(const ObjectContext& ctx);

// The value a gauge shows at a time (smoothed when it asks), NaN without.
double GaugeShownValue(const DispStruct* obj, float time);

// A layer for an object drawn in units of the 720 x 480 base frame: with
// highRes at the frame's own resolution, else at no more than the base
// resolution (the compositor scales it up). `scale` is layer pixels per
// unit; the box is the object's, in units.
struct DataLayer {
  Layer layer;
  double scale = 1;
  double unitsW = 0, unitsH = 0;
};
bool DataLayerFor(const ObjectContext& ctx, bool highRes, DataLayer* out);
// Places the layer over the object's box.
int DataLayerPlace(const ObjectContext& ctx, const DataLayer& layer);

// A lap time as the lap timer shows it: format 0 "m:ss.dd", 1 seconds
// only, 2 "h:mm:ss.dd"; digits pads the leading unit.
std::string LapTimeText(double seconds, int decimals, int digits, int format);
// The text a text-data, gear, lap-counter or lap-timer object shows at
// the context's time; empty when it shows nothing (out of range, flashing).
std::string DataObjectText(const ObjectContext& ctx, const TextStruct& text);
