#include "looks.h"

namespace {

// Scale, marks and numbers of a speedometer or tachometer (the wizard sets
// the maxima later; these are the template's own).
void Scale(GaugeParam& p, Dial dial) {
  p.Min = 0;
  if (dial == Dial::kSpeed) {
    p.Max = 160;
    p.MarkInterval = 20;
    p.MarkSmallInterval = 5;
    // No number at the top end: a maximum of 250 would crowd 240.
    p.MarkNumberType = 1 | 32;
    SetText(p.Label, kNameLength, u"SPEED");
    p.ChangeColorOptions = 0;
  } else {
    p.Max = 8000;
    p.MarkInterval = 1000;
    p.MarkSmallInterval = 250;
    p.MarkNumberType = 1 | 4 | 8 | 32; // thousands
    SetText(p.Label, kNameLength, u"RPM x1000");
    p.ChangeColorValue = 6500;
    p.ChangeColorOptions = 32 | 1; // red band on the face, red marks
  }
  p.Type = dial == Dial::kSpeed ? 1 : 2;
  p.MarkType = 0x80 | 7 | (6 << 3); // by interval: dashes, short minor dashes
  p.StartDeg = 360;
  p.StepMidValue = -99999999.9;
  p.Options = 2 | 128; // smoothed, fine
}

void Carbon(GaugeParam& p, Dial dial, uint32_t accent) {
  p.SweepDeg = 250;
  p.FaceColor = 0x1C1F24;
  p.FaceColor2 = 0x07080A;
  p.TrimColor = 0x4A5058;
  p.TrimSize = 8;
  p.MarkColor = 0xF2F2F2;
  p.MarkColor2 = 0x7C848E;
  p.MarkSize = 6;
  p.MarkSmallSize = 4;
  p.MarkPinColor = kOff;
  SetText(p.LabelFont, kNameLength, u"Liberation Sans");
  p.LabelStyle = 1;
  p.LabelColor = 0xE6E6E6;
  p.IntervalSize = 30;
  p.LabelSize = 17;
  p.LabelX = 156;
  p.LabelY = 262;
  SetText(p.NumberFont, kNameLength, kDigits);
  p.NumberStyle = 1;
  p.NumberColor = ink::kWhite;
  p.NumberSize = dial == Dial::kSpeed ? 46 : 0;
  p.NumberX = 156;
  p.NumberY = 222;
  p.NeedleColor = accent;
  p.NeedleBackColor = 0x30353C;
  p.NeedleSize = 8;
  p.NeedleTipLen = 132;
  p.NeedleTailLen = -24;
  p.NeedleCenterSize = 36;
  p.TaperShape = 3;
  p.ChangeColor = ink::kRed;
  p.ChangeColor2 = kOff;
  p.ChangeFaceOffset = 122;
  p.ChangeFaceShade = 25;
}

void Classic(GaugeParam& p, Dial, uint32_t accent) {
  p.SweepDeg = 270;
  p.FaceColor = 0xF5F2EA;
  p.FaceColor2 = 0xCFC9BA;
  p.TrimColor = 0xB9BEC5;
  p.TrimSize = 14;
  p.MarkColor = 0x15171A;
  p.MarkColor2 = 0x3A3D42;
  p.MarkSize = 7;
  p.MarkSmallSize = 4;
  p.MarkPinColor = kOff;
  SetText(p.LabelFont, kNameLength, u"Liberation Serif");
  p.LabelStyle = 1;
  p.LabelColor = 0x15171A;
  p.IntervalSize = 32;
  p.LabelSize = 18;
  p.LabelX = 156;
  p.LabelY = 214;
  SetText(p.NumberFont, kNameLength, u"Liberation Sans");
  p.NumberColor = kOff;
  p.NumberSize = 30;
  p.NeedleColor = accent;
  p.NeedleBackColor = 0x15171A;
  p.NeedleSize = 6;
  p.NeedleTipLen = 136;
  p.NeedleTailLen = -30;
  p.NeedleCenterSize = 30;
  p.TaperShape = 0;
  p.ChangeColor = 0xC8102E;
  p.ChangeColor2 = kOff;
  p.ChangeFaceOffset = 128;
  p.ChangeFaceShade = 55;
}

void Neon(GaugeParam& p, Dial dial, uint32_t accent) {
  p.SweepDeg = 240;
  if (dial == Dial::kSpeed) p.MarkInterval = 40;
  p.Options |= 64; // an arc instead of a needle
  p.FaceColor = 0x020406;
  p.FaceColor2 = 0x0B1620;
  p.TrimColor = accent;
  p.TrimSize = 3;
  p.MarkType = 0x80 | 1; // dots at the numbers only
  p.MarkColor = 0xC8F6FF;
  p.MarkColor2 = kOff;
  p.MarkSize = 6;
  p.MarkPinColor = kOff;
  SetText(p.LabelFont, kNameLength, u"Liberation Sans");
  p.LabelStyle = 1;
  p.LabelColor = 0xBFEFFF;
  p.IntervalSize = 26;
  p.LabelSize = 18;
  p.LabelX = 156;
  p.LabelY = 214;
  SetText(p.NumberFont, kNameLength, kDigits);
  p.NumberStyle = 1;
  p.NumberColor = ink::kWhite;
  p.NumberSize = 64;
  p.NumberX = 156;
  p.NumberY = 160;
  p.NeedleColor = accent;
  p.NeedleBackColor = 0x0F2530;
  p.NeedleSize = 6;
  p.NeedleCenterSize = 0;
  p.ChangeColor = 0xFF2BD6;
  p.ChangeColor2 = kOff;
  // The arc turns magenta past the red line.
  p.ChangeColorOptions = dial == Dial::kTach ? 4 : 0;
}

void SportArc(GaugeParam& p, Dial dial, uint32_t accent) {
  p.SweepDeg = 270;
  p.FaceColor = 0x26292E;
  p.FaceColor2 = 0x111316;
  p.TrimColor = 0xC9CDD3;
  p.TrimSize = 4;
  p.MarkType = 0x80 | 5 | (1 << 3); // squares and dots
  p.MarkColor = ink::kWhite;
  p.MarkColor2 = 0x8A9099;
  p.MarkSize = 7;
  p.MarkSmallSize = 3;
  p.MarkPinColor = kOff;
  SetText(p.LabelFont, kNameLength, u"Liberation Sans Narrow");
  p.LabelStyle = 1;
  p.LabelColor = ink::kWhite;
  p.IntervalSize = 34;
  p.LabelSize = 18;
  p.LabelX = 156;
  p.LabelY = 250;
  SetText(p.NumberFont, kNameLength, kDigits);
  p.NumberStyle = 1;
  p.NumberColor = accent;
  p.NumberSize = dial == Dial::kSpeed ? 40 : 0;
  p.NumberX = 156;
  p.NumberY = 212;
  p.NeedleColor = 0xF5F5F5;
  p.NeedleBackColor = accent;
  p.NeedleSize = 5;
  p.NeedleTipLen = 140;
  p.NeedleTailLen = -18;
  p.NeedleCenterSize = 26;
  p.TaperShape = 0;
  p.ChangeColor = ink::kRed;
  p.ChangeColor2 = ink::kAmber;
  p.ChangeColor2Value = 6000;
  p.ChangeFaceOffset = 132;
  p.ChangeFaceShade = 0;
  if (dial == Dial::kTach) p.ChangeColorOptions = 32 | 1;
}

void Style(TextStruct& t, const TextLook& look) {
  SetText(t.Font, kNameLength, look.font);
  t.Size = look.size;
  t.Color = look.color;
  t.OutlineColor = look.outline;
  t.Style = look.bold ? 1 : 0;
  t.Options = static_cast<uint8_t>(0x80 | (look.align & 3));
}

} // namespace

