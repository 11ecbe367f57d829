#pragma once
// Drawing of the timeline chart into a top-down layer.
#include "render/draw/layer.h"
#include "render/preview/timeline_rows.h"

struct TimelinePosition {
  uint32_t firstRow = 0; // 0 and 1 both show the first row at the top
  float startTime = 0;
  float zoom = 1;
};

struct TimelineSelection {
  uint32_t object = 0xFFFFFFFF;
  uint32_t segment = 0xFFFFFFFF;
};

// Index into the rows of the first row shown.
uint32_t TimelineFirstRowIndex(uint32_t firstRow);
// Seconds per pixel across the chart.
double TimelineSecondsPerPixel(float zoom, uint32_t width);
void TimelineDrawChart(Layer* chart, const std::vector<TimelineRow>& rows,
                       const TimelinePosition& position, const TimelineSelection& selection);
