#include "render/preview/timeline_draw.h"

#include "base/text.h"
#include "platform/graphics/text_raster.h"
#include "render/draw/canvas.h"
#include "render/preview/timeline_view.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr uint32_t kBackground = 0xF0F0F0, kRuler = 0xD8D8D8, kRowEven = 0xFFFFFF,
                   kRowOdd = 0xF4F4F4, kRowSelected = 0xDDE8FF, kBar = 0x6A9BD8,
                   kBarInactive = 0xB0B0B0, kMarker = 0x303030, kMarkerSelected = 0xD00000,
                   kText = 0x202020;
constexpr double kMinLabelGap = 60; // pixels between ruler labels

double tickStep(double secondsPerPixel) {
  static const double kSteps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1800, 3600};
  for (double step : kSteps)
    if (step / secondsPerPixel >= kMinLabelGap) return step;
  return 7200;
}

std::string timeLabel(double t, double step) {
  char text[32];
  const int whole = static_cast<int>(std::floor(std::clamp(t, 0.0, 1e9) + 1e-6));
  if (step < 1) std::snprintf(text, sizeof text, "%d:%04.1f", whole / 60, t - (whole / 60) * 60);
  else std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
  return text;
}

void drawRuler(cairo_t* cr, int width, const TimelinePosition& pos, double spp) {
  DrawSetColor(cr, kRuler);
  cairo_rectangle(cr, 0, 0, width, kTimelineRulerHeight);
  cairo_fill(cr);
  const double step = tickStep(spp);
  TextLook look;
  look.font = "Arial";
  look.size = 10;
  look.color = kText;
  const double first = std::ceil(pos.startTime / step) * step;
  for (double t = first; (t - pos.startTime) / spp < width; t += step) {
    const double x = std::floor((t - pos.startTime) / spp) + 0.5;
    DrawLine(cr, x, kTimelineRulerHeight - 6, x, kTimelineRulerHeight, kMarker, 1);
    TextDraw(cr, timeLabel(t, step), look, x + 2, 2, 0);
  }
}

void drawRow(cairo_t* cr, int width, int y, size_t rowIndex, const TimelineRow& row,
             const TimelinePosition& pos, const TimelineSelection& sel, double spp) {
  const bool selected = row.object == sel.object;
  DrawSetColor(cr, selected ? kRowSelected : (rowIndex % 2 ? kRowOdd : kRowEven));
  cairo_rectangle(cr, 0, y, width, kTimelineRowHeight);
  cairo_fill(cr);
  const double x0 = std::max(-1.0, (row.start - pos.startTime) / spp);
  if (x0 < width) {
    DrawSetColor(cr, row.active ? kBar : kBarInactive);
    cairo_rectangle(cr, x0, y + 4, width - x0, kTimelineRowHeight - 8);
    cairo_fill(cr);
  }
  auto marker = [&](float start, bool chosen) {
    const double x = std::floor((start - pos.startTime) / spp) + 0.5;
    if (x < -2 || x > width + 2) return;
    DrawLine(cr, x, y + 2, x, y + kTimelineRowHeight - 2, chosen ? kMarkerSelected : kMarker,
             chosen ? 3 : 1.5);
  };
  marker(row.start, selected && sel.segment == 0xFFFFFFFF);
  for (size_t s = 0; s < row.segments.size(); ++s)
    marker(row.segments[s], selected && sel.segment == s);
  TextLook look;
  look.font = "Arial";
  look.size = 11;
  look.color = kText;
  TextDraw(cr, WideToUtf8(Utf16ToWide(row.name)), look, std::max(2.0, x0 + 4), y + 4, 0);
}

} // namespace

uint32_t TimelineFirstRowIndex(uint32_t firstRow) { return firstRow > 0 ? firstRow - 1 : 0; }

double TimelineSecondsPerPixel(float zoom, uint32_t width) {
  const double z = std::isfinite(zoom) && zoom > 0 ? zoom : 1.0;
  return kTimelineSpanSeconds / z / std::max<uint32_t>(width, 1);
}

void TimelineDrawChart(Layer* chart, const std::vector<TimelineRow>& rows,
                       const TimelinePosition& pos, const TimelineSelection& sel) {
  chart->fill(0xFF000000u | kBackground);
  Canvas canvas(*chart);
  if (!canvas.ok()) return;
  cairo_t* cr = canvas.cr();
  const double spp = TimelineSecondsPerPixel(pos.zoom, static_cast<uint32_t>(chart->width));
  const uint32_t first = TimelineFirstRowIndex(pos.firstRow);
  for (size_t k = first; k < rows.size(); ++k) {
    const int y = kTimelineRulerHeight + static_cast<int>(k - first) * kTimelineRowHeight;
    if (y >= chart->height) break;
    drawRow(cr, chart->width, y, k, rows[k], pos, sel, spp);
  }
  drawRuler(cr, chart->width, pos, spp);
}