void DressGauge(GaugeParam& p, GaugeLook look, Dial dial, uint32_t accent) {
  Scale(p, dial);
  switch (look) {
  case GaugeLook::kCarbon: Carbon(p, dial, accent); break;
  case GaugeLook::kClassic: Classic(p, dial, accent); break;
  case GaugeLook::kNeon: Neon(p, dial, accent); break;
  case GaugeLook::kSportArc: SportArc(p, dial, accent); break;
  }
}

uint32_t MakeDial(uint32_t input, Box box, std::u16string_view name, GaugeLook look, Dial dial, uint32_t accent) {
  const uint32_t object = Place(dial == Dial::kSpeed ? kDispSpeedo : kDispTacho, input, box, name);
  Edit<GaugeParam>(object, [&](GaugeParam& p) { DressGauge(p, look, dial, accent); });
  return object;
}

uint32_t MakeLateralDial(uint32_t input, Box box, std::u16string_view name, uint32_t accent) {
  const uint32_t object = Place(kDispGauge, input, box, name);
  Edit<GaugeParam>(object, [&](GaugeParam& p) {
    DressGauge(p, GaugeLook::kCarbon, Dial::kSpeed, accent);
    p.Type = 0;
    SetText(p.Field, kNameLength, u"(Lateral G)");
    SetText(p.Label, kNameLength, u"LATERAL G");
    p.Min = -1.5;
    p.Max = 1.5;
    p.SweepDeg = 180;
    p.StartDeg = 90; // over the top, left to right
    p.MarkInterval = 0.5;
    p.MarkSmallInterval = 0.1;
    p.MarkNumberType = 1 | 4;
    p.Options = 2 | 4 | 128; // two decimals
    p.NumberSize = 34;
    p.NumberY = 212;
    p.LabelY = 250;
    p.NeedleTipLen = 128;
  });
  return object;
}

