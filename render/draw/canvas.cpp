#include "render/draw/canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(Layer& layer) {
  if (layer.empty()) return;
  auto* data = reinterpret_cast<unsigned char*>(layer.pixels.data());
  surface_ = cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, layer.width,
                                                 layer.height, layer.width * 4);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    return;
  }
  cr_ = cairo_create(surface_);
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr_);
    cr_ = nullptr;
  }
}

Canvas::~Canvas() {
  if (cr_) cairo_destroy(cr_);
  if (surface_) {
    cairo_surface_flush(surface_);
    cairo_surface_destroy(surface_);
  }
}

void DrawSetColor(cairo_t* cr, uint32_t color, double alpha) {
  cairo_set_source_rgba(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                        (color & 0xFF) / 255.0, alpha);
}

void DrawPathRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
  radius = std::max(0.0, std::min(radius, std::min(w, h) / 2));
  if (radius <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void DrawFillStroke(cairo_t* cr, uint32_t fill, uint32_t line, double lineWidth) {
  if (!ColorIsOff(fill)) {
    DrawSetColor(cr, fill);
    cairo_fill_preserve(cr);
  }
  if (!ColorIsOff(line) && lineWidth > 0) {
    DrawSetColor(cr, line);
    cairo_set_line_width(cr, lineWidth);
    cairo_stroke_preserve(cr);
  }
  cairo_new_path(cr);
}

void DrawLine(cairo_t* cr, double x0, double y0, double x1, double y1, uint32_t color,
              double width) {
  if (ColorIsOff(color) || width <= 0) return;
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  DrawSetColor(cr, color);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void DrawArc(cairo_t* cr, double cx, double cy, double radius, double a0, double a1,
             uint32_t color, double width) {
  if (ColorIsOff(color) || width <= 0 || radius <= 0) return;
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, radius, a0 * M_PI / 180, a1 * M_PI / 180);
  DrawSetColor(cr, color);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void DrawEllipse(cairo_t* cr, double x, double y, double w, double h, uint32_t fill,
                 uint32_t line, double lineWidth) {
  if (w <= 0 || h <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, x + w / 2, y + h / 2);
  cairo_scale(cr, w / 2, h / 2);
  cairo_new_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr); // the stroke width stays in layer pixels
  DrawFillStroke(cr, fill, line, lineWidth);
}

void DrawPolygon(cairo_t* cr, const std::vector<std::pair<double, double>>& points, uint32_t fill,
                 uint32_t line, double lineWidth) {
  if (points.size() < 2) return;
  cairo_new_path(cr);
  cairo_move_to(cr, points[0].first, points[0].second);
  for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].first, points[i].second);
  cairo_close_path(cr);
  DrawFillStroke(cr, fill, line, lineWidth);
}

void DrawFillGradient(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom) {
  cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(pattern, 0, ((top >> 16) & 0xFF) / 255.0,
                                   ((top >> 8) & 0xFF) / 255.0, (top & 0xFF) / 255.0);
  cairo_pattern_add_color_stop_rgb(pattern, 1, ((bottom >> 16) & 0xFF) / 255.0,
                                   ((bottom >> 8) & 0xFF) / 255.0, (bottom & 0xFF) / 255.0);
  cairo_set_source(cr, pattern);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(pattern);
}
