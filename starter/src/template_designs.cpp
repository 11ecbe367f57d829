// The starter templates. Data templates name their objects as the data
// template options switch them ("Speedometer", "Lap Time", "Best Lap
// Time"...); anything else they show stays on whatever the log holds.
// Boxes are percent of the output frame, laid out for every shape from 4:3
// to 16:9 (build_kit.h): texts grow out of their boxes from the side they
// are aligned to, so a panel is as wide as its texts need on a 4:3 frame.
#include "looks.h"
#include "starter_set.h"

namespace {

TextLook Caption(uint32_t color = ink::kSteel, float size = 12, uint8_t align = 0) {
  TextLook look;
  look.size = size;
  look.color = color;
  look.bold = true;
  look.align = align;
  return look;
}

TextLook Digits(float size, uint32_t color = ink::kWhite, uint8_t align = 0) {
  TextLook look;
  look.font = kDigits;
  look.size = size;
  look.color = color;
  look.bold = true;
  look.align = align;
  return look;
}

constexpr uint8_t kCentre = 1, kRight = 2;

// A box for a centred text on a round instrument: its top at the share of
// the instrument's side below the instrument's top, centred across it.
Box OnDial(Box dial, float down, float height) {
  const float width = dial.w * 0.8f;
  return {dial.x + (dial.w - width) / 2, dial.y + dial.h * down, width, height};
}

// The lap panel of the circuit templates: lap number over the running lap
// time, the best lap in a band below.
void LapPanel(uint32_t data, float x, float y, uint32_t accent) {
  constexpr float kWidth = 26, kInset = 1.8f;
  MakePanel({x, y, kWidth, 14}, u"Lap Background", 5, ink::kPanel, 30);
  MakeData(kDispLapCount, data, {x + kInset, y + 1.2f, kWidth - 2 * kInset, 4}, u"Lap Number", u"",
           Caption(accent, 15), 0, 3, u"LAP ");
  MakeData(kDispLapTimer, data, {x + kInset, y + 5.2f, kWidth - 2 * kInset, 8}, u"Lap Time", u"", Digits(32), 2);
  MakePanel({x, y + 15, kWidth, 6.5f}, u"Best Lap Background", 5, ink::kPanel, 30);
  MakeData(kDispLapTimer, data, {x + kInset, y + 16.3f, kWidth - 2 * kInset, 4}, u"Best Lap Time",
           u"(Best Lap Time)", Digits(15, ink::kGold), 2, 3, u"BEST  ");
}

void CarDashboard(const DesignInputs& in) {
  const uint32_t d = in.data;
  const Box tach = Round(1.5f, 60.5f, 36);
  MakeDial(d, tach, u"Tachometer", GaugeLook::kCarbon, Dial::kTach, ink::kOrange);
  MakeDial(d, Round(28.5f, 66.5f, 30), u"Speedometer", GaugeLook::kCarbon, Dial::kSpeed, ink::kOrange);
  // Where the speedometer shows its number, above the dial's caption.
  MakeData(kDispGear, d, OnDial(tach, 0.56f, 8), u"Gear", u"", Digits(34, ink::kOrange, kCentre));
  MakeBar(d, {52.5f, 66, 2.4f, 29}, u"Throttle", u"(Throttle)", 0, 100, ink::kGreen, false, u"");
  MakeGPlot(d, Round(82, 74, 22), u"G-Force", GLook::kTarget, ink::kOrange);
  MakeMap(d, {79.5f, 4, 19, 30}, u"Track Map", MapLook::kOutline, ink::kOrange);
  LapPanel(d, 1.5f, 3.5f, ink::kOrange);
}

void Motorbike(const DesignInputs& in) {
  const uint32_t d = in.data;
  MakePanel({30, 66, 40, 20}, u"Speed Background", 5, ink::kPanel, 30);
  MakeData(kDispTextData, d, {32, 67.5f, 26, 14}, u"Speed Display", u"(Speed)", Digits(62, ink::kWhite, kCentre));
  MakeLabel({32, 81.3f, 26, 4}, u"Speed Caption", u"SPEED", Caption(ink::kSteel, 12, kCentre));
  MakeData(kDispGear, d, {59, 68.5f, 9, 12}, u"Gear", u"", Digits(50, ink::kLime, kCentre));
  MakeRevStrip(d, {23, 88.5f, 54, 8}, u"Shift Lights", 14000, 11000, 12500);
  MakeLateralDial(d, Round(1.5f, 70, 26), u"G-Force", ink::kLime);
  MakeMap(d, {80, 4, 18, 30}, u"Track Map", MapLook::kBold, ink::kLime);
  LapPanel(d, 1.5f, 3.5f, ink::kLime);
}

void CyclingAndRunning(const DesignInputs& in) {
  const uint32_t d = in.data;
  MakePanel({0, 79, 100, 21}, u"Speed Background", 4, ink::kPanel, 28);
  auto metric = [d](float x, const char16_t* caption, const char16_t* name, const char16_t* field, uint8_t decimals,
                    const char16_t* unit) {
    MakeLabel({x, 81.5f, 14, 4}, std::u16string(name) + u" Caption", caption, Caption(ink::kTeal, 12));
    MakeData(kDispTextData, d, {x, 85.5f, 16, 10}, name, field, Digits(30), decimals, 2, unit);
  };
  // Room for a three-digit speed, two-digit kilometres and a three-digit
  // heart rate.
  metric(2, u"SPEED", u"Speed Display", u"(Speed)", 1, u"");
  metric(19, u"DISTANCE", u"Distance Display", u"(Distance km)", 2, u" km");
  metric(45, u"HEART RATE", u"Heart Rate Display", u"Heart Rate", 0, u"");
  MakeProfile(d, {59, 81, 39, 17}, u"Elevation Profile", u"(Altitude)", u"ELEVATION", ink::kTeal);
  MakeMap(d, {80, 4, 18, 30}, u"Track Map", MapLook::kOutline, ink::kTeal);
  MakePanel({1.5f, 3.5f, 20, 8.5f}, u"Ride Time Background", 5, ink::kPanel, 30);
  MakeLabel({3, 4.3f, 17, 3}, u"Ride Time Caption", u"RIDE TIME", Caption(ink::kTeal, 11));
  const uint32_t clock = MakeData(kDispLapTimer, d, {3, 7, 17, 5}, u"Ride Time", u"(Time)", Digits(22), 0, 1);
  Edit<TextStruct>(clock, [](TextStruct& t) { t.DataParam2 = 2; }); // h:mm:ss
}

void SpeedAndMap(const DesignInputs& in) {
  const uint32_t d = in.data;
  TextLook big = Digits(64);
  big.outline = 0x000000;
  MakeData(kDispTextData, d, {3, 74, 24, 15}, u"Speed Display", u"(Speed)", big);
  TextLook caption = Caption(ink::kWhite, 13);
  caption.outline = 0x000000;
  MakeLabel({3.6f, 89.5f, 10, 4}, u"Speed Caption", u"SPEED", caption);
  MakeMap(d, {78, 66, 20, 31}, u"Track Map", MapLook::kOutline, ink::kRed);
}

// The lap number over the lap time, both centred, and the last and best
// laps in a band below.
void LapTiming(const DesignInputs& in) {
  const uint32_t d = in.data;
  MakePanel({28, 2.5f, 44, 16.5f}, u"Lap Background", 5, ink::kPanel, 25, ink::kGold, 2);
  MakeData(kDispLapCount, d, {30, 3.6f, 40, 5}, u"Lap Number", u"", Digits(18, ink::kGold, kCentre), 0, 3, u"LAP ");
  MakeData(kDispLapTimer, d, {30, 7.6f, 40, 10}, u"Lap Time", u"", Digits(42, ink::kWhite, kCentre), 2);
  MakePanel({28, 20.5f, 44, 6}, u"Best Lap Background", 5, ink::kPanel, 25);
  MakeData(kDispLapTimer, d, {29.5f, 21.5f, 20, 4}, u"Previous Lap Time", u"(Previous Lap Time)",
           Digits(15, ink::kSteel), 2, 3, u"LAST  ");
  MakeData(kDispLapTimer, d, {50, 21.5f, 20.5f, 4}, u"Best Lap Time", u"(Best Lap Time)",
           Digits(15, ink::kGold, kRight), 2, 3, u"BEST  ");
  MakeMap(d, {80, 66, 18, 31}, u"Track Map", MapLook::kSpeedColours, ink::kGold);
  TextLook speed = Digits(36);
  speed.outline = 0x000000;
  MakeData(kDispTextData, d, {2.5f, 84, 14, 10}, u"Speed Display", u"(Speed)", speed);
}

void RaceTelemetry(const DesignInputs& in) {
  const uint32_t d = in.data;
  MakeDial(d, Round(1.5f, 62, 34), u"Speedometer", GaugeLook::kNeon, Dial::kSpeed, ink::kCyan);
  MakeDial(d, Round(28, 62, 34), u"Tachometer", GaugeLook::kNeon, Dial::kTach, ink::kCyan);
  // Over the gap between the dials.
  MakeData(kDispGear, d, {22.5f, 52, 10, 8}, u"Gear", u"", Digits(30, ink::kCyan, kCentre));
  MakeLabel({22.5f, 58.5f, 10, 3}, u"Gear Caption", u"GEAR", Caption(ink::kCyan, 11, kCentre));
  MakeTrace(d, {55, 73, 24, 11.5f}, u"Speed Trace", u"(Speed)", u"SPEED", ink::kCyan, 20);
  MakeTrace(d, {55, 85.5f, 24, 11.5f}, u"Throttle", u"(Throttle)", u"THROTTLE", ink::kGreen, 20);
  MakeGPlot(d, Round(80.5f, 71, 26), u"G-Force", GLook::kTrail, ink::kCyan);
  MakeMap(d, {80, 4, 18, 30}, u"Track Map", MapLook::kSpeedColours, ink::kCyan);
  TextLook time = Digits(30);
  time.outline = 0x000000;
  MakeData(kDispLapTimer, d, {2, 3.5f, 20, 8}, u"Lap Time", u"", time, 2);
  TextLook lap = Caption(ink::kCyan, 17);
  lap.outline = 0x000000;
  MakeData(kDispLapCount, d, {2.2f, 11.5f, 16, 4}, u"Lap Number", u"", lap, 0, 3, u"LAP ");
}

void DataloggerVideo(const DesignInputs& in) { Place(kDispVideo, in.video1, {0, 0, 100, 100}, u"Camera"); }

void DataloggerPictureInPicture(const DesignInputs& in) {
  Place(kDispVideo, in.video1, {0, 0, 100, 100}, u"Main Camera");
  MakePanel({36.6f, 2.3f, 26.8f, 27.4f}, u"Second Camera Frame", 4, ink::kWhite, 0);
  Place(kDispVideo, in.video2, {37, 3, 26, 26}, u"Second Camera");
}

void OnboardCar(const DesignInputs& in) {
  Place(kDispVideo, in.video1, {0, 0, 100, 100}, u"Camera");
  CarDashboard(in);
}

void OnboardRide(const DesignInputs& in) {
  Place(kDispVideo, in.video1, {0, 0, 100, 100}, u"Camera");
  CyclingAndRunning(in);
}

void VideoWithTitle(const DesignInputs& in) {
  Place(kDispVideo, in.video1, {0, 0, 100, 100}, u"Camera");
  MakePanel({0, 78, 100, 15}, u"Title Band", 4, ink::kPanel, 30);
  MakePanel({4, 80.5f, 0.6f, 10}, u"Title Bar", 4, ink::kOrange, 0);
  TextLook title;
  title.size = 30;
  title.bold = true;
  MakeLabel({6, 79.2f, 80, 8}, u"Title", u"Track Day at the Club Circuit", title);
  MakeLabel({6, 87.4f, 80, 5}, u"Subtitle", u"Session 2  ·  Dry  ·  18 °C", Caption(0xD0D5DB, 16));
}

} // namespace

