#pragma once
// Shared pieces of the data display objects: colour blending and the
// warning-colour rule, number texts, labels placed by their centre and the
// scale range with its automatic ends.
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

struct DataChannel;

// a..b by share 0..1, per channel; the result has a clear top byte.
uint32_t ColorBlend(uint32_t a, uint32_t b, double share);

// The warning colours a changing part takes at a value: ChangeColor at or
// above its value (when on), else ChangeColor2 at or above its value (when
// on), else the part's own colour; fading blends from the own colour at lo
// towards ChangeColor2 and then ChangeColor.
struct ColorChange {
  uint32_t color = 0xFF000000u;
  double value = 0;
  uint32_t color2 = 0xFF000000u;
  double value2 = 0;
};
uint32_t ChangeColorAt(const ColorChange& change, uint32_t own, double value, double lo, bool fade);

// UTF-8 of a fixed UTF-16 field (stops at the terminator or capacity).
std::string FieldText(const char16_t* units, size_t capacity);
// value with `decimals` places and at least `digits` integer digits.
std::string FormatNumber(double value, int decimals, int digits);
// The readout of a gauge or bar: two decimals or a whole number (clamped
// to +-2e9), "-" without a value.
std::string ReadoutText(double value, bool twoDecimals);

// A text in a record's font, centred on (cx, cy) or, with align 0 / 2,
// starting or ending at cx. Font sizes are in the caller's units.
struct LabelStyle {
  const char16_t* font = nullptr;
  double size = 30;
  uint8_t style = 0; // bit 0 bold, bit 1 italic
  uint32_t color = 0;
  int align = 1;
};
void DrawLabel(cairo_t* cr, const std::string& utf8, const LabelStyle& style, double cx, double cy);
// Width and height of the text as DrawLabel draws it.
void MeasureLabel(const std::string& utf8, const LabelStyle& style, double* w, double* h);

// Scale ends: a stored end at or beyond its sentinel is automatic and
// comes from the channel's range over the log (0 and 100 without data).
// The result always has lo < hi.
void ScaleRange(double storedMin, double storedMax, double autoLimit, const DataChannel& channel,
                double* lo, double* hi);
// Multiples of step from lo to hi (both included, within a millionth of a
// step), at most maxCount of them; none for a step that is not positive.
std::vector<double> StepValues(double lo, double hi, double step, size_t maxCount);
// Share 0..1 of value between lo and hi (clamped; 0 for a NaN value).
double ScaleShare(double value, double lo, double hi);