uint32_t MakeThrottleDial(uint32_t input, Box box, std::u16string_view name) {
  const uint32_t object = Place(kDispGauge, input, box, name);
  Edit<GaugeParam>(object, [&](GaugeParam& p) {
    DressGauge(p, GaugeLook::kNeon, Dial::kSpeed, ink::kGreen);
    p.Type = 0;
    SetText(p.Field, kNameLength, u"(Throttle)");
    SetText(p.Label, kNameLength, u"THROTTLE %");
    p.Max = 100;
    p.MarkInterval = 25;
    p.MarkNumberType = 1 | 4;
    p.TrimColor = ink::kGreen;
  });
  return object;
}

uint32_t MakeLabel(Box box, std::u16string_view name, std::u16string_view text, const TextLook& look) {
  const uint32_t object = Place(kDispText, kNoInput, box, name);
  Edit<TextStruct>(object, [&](TextStruct& t) {
    Style(t, look);
    SetText(t.Text, 256, text);
    t.DataMode = 0;
  });
  return object;
}

uint32_t MakeData(uint32_t type, uint32_t input, Box box, std::u16string_view name, std::u16string_view field,
                  const TextLook& look, uint8_t decimals, uint8_t mode, std::u16string_view fixed) {
  const uint32_t object = Place(type, input, box, name);
  Edit<TextStruct>(object, [&](TextStruct& t) {
    Style(t, look);
    SetText(t.Text, 256, fixed);
    SetText(t.Field, kNameLength, field);
    t.DataMode = mode;
    t.DecimalPlaces = decimals;
    t.Digits = 1;
    if (type == kDispLapCount) t.DataOptions = 1; // "3 / 5"
    if (type == kDispLapTimer) t.DataParam = 50;  // the lap just done stays 5 s
  });
  return object;
}

uint32_t MakePanel(Box box, std::u16string_view name, uint8_t shape, uint32_t fill, uint8_t transparency,
                   uint32_t line, uint8_t lineSize, uint32_t fill2) {
  const uint32_t object = Place(kDispShape, kNoInput, box, name);
  Edit<ShapeStruct>(object, [&](ShapeStruct& s) {
    s.Shape = shape;
    s.FillColor = fill;
    s.FillColor2 = fill2;
    s.LineColor = line;
    s.LineSize = lineSize;
    s.Options = 0x80;
  });
  SetTransparency(object, transparency);
  return object;
}

uint32_t MakeMap(uint32_t input, Box box, std::u16string_view name, MapLook look, uint32_t accent) {
  const uint32_t object = Place(kDispTrackMap, input, box, name);
  Edit<TrackMapParam>(object, [&](TrackMapParam& m) {
    m.Options = 0x80 | 2; // fine, the marker sends out a ring each second
    m.MapColor = ink::kWhite;
    m.MapLowColor = kOff;
    m.MapEdgeColor = 0x101317;
    m.MapLineSize = 7;
    m.StartColor = ink::kWhite;
    m.StartStyle = 2; // chequered
    m.StartSize = 14;
    m.StartLineAngle = 360;
    m.PosColor = accent;
    m.PosIcon = 2;
    m.PosSize = 20;
    m.GhostColor = kOff;
    switch (look) {
    case MapLook::kOutline: break;
    case MapLook::kSpeedColours:
      m.MapColor = ink::kGreen;
      m.MapLowColor = ink::kRed;
      m.MapLineSize = 9;
      m.PosColor = ink::kWhite;
      m.PosIcon = 3;
      m.PosSize = 26;
      m.GhostColor = ink::kGold; // the best lap at the same time into its lap
      m.Options = 0x80;
      break;
    case MapLook::kFollow:
      m.Options = 0x80 | 4; // turned with the heading
      m.ZoomArea = 50;
      m.MapLineSize = 16;
      m.PosIcon = 3;
      m.PosSize = 30;
      break;
    case MapLook::kBold:
      m.MapColor = 0x2C3036;
      m.MapEdgeColor = ink::kWhite;
      m.MapLineSize = 12;
      m.StartColor = accent;
      m.StartStyle = 1;
      break;
    }
  });
  return object;
}

