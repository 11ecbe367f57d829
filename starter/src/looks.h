#pragma once
// The starter set's looks: gauge faces, maps, G-force plots, bars, graphs
// and texts, each a function that makes (or dresses) an object through the
// engine facade. Templates and styles are built from these.
#include <cstdint>
#include <string_view>

#include "build_kit.h"

// Colours of the set (0xRRGGBB).
namespace ink {
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kPanel = 0x0E1115;   // dark panels, shown at 25-35 % transparency
constexpr uint32_t kSteel = 0x9AA3AD;   // quiet captions
constexpr uint32_t kOrange = 0xFF5A1F;  // car accent
constexpr uint32_t kRed = 0xE0241B;     // warnings
constexpr uint32_t kAmber = 0xFFB000;
constexpr uint32_t kLime = 0xB6F03C;    // motorbike accent
constexpr uint32_t kTeal = 0x16C8B4;    // ride accent
constexpr uint32_t kCyan = 0x00D8FF;
constexpr uint32_t kGreen = 0x2BD66B;
constexpr uint32_t kGold = 0xFFC83D;
} // namespace ink

enum class GaugeLook { kCarbon, kClassic, kNeon, kSportArc };
enum class Dial { kSpeed, kTach };

// Dresses a gauge record as a speedometer or tachometer of the look, with
// the accent colour for its needle or arc.
void DressGauge(GaugeParam& p, GaugeLook look, Dial dial, uint32_t accent);
// A speedometer (71) or tachometer (72) of the look.
uint32_t MakeDial(uint32_t input, Box box, std::u16string_view name, GaugeLook look, Dial dial,
                  uint32_t accent);
// A half dial of the lateral G, readout in g.
uint32_t MakeLateralDial(uint32_t input, Box box, std::u16string_view name, uint32_t accent);
// A gauge with a coloured arc for the throttle.
uint32_t MakeThrottleDial(uint32_t input, Box box, std::u16string_view name);

struct TextLook {
  const char16_t* font = u"Liberation Sans";
  float size = 24;        // units of the 480-line base
  uint32_t color = ink::kWhite;
  uint32_t outline = kOff;
  bool bold = false;
  uint8_t align = 0;      // 0 left, 1 centre, 2 right
};
constexpr const char16_t* kDigits = u"DejaVu Sans";

// A fixed text (13).
uint32_t MakeLabel(Box box, std::u16string_view name, std::u16string_view text, const TextLook& look);
// A data text: type 34 text data, 75 gear, 76 lap counter, 77 timer. field
// may be empty (the type's own value); fixed is the text shown with the
// number, mode as the text record's data mode.
uint32_t MakeData(uint32_t type, uint32_t input, Box box, std::u16string_view name, std::u16string_view field,
                  const TextLook& look, uint8_t decimals = 0, uint8_t mode = 1, std::u16string_view fixed = u"");

// Shapes (12): 4 rectangle, 5 rounded, 6 rounder, 3 ellipse.
uint32_t MakePanel(Box box, std::u16string_view name, uint8_t shape, uint32_t fill, uint8_t transparency,
                   uint32_t line = kOff, uint8_t lineSize = 0, uint32_t fill2 = kOff);

enum class MapLook { kOutline, kSpeedColours, kFollow, kBold };
uint32_t MakeMap(uint32_t input, Box box, std::u16string_view name, MapLook look, uint32_t accent);

enum class GLook { kTarget, kTrail, kClassic };
uint32_t MakeGPlot(uint32_t input, Box box, std::u16string_view name, GLook look, uint32_t accent);

// Bars (31) reading a named quantity ("(Throttle)", "(RPM)"...).
uint32_t MakeBar(uint32_t input, Box box, std::u16string_view name, std::u16string_view field, double min,
                 double max, uint32_t fill, bool horizontal, std::u16string_view label);
// A horizontal strip of engine speed that turns amber then red.
uint32_t MakeRevStrip(uint32_t input, Box box, std::u16string_view name, double max, double amber, double red);

// Time graphs (35): the last span seconds, or the whole log with a marker.
uint32_t MakeTrace(uint32_t input, Box box, std::u16string_view name, std::u16string_view field,
                   std::u16string_view label, uint32_t color, float span);
uint32_t MakeProfile(uint32_t input, Box box, std::u16string_view name, std::u16string_view field,
                     std::u16string_view label, uint32_t color);
