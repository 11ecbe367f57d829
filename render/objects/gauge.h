#pragma once
// The parts of a gauge drawing, shared by gauge*.cpp. A gauge is designed
// on a square of kGaugeSize units around (kGaugeCentre, kGaugeCentre);
// angles are degrees along the scale, measured from straight down.
#include "model/disp_records.h"
#include "render/draw/data_look.h"

#include <cairo.h>

constexpr double kGaugeSize = 312;
constexpr double kGaugeCentre = 156;

struct GaugeGeom {
  const GaugeParam* p = nullptr;
  double lo = 0, hi = 100;
  double start = 62.5, sweep = 235;
  bool ccw = false, dual = false, graph = false;
  bool twoPart = false;
  double midValue = 0, midAngle = 0;
  double value = 0; // NaN without data
  double span = 10; // dual mode: value span of one turn of the main needle
  ColorChange change;
  double markRadius = 148; // outer edge of the marks

  // Scale angle (0..sweep) of a value, clamped to the scale.
  double angleOf(double v) const;
  // Cairo angle in radians of a scale angle.
  double screenAngle(double scaleAngle) const;
};

void GaugeDrawFace(cairo_t* cr, const GaugeGeom& g);
void GaugeDrawGraph(cairo_t* cr, const GaugeGeom& g);
void GaugeDrawMarks(cairo_t* cr, const GaugeGeom& g);
void GaugeDrawNumbers(cairo_t* cr, const GaugeGeom& g);
void GaugeDrawLabel(cairo_t* cr, const GaugeGeom& g);
void GaugeDrawReadout(cairo_t* cr, const GaugeGeom& g);
void GaugeDrawNeedles(cairo_t* cr, const GaugeGeom& g);
