// Track maps (type 70): the course from the log's positions (all laps,
// the best lap or one lap), the start/finish line, the position marker and
// a ghost marker on the best lap; optionally turned with the heading or
// zoomed on the current position.
#include "base/error.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/query.h"
#include "render/draw/data_channel.h"
#include "render/draw/data_look.h"
#include "render/draw/layer_cache.h"
#include "render/objects/data_object.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kAutoBound = 9999999.0;
constexpr int kTrackCourse = 2;

struct Pt {
  double x, y;
};

// Log positions to layer units: metres-like plane (longitude shrunk by the
// latitude), fitted into the box, turned and zoomed about the box centre.
struct MapView {
  double cx = 0, cy = 0;       // plane centre
  double boxCx = 0, boxCy = 0; // box centre, units
  double scale = 1;            // units per plane unit
  double cosLat = 1;
  double turn = 0; // radians, clockwise
  Pt plane(double x, double y) const { return {x * cosLat, y}; }
  Pt toBox(double x, double y) const {
    const Pt p = plane(x, y);
    const double dx = (p.x - cx) * scale, dy = -(p.y - cy) * scale;
    const double c = std::cos(turn), s = std::sin(turn);
    return {boxCx + dx * c - dy * s, boxCy + dx * s + dy * c};
  }
};

struct MapInput {
  const TrackMapParam* p;
  const Course* course;
  int lap = 0; // 0 = all laps
  double f = 1; // resolution factor of the stored sizes
  double now = 0; // input time
  uint32_t input = 255;
};

bool drawn(const MapInput& m, const CoursePoint& c) { return m.lap == 0 || c.lap == m.lap; }

// Course bounds: the stored ones unless automatic, else those of the laps drawn.
void bounds(const MapInput& m, double* x0, double* y0, double* x1, double* y1) {
  *x0 = *y0 = 1e300;
  *x1 = *y1 = -1e300;
  for (const CoursePoint& c : m.course->points) {
    if (!drawn(m, c)) continue;
    *x0 = std::min(*x0, c.x);
    *x1 = std::max(*x1, c.x);
    *y0 = std::min(*y0, c.y);
    *y1 = std::max(*y1, c.y);
  }
  if (*x0 > *x1) { // the lap asked for has no points: the whole course
    *x0 = m.course->minX, *x1 = m.course->maxX, *y0 = m.course->minY, *y1 = m.course->maxY;
  }
  const TrackMapParam& p = *m.p;
  if (p.MinX < kAutoBound && p.MaxX > -kAutoBound && p.MaxX > p.MinX) *x0 = p.MinX, *x1 = p.MaxX;
  if (p.MinY < kAutoBound && p.MaxY > -kAutoBound && p.MaxY > p.MinY) *y0 = p.MinY, *y1 = p.MaxY;
}

MapView viewFor(const MapInput& m, double w, double h, double margin, double heading, Pt here) {
  MapView v;
  double x0, y0, x1, y1;
  bounds(m, &x0, &y0, &x1, &y1);
  if (m.course->geographic) v.cosLat = std::max(0.05, std::cos((y0 + y1) / 2 * M_PI / 180));
  const Pt a = v.plane(x0, y0), b = v.plane(x1, y1);
  v.cx = (a.x + b.x) / 2;
  v.cy = (a.y + b.y) / 2;
  v.boxCx = w / 2;
  v.boxCy = h / 2;
  const double spanX = std::max(b.x - a.x, 1e-9), spanY = std::max(b.y - a.y, 1e-9);
  const double roomW = std::max(1.0, w - 2 * margin), roomH = std::max(1.0, h - 2 * margin);
  const bool rotate = (m.p->Options & kMapRotate) != 0 && std::isfinite(heading);
  if (rotate) {
    // Any turn must fit: the course's diagonal against the smaller side.
    v.scale = std::min(roomW, roomH) / std::hypot(spanX, spanY);
    v.turn = -heading * M_PI / 180;
  } else {
    v.scale = std::min(roomW / spanX, roomH / spanY);
  }
  if (m.p->ZoomArea != 0 && std::isfinite(here.x)) {
    // The zoomed view follows the position, magnified by ZoomArea / 20.
    v.scale *= std::max(1.0, double(m.p->ZoomArea) / kMapZoomBase);
    const Pt pp = v.plane(here.x, here.y);
    v.cx = pp.x;
    v.cy = pp.y;
  }
  return v;
}

