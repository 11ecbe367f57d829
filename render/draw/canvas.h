#pragma once
// Cairo drawing onto a Layer, with the small set of strokes and fills the
// display-object renderers share. Colours are parameter-record words
// 0x00RRGGBB; a top byte of 0xFF means "not drawn".
#include "model/disp_records.h"
#include "render/draw/layer.h"

#include <cairo.h>

#include <utility>
#include <vector>

// kColorOff and ColorIsOff come with the records (model/disp_records.h).

class Canvas {
public:
  explicit Canvas(Layer& layer);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  bool ok() const { return cr_ != nullptr; }
  cairo_t* cr() const { return cr_; }

private:
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

// Source colour from 0x??RRGGBB with the given opacity (0..1).
void DrawSetColor(cairo_t* cr, uint32_t color, double alpha = 1.0);
// Rectangle path with corners of the given radius (0 = square).
void DrawPathRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
// Fills the current path unless fill is off, then strokes it unless line is
// off or width <= 0; the path is consumed.
void DrawFillStroke(cairo_t* cr, uint32_t fill, uint32_t line, double lineWidth);
void DrawLine(cairo_t* cr, double x0, double y0, double x1, double y1, uint32_t color,
              double width);
// Arc of a circle from angle a0 to a1 in degrees, clockwise from 3 o'clock.
void DrawArc(cairo_t* cr, double cx, double cy, double radius, double a0, double a1,
             uint32_t color, double width);
void DrawEllipse(cairo_t* cr, double x, double y, double w, double h, uint32_t fill,
                 uint32_t line, double lineWidth);
void DrawPolygon(cairo_t* cr, const std::vector<std::pair<double, double>>& points, uint32_t fill,
                 uint32_t line, double lineWidth);
// Vertical gradient fill of the current path from top to bottom colour.
void DrawFillGradient(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom);
