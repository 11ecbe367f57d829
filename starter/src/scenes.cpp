#include "scenes.h"

#include <cairo.h>

#include <cmath>

namespace {

void rgb(cairo_t* cr, uint32_t c, double alpha = 1) {
  cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, alpha);
}

void vertical(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  auto stop = [p](double at, uint32_t c) {
    cairo_pattern_add_color_stop_rgb(p, at, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
  };
  stop(0, top);
  stop(1, bottom);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

void sky(cairo_t* cr, double w, double horizon) {
  vertical(cr, 0, horizon, 0x3E7CC4, 0xC9DEEE);
  cairo_rectangle(cr, 0, 0, w, horizon);
  cairo_fill(cr);
  // A few soft clouds.
  for (int i = 0; i < 6; ++i) {
    const double cx = w * (0.08 + 0.17 * i), cy = horizon * (0.25 + 0.12 * ((i * 7) % 3));
    for (int k = 0; k < 4; ++k) {
      cairo_new_path(cr);
      cairo_arc(cr, cx + k * w * 0.018, cy - (k % 2) * horizon * 0.03, horizon * (0.05 + 0.015 * (k % 3)), 0, 2 * M_PI);
      rgb(cr, 0xFFFFFF, 0.55);
      cairo_fill(cr);
    }
  }
}

// Rolling hills or a tree line along the horizon.
void skyline(cairo_t* cr, double w, double horizon, double height, uint32_t colour, double seed) {
  cairo_new_path(cr);
  cairo_move_to(cr, 0, horizon);
  for (int x = 0; x <= 200; ++x) {
    const double fx = x / 200.0;
    const double bump = std::sin(fx * 11 + seed) * 0.4 + std::sin(fx * 29 + 2 * seed) * 0.25 +
                        std::sin(fx * 67 + seed) * 0.12 + 0.6;
    cairo_line_to(cr, fx * w, horizon - height * bump);
  }
  cairo_line_to(cr, w, horizon);
  cairo_close_path(cr);
  rgb(cr, colour);
  cairo_fill(cr);
}

// The road in perspective: edges from the vanishing point bending to one side.
struct Road {
  double vx, horizon, bottom, halfBottom, bend;
  // Centre and half width at a depth share d (0 horizon .. 1 bottom).
  double centre(double d) const { return vx + bend * (1 - d) * (1 - d) + (0.0) * d; }
  double half(double d) const { return 2 + halfBottom * d; }
  double y(double d) const { return horizon + (bottom - horizon) * d; }
};

void roadSide(cairo_t* cr, const Road& r, double side, double from, double to) {
  cairo_new_path(cr);
  for (int i = 0; i <= 60; ++i) {
    const double d = i / 60.0;
    cairo_line_to(cr, r.centre(d) + side * r.half(d) * from, r.y(d));
  }
  for (int i = 60; i >= 0; --i) {
    const double d = i / 60.0;
    cairo_line_to(cr, r.centre(d) + side * r.half(d) * to, r.y(d));
  }
  cairo_close_path(cr);
}

// The whole road surface between its two edges.
void roadSurface(cairo_t* cr, const Road& r, double widen) {
  cairo_new_path(cr);
  for (int i = 0; i <= 60; ++i) {
    const double d = i / 60.0;
    cairo_line_to(cr, r.centre(d) - r.half(d) * widen, r.y(d));
  }
  for (int i = 60; i >= 0; --i) {
    const double d = i / 60.0;
    cairo_line_to(cr, r.centre(d) + r.half(d) * widen, r.y(d));
  }
  cairo_close_path(cr);
}

void kerbs(cairo_t* cr, const Road& r, double side) {
  // Stripes shrink with the distance: equal steps of 1 / depth.
  for (int k = 0; k < 40; ++k) {
    const double z0 = 1.0 + k * 0.55, z1 = z0 + 0.55;
    const double d0 = 1 / z0, d1 = 1 / z1;
    cairo_new_path(cr);
    for (int i = 0; i <= 6; ++i) {
      const double d = d1 + (d0 - d1) * i / 6;
      cairo_line_to(cr, r.centre(d) + side * r.half(d) * 1.0, r.y(d));
    }
    for (int i = 6; i >= 0; --i) {
      const double d = d1 + (d0 - d1) * i / 6;
      cairo_line_to(cr, r.centre(d) + side * r.half(d) * 1.12, r.y(d));
    }
    cairo_close_path(cr);
    rgb(cr, k % 2 ? 0xF4F4F4 : 0xD7261E);
    cairo_fill(cr);
  }
}

// Asphalt with kerbs and white edge lines.
void track(cairo_t* cr, const Road& road, double horizon, double h) {
  roadSurface(cr, road, 1.0);
  vertical(cr, horizon, h, 0x8C9096, 0x4C4F54);
  cairo_fill(cr);
  kerbs(cr, road, 1);
  kerbs(cr, road, -1);
  for (double side : {1.0, -1.0}) {
    roadSide(cr, road, side, 0.93, 0.96);
    rgb(cr, 0xF2F2F2, 0.9);
    cairo_fill(cr);
  }
}

void circuitGround(cairo_t* cr, double w, double h, double horizon) {
  sky(cr, w, horizon);
  skyline(cr, w, horizon, h * 0.07, 0x2F5A34, 1.3);
  vertical(cr, horizon, h, 0x6E9D4C, 0x3F7431);
  cairo_rectangle(cr, 0, horizon, w, h - horizon);
  cairo_fill(cr);
}

// Seen over the screen and the clip-on bars of a sports bike, leaning.
void sportsBike(cairo_t* cr, double w, double h) {
  cairo_save(cr);
  cairo_translate(cr, w / 2, h / 2);
  cairo_rotate(cr, -0.16);
  cairo_scale(cr, 1.3, 1.3);
  cairo_translate(cr, -w / 2, -h / 2);
  const double horizon = h * 0.42;
  cairo_rectangle(cr, -w, -h, 3 * w, 3 * h);
  vertical(cr, -h, horizon, 0x3E7CC4, 0xC9DEEE);
  cairo_fill(cr);
  circuitGround(cr, w, h, horizon);
  cairo_rectangle(cr, -w, horizon, 3 * w, 2 * h);
  vertical(cr, horizon, h, 0x6E9D4C, 0x3F7431);
  cairo_fill(cr);
  const Road road{w * 0.46, horizon, h * 1.1, w * 0.7, -w * 0.18};
  track(cr, road, horizon, h);
  cairo_restore(cr);
  // The screen and the top of the fairing.
  cairo_new_path(cr);
  cairo_move_to(cr, w * 0.18, h);
  cairo_curve_to(cr, w * 0.30, h * 0.74, w * 0.70, h * 0.74, w * 0.82, h);
  cairo_close_path(cr);
  vertical(cr, h * 0.74, h, 0x1E2A36, 0x0A0F14);
  cairo_fill(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, w * 0.26, h * 0.96);
  cairo_curve_to(cr, w * 0.36, h * 0.80, w * 0.64, h * 0.80, w * 0.74, h * 0.96);
  rgb(cr, 0xB6F03C, 0.9);
  cairo_set_line_width(cr, h * 0.012);
  cairo_stroke(cr);
  for (double side : {-1.0, 1.0}) {
    cairo_new_path(cr);
    cairo_move_to(cr, w * (0.5 + side * 0.30), h * 0.97);
    cairo_line_to(cr, w * (0.5 + side * 0.46), h * 0.90);
    rgb(cr, 0x15171A);
    cairo_set_line_width(cr, h * 0.035);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  }
}

void circuit(cairo_t* cr, double w, double h) {
  const double horizon = h * 0.46;
  circuitGround(cr, w, h, horizon);
  const Road road{w * 0.56, horizon, h, w * 0.62, w * 0.10};
  track(cr, road, horizon, h);
  // The bonnet of the car, with a highlight along its crown.
  cairo_new_path(cr);
  cairo_move_to(cr, w * 0.12, h);
  cairo_curve_to(cr, w * 0.26, h * 0.84, w * 0.74, h * 0.84, w * 0.88, h);
  cairo_close_path(cr);
  vertical(cr, h * 0.84, h, 0xC4281F, 0x6B120D);
  cairo_fill(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, w * 0.30, h * 0.93);
  cairo_curve_to(cr, w * 0.42, h * 0.875, w * 0.58, h * 0.875, w * 0.70, h * 0.93);
  rgb(cr, 0xFFFFFF, 0.35);
  cairo_set_line_width(cr, h * 0.008);
  cairo_stroke(cr);
}

void countryRoad(cairo_t* cr, double w, double h) {
  const double horizon = h * 0.44;
  sky(cr, w, horizon);
  skyline(cr, w, horizon, h * 0.16, 0x7C9A86, 0.4);
  skyline(cr, w, horizon + h * 0.04, h * 0.12, 0x577F4E, 2.1);
  vertical(cr, horizon, h, 0x8DB35A, 0x4E7A2E);
  cairo_rectangle(cr, 0, horizon, w, h - horizon);
  cairo_fill(cr);
  skyline(cr, w, horizon + h * 0.045, h * 0.05, 0x4E7A2E, 3.7);
  const Road road{w * 0.46, horizon + h * 0.04, h, w * 0.36, -w * 0.16};
  roadSurface(cr, road, 1.0);
  vertical(cr, horizon, h, 0x9A9B98, 0x5C5E5F);
  cairo_fill(cr);
  // Dashed centre line.
  for (int k = 0; k < 30; k += 2) {
    const double d0 = 1 / (1.0 + k * 0.5), d1 = 1 / (1.0 + (k + 1) * 0.5);
    cairo_new_path(cr);
    cairo_move_to(cr, road.centre(d0) - road.half(d0) * 0.02, road.y(d0));
    cairo_line_to(cr, road.centre(d1) - road.half(d1) * 0.02, road.y(d1));
    cairo_line_to(cr, road.centre(d1) + road.half(d1) * 0.02, road.y(d1));
    cairo_line_to(cr, road.centre(d0) + road.half(d0) * 0.02, road.y(d0));
    cairo_close_path(cr);
    rgb(cr, 0xF6F2DA);
    cairo_fill(cr);
  }
  // Handlebars and the stem.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_new_path(cr);
  cairo_move_to(cr, w * 0.14, h * 1.02);
  cairo_curve_to(cr, w * 0.30, h * 0.90, w * 0.70, h * 0.90, w * 0.86, h * 1.02);
  rgb(cr, 0x1A1C1F);
  cairo_set_line_width(cr, h * 0.045);
  cairo_stroke(cr);
  cairo_new_path(cr);
  cairo_rectangle(cr, w * 0.47, h * 0.90, w * 0.06, h * 0.12);
  rgb(cr, 0x2A2D31);
  cairo_fill(cr);
}

void cockpit(cairo_t* cr, double w, double h) {
  sky(cr, w, h * 0.5);
  vertical(cr, h * 0.5, h, 0x6E9D4C, 0x3F7431);
  cairo_rectangle(cr, 0, h * 0.5, w, h * 0.5);
  cairo_fill(cr);
  const Road road{w * 0.5, h * 0.5, h, w * 0.5, 0};
  roadSurface(cr, road, 1.0);
  rgb(cr, 0x6B6F74);
  cairo_fill(cr);
  // Dashboard and the wheel.
  cairo_new_path(cr);
  cairo_move_to(cr, 0, h * 0.62);
  cairo_curve_to(cr, w * 0.3, h * 0.55, w * 0.7, h * 0.55, w, h * 0.62);
  cairo_line_to(cr, w, h);
  cairo_line_to(cr, 0, h);
  cairo_close_path(cr);
  vertical(cr, h * 0.55, h, 0x2B2E33, 0x0C0D0F);
  cairo_fill(cr);
  cairo_new_path(cr);
  cairo_arc(cr, w * 0.5, h * 1.05, h * 0.42, M_PI, 2 * M_PI);
  rgb(cr, 0x141518);
  cairo_set_line_width(cr, h * 0.07);
  cairo_stroke(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, w * 0.5 - h * 0.36, h * 0.98);
  cairo_line_to(cr, w * 0.5 + h * 0.36, h * 0.98);
  cairo_set_line_width(cr, h * 0.05);
  cairo_stroke(cr);
  cairo_new_path(cr);
  cairo_arc(cr, w * 0.5, h * 0.98, h * 0.08, 0, 2 * M_PI);
  rgb(cr, 0xC4281F);
  cairo_fill(cr);
}

} // namespace

bool PaintScene(Scene scene, int width, int height, const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
  cairo_t* cr = cairo_create(surface);
  switch (scene) {
  case Scene::kCircuit: circuit(cr, width, height); break;
  case Scene::kCountryRoad: countryRoad(cr, width, height); break;
  case Scene::kCockpit: cockpit(cr, width, height); break;
  case Scene::kSportsBike: sportsBike(cr, width, height); break;
  }
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}