void coursePath(cairo_t* cr, const MapInput& m, const MapView& v) {
  cairo_new_path(cr);
  bool pen = false;
  for (const CoursePoint& c : m.course->points) {
    if (!drawn(m, c)) {
      pen = false;
      continue;
    }
    const Pt q = v.toBox(c.x, c.y);
    if (pen) cairo_line_to(cr, q.x, q.y);
    else cairo_move_to(cr, q.x, q.y);
    pen = true;
  }
}

// Speed blend: slow stretches lean towards the second colour.
void courseBlended(cairo_t* cr, const MapInput& m, const MapView& v, double width) {
  const TrackMapParam& p = *m.p;
  double lo = 1e300, hi = -1e300;
  for (const CoursePoint& c : m.course->points)
    if (drawn(m, c) && std::isfinite(c.speed)) lo = std::min(lo, c.speed), hi = std::max(hi, c.speed);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const CoursePoint* prev = nullptr;
  for (const CoursePoint& c : m.course->points) {
    if (!drawn(m, c)) {
      prev = nullptr;
      continue;
    }
    if (prev) {
      const double share = hi > lo && std::isfinite(c.speed) ? (c.speed - lo) / (hi - lo) : 1;
      const Pt a = v.toBox(prev->x, prev->y), b = v.toBox(c.x, c.y);
      cairo_move_to(cr, a.x, a.y);
      cairo_line_to(cr, b.x, b.y);
      DrawSetColor(cr, ColorBlend(p.MapLowColor, p.MapColor, share));
      cairo_stroke(cr);
    }
    prev = &c;
  }
}

void drawCourse(cairo_t* cr, const MapInput& m, const MapView& v) {
  const TrackMapParam& p = *m.p;
  if (ColorIsOff(p.MapColor)) return;
  const double line = std::max(0.5, p.MapLineSize / m.f);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  if (!ColorIsOff(p.MapEdgeColor)) {
    coursePath(cr, m, v);
    DrawSetColor(cr, p.MapEdgeColor);
    cairo_set_line_width(cr, line + 2 * std::max(1.0, line / 6));
    cairo_stroke(cr);
  }
  if (!ColorIsOff(p.MapLowColor)) {
    courseBlended(cr, m, v, line);
    return;
  }
  coursePath(cr, m, v);
  DrawSetColor(cr, p.MapColor);
  cairo_set_line_width(cr, line);
  cairo_stroke(cr);
}


// Index of the course point nearest to input time t.
size_t pointAt(const Course& course, double t) {
  const auto& pts = course.points;
  auto it = std::lower_bound(pts.begin(), pts.end(), t, [](const CoursePoint& c, double v) { return c.t < v; });
  if (it == pts.end()) return pts.size() - 1;
  return static_cast<size_t>(it - pts.begin());
}

