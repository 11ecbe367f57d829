// The starter styles: one file per look, in the folder the add-object
// toolbox lists for the type ("Video Positions" for pictures, "Styles" for
// the rest). File names follow the toolbox's clean-up of titles: " - Speed"
// and " - Tach" mark the two dials of a look, "Track Map - ", "G-Force - ",
// "Bar Graph - ", "Time Graph - " and "Gauge - " name the kind.
#include <functional>

#include "looks.h"
#include "style_designs.h"

namespace {

TextLook Big(uint32_t color, uint32_t outline = kOff) {
  TextLook look;
  look.font = kDigits;
  look.size = 40;
  look.color = color;
  look.outline = outline;
  look.bold = true;
  return look;
}

uint32_t DialStyle(uint32_t data, GaugeLook look, Dial dial, uint32_t accent) {
  return MakeDial(data, Round(10, 10, 60), u"Style", look, dial, accent);
}

} // namespace

const std::vector<StyleDesign>& StarterStyleDesigns() {
  using F = std::function<uint32_t(uint32_t)>;
  static const std::vector<StyleDesign> designs = {
      {"Styles", "Carbon - Speed", F([](uint32_t d) { return DialStyle(d, GaugeLook::kCarbon, Dial::kSpeed, ink::kOrange); })},
      {"Styles", "Carbon - Tach", F([](uint32_t d) { return DialStyle(d, GaugeLook::kCarbon, Dial::kTach, ink::kOrange); })},
      {"Styles", "Classic - Speed", F([](uint32_t d) { return DialStyle(d, GaugeLook::kClassic, Dial::kSpeed, 0xC8102E); })},
      {"Styles", "Classic - Tach", F([](uint32_t d) { return DialStyle(d, GaugeLook::kClassic, Dial::kTach, 0xC8102E); })},
      {"Styles", "Neon - Speed", F([](uint32_t d) { return DialStyle(d, GaugeLook::kNeon, Dial::kSpeed, ink::kCyan); })},
      {"Styles", "Neon - Tach", F([](uint32_t d) { return DialStyle(d, GaugeLook::kNeon, Dial::kTach, ink::kCyan); })},
      {"Styles", "Sport Arc - Speed", F([](uint32_t d) { return DialStyle(d, GaugeLook::kSportArc, Dial::kSpeed, ink::kLime); })},
      {"Styles", "Sport Arc - Tach", F([](uint32_t d) { return DialStyle(d, GaugeLook::kSportArc, Dial::kTach, ink::kLime); })},
      {"Styles", "Gauge - Lateral G", F([](uint32_t d) { return MakeLateralDial(d, Round(10, 10, 60), u"Style", ink::kOrange); })},
      {"Styles", "Gauge - Throttle", F([](uint32_t d) { return MakeThrottleDial(d, Round(10, 10, 60), u"Style"); })},
      {"Styles", "Bar Graph - Throttle", F([](uint32_t d) {
         const uint32_t bar = MakeBar(d, {10, 10, 8, 60}, u"Style", u"(Throttle)", 0, 100, ink::kGreen, false, u"THR");
         Edit<BarParam>(bar, [](BarParam& b) { b.Thickness = 40; });
         return bar;
       })},
      {"Styles", "Bar Graph - Rev Strip", F([](uint32_t d) {
         const uint32_t strip = MakeRevStrip(d, {10, 10, 60, 10}, u"Style", 8000, 6000, 7000);
         Edit<BarParam>(strip, [](BarParam& b) {
           b.LabelSize = 16;
           b.NumberSize = 18;
         });
         return strip;
       })},
      {"Styles", "Bar Graph - Speed", F([](uint32_t d) {
         return MakeBar(d, {10, 10, 50, 10}, u"Style", u"(Speed)", 0, 250, ink::kCyan, true, u"SPD");
       })},
      {"Styles", "Track Map - Outline", F([](uint32_t d) { return MakeMap(d, {10, 10, 30, 40}, u"Style", MapLook::kOutline, ink::kRed); })},
      {"Styles", "Track Map - Speed Colours", F([](uint32_t d) {
         return MakeMap(d, {10, 10, 30, 40}, u"Style", MapLook::kSpeedColours, ink::kGold);
       })},
      {"Styles", "Track Map - Follow", F([](uint32_t d) { return MakeMap(d, {10, 10, 30, 40}, u"Style", MapLook::kFollow, ink::kOrange); })},
      {"Styles", "Track Map - Bold", F([](uint32_t d) { return MakeMap(d, {10, 10, 30, 40}, u"Style", MapLook::kBold, ink::kLime); })},
      {"Styles", "G-Force - Target", F([](uint32_t d) { return MakeGPlot(d, Round(10, 10, 45), u"Style", GLook::kTarget, ink::kOrange); })},
      {"Styles", "G-Force - Trail", F([](uint32_t d) { return MakeGPlot(d, Round(10, 10, 45), u"Style", GLook::kTrail, ink::kCyan); })},
      {"Styles", "G-Force - Classic", F([](uint32_t d) { return MakeGPlot(d, Round(10, 10, 45), u"Style", GLook::kClassic, ink::kRed); })},
      {"Styles", "Time Graph - Speed Trace", F([](uint32_t d) {
         return MakeTrace(d, {10, 10, 40, 20}, u"Style", u"(Speed)", u"SPEED", ink::kCyan, 20);
       })},
      {"Styles", "Time Graph - Elevation Profile", F([](uint32_t d) {
         return MakeProfile(d, {10, 10, 40, 20}, u"Style", u"(Altitude)", u"ELEVATION", ink::kTeal);
       }), true},
      {"Styles", "Big Digits Timer", F([](uint32_t d) {
         return MakeData(kDispLapTimer, d, {10, 10, 30, 42}, u"Style", u"", Big(ink::kWhite, 0x000000), 2);
       })},
      {"Styles", "Gold Best Lap Timer", F([](uint32_t d) {
         TextLook look = Big(ink::kGold, 0x000000);
         look.size = 24;
         return MakeData(kDispLapTimer, d, {10, 10, 30, 34}, u"Style", u"(Best Lap Time)", look, 2, 3, u"BEST  ");
       })},
      {"Styles", "Lap of Laps Counter", F([](uint32_t d) {
         TextLook look = Big(ink::kWhite, 0x000000);
         look.size = 28;
         return MakeData(kDispLapCount, d, {10, 10, 30, 34}, u"Style", u"", look, 0, 3, u"LAP ");
       })},
      {"Styles", "Big Gear", F([](uint32_t d) { return MakeData(kDispGear, d, {10, 10, 10, 22}, u"Style", u"", Big(ink::kOrange)); })},
      {"Styles", "Speed Readout", F([](uint32_t d) {
         return MakeData(kDispTextData, d, {10, 10, 20, 30}, u"Style", u"(Speed)", Big(ink::kWhite, 0x000000));
       })},
      {"Styles", "Altitude Readout", F([](uint32_t d) {
         return MakeData(kDispTextData, d, {10, 10, 20, 40}, u"Style", u"(Altitude)", Big(ink::kTeal, 0x000000), 0, 2,
                         u" m");
       })},
      {"Styles", "Distance Readout", F([](uint32_t d) {
         return MakeData(kDispTextData, d, {10, 10, 20, 46}, u"Style", u"(Distance km)", Big(ink::kWhite, 0x000000), 2,
                         2, u" km");
       })},
      {"Video Positions", "Full Frame - Video", F([](uint32_t) { return Place(kDispVideo, kNoInput, {0, 0, 100, 100}, u"Style"); })},
      {"Video Positions", "Picture in Picture - Video", F([](uint32_t) { return Place(kDispVideo, kNoInput, {69, 4, 27, 27}, u"Style"); })},
      {"Video Positions", "Side by Side Left - Video", F([](uint32_t) { return Place(kDispVideo, kNoInput, {0, 25, 50, 50}, u"Style"); })},
      {"Video Positions", "Side by Side Right - Video", F([](uint32_t) { return Place(kDispVideo, kNoInput, {50, 25, 50, 50}, u"Style"); })},
  };
  return designs;
}