const std::vector<TemplateDesign>& StarterTemplates() {
  static const std::vector<TemplateDesign> designs = {
      {"Data - _1 Car Dashboard.qvt", true, true, SessionKind::kCar, Scene::kCircuit, false, 0, CarDashboard},
      {"Data - _2 Motorbike.qvt", true, true, SessionKind::kMotorbike, Scene::kSportsBike, false, 0, Motorbike},
      {"Data - _3 Cycling and Running.qvt", true, true, SessionKind::kBicycle, Scene::kCountryRoad, false, 0,
       CyclingAndRunning},
      {"Data - _4 Speed and Map.qvt", true, true, SessionKind::kCar, Scene::kCircuit, false, 0, SpeedAndMap},
      {"Data - _5 Lap Timing.qvt", true, true, SessionKind::kCar, Scene::kCircuit, true, 0, LapTiming},
      {"Data - _6 Race Telemetry.qvt", true, true, SessionKind::kCar, Scene::kCircuit, false, 0, RaceTelemetry},
      {"Project - _1 Datalogger Video.qvt", false, true, SessionKind::kCar, Scene::kCircuit, false, 1,
       DataloggerVideo},
      {"Project - _2 Datalogger Picture in Picture.qvt", false, true, SessionKind::kCar, Scene::kCircuit, false, 2,
       DataloggerPictureInPicture},
      {"Project - _3 Onboard Car Dashboard.qvt", false, true, SessionKind::kCar, Scene::kCircuit, false, 1,
       OnboardCar},
      {"Project - _4 Onboard Bike Ride.qvt", false, true, SessionKind::kBicycle, Scene::kCountryRoad, false, 1,
       OnboardRide},
      {"Project - _5 Video with Title.qvt", false, false, SessionKind::kCar, Scene::kCircuit, false, 1,
       VideoWithTitle},
  };
  return designs;
}