// The start/finish line across the course at the first lap's start (the
// first point without laps), at the given angle or square to the course.
void drawStart(cairo_t* cr, const MapInput& m, const MapView& v) {
  const TrackMapParam& p = *m.p;
  if (ColorIsOff(p.StartColor) || p.StartSize == 0) return;
  const auto& pts = m.course->points;
  const double lapStart = InputHandlerGetDataTypeValue(m.input, 1, kQueryLapStart, 1);
  const size_t i = lapStart > 0 && std::isfinite(lapStart) ? pointAt(*m.course, lapStart) : 0;
  const Pt at = v.toBox(pts[i].x, pts[i].y);
  const double size = p.StartSize / m.f;
  if (p.StartLineAngle == kMapNoStartLine) {
    DrawEllipse(cr, at.x - size / 2, at.y - size / 2, size, size, p.StartColor & 0xFFFFFF, kColorOff, 0);
    return;
  }
  double angle; // direction of the line on the layer, radians
  if (p.StartLineAngle >= kMapAutoStartLine) {
    const size_t j = std::min(i + 1, pts.size() - 1), k = i > 0 ? i - 1 : 0;
    const Pt a = v.toBox(pts[k].x, pts[k].y), b = v.toBox(pts[j].x, pts[j].y);
    angle = std::atan2(b.y - a.y, b.x - a.x) + M_PI / 2;
  } else {
    angle = (p.StartLineAngle - 90.0) * M_PI / 180 + v.turn;
  }
  const double length = std::max(p.MapLineSize / m.f * 2.2, size * 2);
  const double thick = std::max(1.0, size / 2);
  cairo_save(cr);
  cairo_translate(cr, at.x, at.y);
  cairo_rotate(cr, angle);
  const int rows = p.StartStyle == kStartChecker1 ? 2 : p.StartStyle == kStartChecker2 ? 3 : 0;
  if (rows == 0) {
    cairo_new_path(cr);
    cairo_move_to(cr, -length / 2, 0);
    cairo_line_to(cr, length / 2, 0);
    cairo_set_line_cap(cr, p.StartStyle == kStartFlat ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, thick);
    DrawSetColor(cr, p.StartColor);
    cairo_stroke(cr);
  } else {
    // Chequered: squares of StartColor and white (black under white).
    const double cell = thick * 2 / rows;
    const int cols = std::max(2, static_cast<int>(std::ceil(length / cell)));
    const uint32_t other = (p.StartColor & 0xFFFFFF) == 0xFFFFFF ? 0 : 0xFFFFFF;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) {
        cairo_rectangle(cr, -cols * cell / 2 + c * cell, -thick + r * cell, cell, cell);
        DrawSetColor(cr, (r + c) % 2 ? other : p.StartColor);
        cairo_fill(cr);
      }
  }
  cairo_restore(cr);
}

// Position marker: PosIcon 3 and up an arrow along the heading, 2 a dot
// with a white ring, others a plain dot; animated markers send out a ring
// each second.
void drawMarker(cairo_t* cr, const MapInput& m, Pt at, double size, uint32_t color, double heading,
                double turn, bool animate) {
  const TrackMapParam& p = *m.p;
  if (ColorIsOff(color) || !(size > 0) || !std::isfinite(at.x)) return;
  const double r = size / 2;
  if (animate) {
    const double phase = m.now - std::floor(m.now);
    cairo_new_path(cr);
    cairo_arc(cr, at.x, at.y, r * (1 + 1.2 * phase), 0, 2 * M_PI);
    DrawSetColor(cr, color, 0.8 * (1 - phase));
    cairo_set_line_width(cr, std::max(1.0, r / 3));
    cairo_stroke(cr);
  }
  if (p.PosIcon >= 3 && std::isfinite(heading)) {
    cairo_save(cr);
    cairo_translate(cr, at.x, at.y);
    cairo_rotate(cr, heading * M_PI / 180 + turn);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND); // soft as the course line
    DrawPolygon(cr, {{0, -r * 1.3}, {r, r}, {0, r * 0.4}, {-r, r}}, color & 0xFFFFFF, 0xFFFFFF,
                std::max(0.5, r / 6));
    cairo_restore(cr);
    return;
  }
  const uint32_t ring = p.PosIcon == 2 ? 0xFFFFFF : kColorOff;
  DrawEllipse(cr, at.x - r, at.y - r, 2 * r, 2 * r, color & 0xFFFFFF, ring, std::max(0.5, r / 5));
}

