#pragma once
// The timeline view: the chart of the timeline window (a 20-pixel time
// ruler on top, one 22-pixel row per display object without a group
// parent, highest index first), drawn on its own thread and handed to an
// image view.
#include "platform/graphics/bitmap_view.h"

#include <cstdint>

constexpr int kTimelineRulerHeight = 20;
constexpr int kTimelineRowHeight = 22;
constexpr double kTimelineSpanSeconds = 300; // across the width at zoom 1

// Ends a previous view and starts one; the position becomes time 0, row 0,
// zoom 1. 0, or -21 no view, -22 no memory, -23 no event, -24 no thread.
int TimelineViewInit(ImageView view, uint32_t width, uint32_t height);
void TimelineViewEnd();
void TimelineViewSetPosition(uint32_t firstRow, float startTime, float zoom);
void TimelineViewSetSelection(uint32_t object, uint32_t segment);
// Requests a redraw; with force 0 an unchanged chart is left as it is.
void TimelineViewRefresh(uint32_t force);
// Rows of the chart: display objects in use without a group parent.
int32_t TimelineViewGetMaxY();
// The object, segment and time under a view point (origin bottom left);
// 0xFFFFFFFF for no object or segment. Always 0.
int TimelineViewFindXY(uint32_t x, uint32_t y, uint32_t* object, uint32_t* segment, float* time);
// Number of charts handed to the view so far (for waiting in tests).
uint64_t TimelineViewDrawCount();