uint32_t MakeGPlot(uint32_t input, Box box, std::u16string_view name, GLook look, uint32_t accent) {
  const uint32_t object = Place(kDispGForce, input, box, name);
  Edit<GForceParam>(object, [&](GForceParam& g) {
    g.RangeX = g.RangeY = 2.0f;
    g.LineColor = accent;
    g.ShadowColor = kOff;
    switch (look) {
    case GLook::kTarget:
      g.BackColor = 0x101317;
      g.AxisColor = 0x58606A;
      g.AxisSize = 5;
      g.LineSize = 16;
      g.Options = 0x20 | 0x40 | 0x10; // rings, a dot, its trail
      break;
    case GLook::kTrail:
      g.BackColor = kOff;
      g.AxisColor = 0xD8DDE3;
      g.AxisSize = 4;
      g.LineSize = 14;
      g.Options = 0x80 | 0x40 | 0x10;
      break;
    case GLook::kClassic:
      g.BackColor = 0xF2F2F2;
      g.AxisColor = 0x60666E;
      g.AxisSize = 4;
      g.LineSize = 10;
      g.ShadowColor = 0x707070;
      g.Options = 0x20;
      break;
    }
  });
  return object;
}

uint32_t MakeBar(uint32_t input, Box box, std::u16string_view name, std::u16string_view field, double min,
                 double max, uint32_t fill, bool horizontal, std::u16string_view label) {
  const uint32_t object = Place(kDispBar, input, box, name);
  Edit<BarParam>(object, [&](BarParam& b) {
    SetText(b.Field, kNameLength, field);
    SetText(b.Label, kNameLength, label);
    b.Min = min;
    b.Max = max;
    b.BackColor = 0x15181C;
    b.FillColor = fill;
    b.FillColor2 = ColorAddRGB(fill, -70, -70, -70);
    b.TrimColor = 0x3A3F46;
    b.TrimSize = 2;
    b.Thickness = horizontal ? 46 : 64;
    SetText(b.LabelFont, kNameLength, u"Liberation Sans");
    SetText(b.NumberFont, kNameLength, kDigits);
    b.LabelColor = label.empty() ? kOff : ink::kSteel;
    b.LabelSize = 22;
    b.LabelStyle = 1;
    b.NumberColor = kOff;
    b.MarkColor = kOff;
    b.ChangeColorOptions = 0;
    b.Options = static_cast<uint8_t>(0x80 | 0x20 | (horizontal ? 64 : 0));
  });
  return object;
}

uint32_t MakeRevStrip(uint32_t input, Box box, std::u16string_view name, double max, double amber, double red) {
  const uint32_t object = MakeBar(input, box, name, u"(RPM)", 0, max, ink::kGreen, true, u"RPM");
  Edit<BarParam>(object, [&](BarParam& b) {
    b.ChangeColor = ink::kRed;
    b.ChangeColorValue = red;
    b.ChangeColor2 = ink::kAmber;
    b.ChangeColor2Value = amber;
    b.ChangeColorOptions = 1;
    b.NumberColor = ink::kWhite;
    b.NumberSize = 24;
    b.MarkColor = 0x5A616A;
    b.MarkInterval = 1000;
    b.MarkSize = 6;
    b.Thickness = 56;
  });
  return object;
}

uint32_t MakeTrace(uint32_t input, Box box, std::u16string_view name, std::u16string_view field,
                   std::u16string_view label, uint32_t color, float span) {
  const uint32_t object = Place(kDispTimeGraph, input, box, name);
  Edit<TimeGraphParam>(object, [&](TimeGraphParam& g) {
    SetText(g.Field, kNameLength, field);
    SetText(g.Label, kNameLength, label);
    SetText(g.LabelFont, kNameLength, u"Liberation Sans");
    g.LabelSize = 20;
    g.LabelStyle = 1;
    g.LabelColor = ink::kSteel;
    g.TimeSpan = span;
    g.BackColor = 0x0E1115;
    g.TrimColor = 0x2A2F36;
    g.TrimSize = 2;
    g.LineColor = color;
    g.LineSize = 4;
    g.ValueColor = ink::kWhite;
    g.AxisColor = 0x262B31;
    g.AxisSize = 2;
    g.Options = 0x80;
    g.Thickness = 100;
  });
  return object;
}

uint32_t MakeProfile(uint32_t input, Box box, std::u16string_view name, std::u16string_view field,
                     std::u16string_view label, uint32_t color) {
  const uint32_t object = MakeTrace(input, box, name, field, label, color, 10);
  Edit<TimeGraphParam>(object, [&](TimeGraphParam& g) {
    g.Options = 0x80 | 2 | 4; // the whole log, a line and a dot at the time
    g.StartTime = 0;
    g.EndTime = -1;
    g.AxisColor = kOff;
  });
  return object;
}