// Where the best lap was at the same time into its lap as now.
Pt ghostAt(const MapInput& m, double time) {
  const double best = DataQueryValue(m.input, kQueryBestLapNumber, time);
  const double into = DataQueryValue(m.input, kQueryCurrentLapTime, time);
  if (!(best >= 1) || !std::isfinite(into)) return {NAN, NAN};
  const double start = InputHandlerGetDataTypeValue(m.input, 1, kQueryLapStart, static_cast<float>(best));
  if (!(start > 0)) return {NAN, NAN};
  const CoursePoint& c = m.course->points[pointAt(*m.course, start + into)];
  return {c.x, c.y};
}

} // namespace

int RenderTrackMapObject(const ObjectContext& ctx) {
  const TrackMapParam* p = ObjectParam<TrackMapParam>(ctx.obj);
  if (!p) return ErrorSet(kErrBadArg, "RenderTrackMapObject");
  MapInput m{p, &DataCourse(ctx.obj->InputID)};
  if (m.course->points.size() < 2) return 0;
  m.input = ctx.obj->InputID;
  m.f = TrackMapSizeFactor(p->Options);
  m.now = DataInputTime(m.input, ctx.time);
  // The best lap wins over a chosen one: choosing "Best" keeps the lap
  // chosen before, for when the user goes back to it.
  if (p->Options & kMapBestLap) m.lap = std::max(0, static_cast<int>(DataQueryValue(m.input, kQueryBestLapNumber, ctx.time)));
  else m.lap = p->SelectedLap;
  DataLayer dl;
  if (!DataLayerFor(ctx, (p->Options & (kMapHighRes | kMapHigherRes)) != 0, &dl)) return 0;
  const Pt here{DataQueryValue(m.input, kQueryPosX, ctx.time), DataQueryValue(m.input, kQueryPosY, ctx.time)};
  const double heading = DataQueryValue(m.input, kQueryHeading, ctx.time);
  const double margin = std::max({p->MapLineSize, p->StartSize, p->PosSize}) / m.f + 2;
  const MapView v = viewFor(m, dl.unitsW, dl.unitsH, margin, heading, here);
  // The course and the start line stay put unless the map turns or
  // follows the car; then they are drawn once and kept.
  std::string key;
  const bool keep = !(p->Options & kMapRotate) && p->ZoomArea == 0;
  if (keep) {
    LayerKeyAdd(&key, *p);
    LayerKeyAdd(&key, m.course);
    LayerKeyAdd(&key, m.course->fingerprint);
    LayerKeyAdd(&key, m.lap);
    LayerKeyAdd(&key, dl.layer.width);
    LayerKeyAdd(&key, dl.layer.height);
  }
  const bool kept = keep && LayerCacheGet(ctx.index, kTrackCourse, key, &dl.layer);
  {
    Canvas canvas(dl.layer);
    if (!canvas.ok()) return ErrorSet(kErrNoMemory, "RenderTrackMapObject");
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, dl.scale, dl.scale);
    LayerCacheDrawUnder(cr, kept, keep, ctx.index, kTrackCourse, key, dl.layer, [&](cairo_t* c) {
      drawCourse(c, m, v);
      if (!ColorIsOff(p->MapColor)) drawStart(c, m, v);
    });
    if (!ColorIsOff(p->GhostColor)) {
      const Pt g = ghostAt(m, ctx.time);
      if (std::isfinite(g.x)) drawMarker(cr, m, v.toBox(g.x, g.y), p->PosSize / m.f * 0.8, p->GhostColor, NAN, v.turn, false);
    }
    if (std::isfinite(here.x) && std::isfinite(here.y))
      drawMarker(cr, m, v.toBox(here.x, here.y), p->PosSize / m.f, p->PosColor, heading, v.turn, (p->Options & kMapAnimatePos) != 0);
  }
  return DataLayerPlace(ctx, dl);
}
