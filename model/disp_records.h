#pragma once
// The display-object common record and the per-type parameter records.
// Windows copy them whole and hand them back; project, style and template
// files store the parameter records byte for byte (little-endian), so field
// order and sizes are fixed. Text fields are zero-terminated UTF-16.
// Colours are 0xAARRGGBB words; a top byte of 0xFF means "not drawn" (except
// TextStruct::Color, drawn whatever its top byte).
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "model/input_records.h"

constexpr uint32_t kMaxDispObjs = 256;
constexpr uint32_t kTempDispObj = 256; // one extra slot for previews
constexpr uint32_t kNoDispObj = 0xFFFFFFFF;
constexpr uint32_t kMaxSegments = 63;
constexpr uint32_t kFirstSegment = 0xFFFFFFFF; // the object's own start and base record

enum DispObjType : uint8_t {
  kDispGroup = 0,
  kDispVideo = 10, // picture or video
  kDispAudio = 11,
  kDispShape = 12,
  kDispText = 13,
  kDispEImage = 14, // embedded image
  kDispGauge = 30,
  kDispBar = 31,
  kDispTextData = 34,
  kDispTimeGraph = 35,
  kDispEnhanced = 50, // scripted object: stored and edited only
  kDispTrackMap = 70,
  kDispSpeedo = 71, // created as a gauge with the speedometer preset
  kDispTacho = 72,  // created as a gauge with the tachometer preset
  kDispGForce = 74,
  kDispGear = 75,
  kDispLapCount = 76,
  kDispLapTimer = 77,
};

// Change-mask bits of a timeline segment: which properties it overrides.
enum SegmentMask : uint32_t {
  kSegStyle = 0x0001,
  kSegPosition = 0x0002, // X, Y
  kSegSize = 0x0004,     // Width, Height
  kSegActive = 0x0008,
  kSegInput = 0x0010,
  kSegFlags = 0x0020,
  kSegKeepRatio = 0x0040,
  kSegTransparency = 0x0080,
  kSegMirroring = 0x0100,
  kSegColorChans = 0x0200,
  kSegAudioVolume = 0x0400,
  kSegAudioBalance = 0x0800,
  kSegParam = 0x1000,
  kSegBitmap = 0x2000, // bitmap settings and block
  kSegAll = 0x3FFF,
};

struct DispStruct {
  char16_t Name[kNameLength];
  char16_t Style[kNameLength]; // last style applied
  uint32_t ParentObject;       // group holding the object, 0xFFFFFFFF none
  float X, Y, Width, Height;   // percent of the output frame
  float OffsetTime;            // start time in the project
  uint8_t Type;                // DispObjType
  uint8_t Active;              // 1 drawn
  uint8_t InputID;             // 255 none
  uint8_t Updated;
  uint8_t Flags;
  uint8_t KeepRatio;    // either low bit: keep the aspect ratio
  uint8_t Transparency; // percent, 0 solid
  uint8_t Mirroring;    // 1 horizontal, 2 vertical, 3 both
  uint8_t ColorChans;   // bit 1 red, bit 2 green, bit 4 blue
  uint8_t Reserved1[3];
  uint8_t AudioVolume;  // percent, 100 unchanged
  uint8_t AudioBalance; // 0 left, 100 centre, 200 right
  uint8_t Reserved2[2];
  uint16_t NativeWidth, NativeHeight;
  uint32_t Reserved3;
  float BitmapRotate; // degrees
  float BitmapZoom;
  float BitmapOffsetX, BitmapOffsetY;
  uint32_t BitmapChroma; // key colour, top byte 0xFF = key off
  uint16_t BitmapChromaCRange, BitmapChromaBRange;
  // The blocks belong to the engine table; DispObjSet never takes them.
  uint32_t ParamSize;
  uint8_t* Param;
  uint32_t BitmapSize;
  uint8_t* Bitmap; // DispBitmapHeader followed by the pixels
};

// Head of a background bitmap block: then Width x Height 32-bit pixels
// (0xAARRGGBB words), bottom row first. BitmapSize covers head and pixels.
struct DispBitmapHeader {
  uint32_t Width;
  uint32_t Height;
  uint8_t Options; // bit 0 keep the aspect ratio; low 7 bits stored
  uint8_t Reserved[3];
  uint32_t Reserved2;
};

// The "element not drawn" convention of parameter-record colours, shared by
// the renderers and the panels' on/off check boxes.
constexpr uint32_t kColorOff = 0xFF000000u;
inline bool ColorIsOff(uint32_t color) { return (color & kColorOff) == kColorOff; }
// The colour's RGB with the element switched on (top byte cleared) or off.
inline uint32_t ColorSwitched(uint32_t color, bool on) { return on ? color & 0x00FFFFFFu : color | kColorOff; }
// The colour's RGB alone.
inline uint32_t ColorRgb(uint32_t color) { return color & 0x00FFFFFFu; }

// Automatic range ends of BarParam, GaugeParam, TimeGraphParam and EnhParam;
// anything at or beyond the limit counts as automatic.
constexpr double kRangeAutoMin = 99999999.9;
constexpr double kRangeAutoMax = -99999999.9;
constexpr double kRangeAutoLimit = 99999999.0;
inline bool RangeMinIsAuto(double min) { return min >= kRangeAutoLimit; }
inline bool RangeMaxIsAuto(double max) { return max <= -kRangeAutoLimit; }

struct ShapeStruct { // type 12
  uint32_t LineColor;
  uint32_t FillColor;
  uint8_t Shape;   // ShapeCode
  uint8_t LineSize;
  uint8_t Options; // ShapeOptionBits
  uint8_t Reserved;
  uint32_t FillColor2;
  uint32_t Reserved2;
};

enum ShapeCode : uint8_t {
  kShapeLineNwSe = 1, // a diagonal from the top left
  kShapeLineNeSw = 2, // a diagonal from the top right
  kShapeCircle = 3,
  kShapeRectangle = 4,
  kShapeRounded = 5,
  kShapeRounder = 6,
};
inline bool ShapeIsLine(uint8_t shape) { return shape == kShapeLineNwSe || shape == kShapeLineNeSw; }

enum ShapeOptionBits : uint8_t {
  kShapeHighRes = 0x80, // drawn on 1440 x 960 instead of 720 x 480
};

struct TextStruct { // types 13, 34, 75, 76, 77
  uint32_t Color;
  char16_t Text[256];
  char16_t Font[kNameLength];
  float Size;
  uint8_t Style;       // TextStyleBits (platform/graphics/text_raster.h)
  uint8_t Options;     // TextOptionBits
  uint8_t DataOptions; // TextDataOptionBits
  uint8_t Digits;
  uint8_t DataMode; // TextDataMode, with kTextDataFlash
  uint8_t DecimalPlaces;
  uint8_t DataParam;  // lap timer hold time, tenths of a second
  uint8_t DataParam2; // lap timer format
  char16_t Field[kNameLength];
  double MinRange, MaxRange; // kTextNoMinRange / kTextNoMaxRange = no limit
  float RotateAngle;
  uint32_t OutlineColor;
};

enum TextOptionBits : uint8_t {
  kTextAlignMask = 0x03, // the alignment, one of:
  kTextAlignLeft = 0,
  kTextAlignCenter = 1,
  kTextAlignRight = 2,
  kTextAutoSize = 0x80, // the object's box follows the text's size
};

enum TextDataOptionBits : uint8_t {
  kTextTotalLaps = 0x01, // the lap counter adds " / " and the number of laps
};

// How the number and the fixed text combine; kTextDataFlash makes the
// shown part blink.
enum TextDataMode : uint8_t {
  kTextDataPlain = 0, // the fixed text alone (plain text objects)
  kTextDataNumberOnly = 1,
  kTextDataNumberText = 2,
  kTextDataTextNumber = 3,
  kTextDataTextOnly = 4,
  kTextDataModeMask = 0x7F,
  kTextDataFlash = 0x80,
};

// The number is drawn only inside [MinRange, MaxRange]; these ends mean no
// limit, and anything at or beyond the limit counts as none.
constexpr double kTextNoMinRange = -999999999.9;
constexpr double kTextNoMaxRange = 999999999.9;
constexpr double kTextNoRangeLimit = 999999999.0;
inline bool TextMinRangeIsNone(double min) { return min <= -kTextNoRangeLimit; }
inline bool TextMaxRangeIsNone(double max) { return max >= kTextNoRangeLimit; }

struct BarParam { // type 31
  char16_t Field[kNameLength];
  char16_t Label[kNameLength];
  double Min, Max; // kRangeAutoMin / kRangeAutoMax = automatic
  double MarkInterval, MarkSmallInterval, ChangeColorValue, ChangeColor2Value;
  uint32_t BackColor, FillColor, IconColor, TrimColor, MarkColor, ChangeColor, ChangeColor2,
      LabelColor, NumberColor;
  uint16_t IconX, IconY, LabelX, LabelY, NumberX, NumberY;
  char16_t LabelFont[kNameLength], NumberFont[kNameLength];
  float LabelSize, NumberSize;
  uint8_t LabelStyle, NumberStyle;
  uint8_t Options; // BarOptionBits
  uint8_t IconID, IconSize, TrimSize, Thickness, MarkType, MarkSize, MarkSmallSize, MarkCount,
      MarkSmallCount, MarkNumberType, ChangeColorOptions;
  uint32_t FillColor2; // off: not chosen by the user, follows FillColor
};

enum BarOptionBits : uint8_t {
  kBarFlip = 0x01,        // fills from the other end
  kBarTwoDecimals = 0x04, // the number as "%.02f"
  kBarLine = 0x10,        // a line at the value instead of a bar
  kBarRounded = 0x20,     // rounded background
  kBarHorizontal = 0x40,
  kBarHighRes = 0x80, // drawn at double resolution
};

struct GaugeParam { // type 30
  char16_t Field[kNameLength]; // empty: the kind's automatic channel
  char16_t Label[kNameLength];
  double Min, Max; // 99999999.9 / -99999999.9 = automatic
  double MarkInterval, MarkSmallInterval;
  double ChangeColorValue;
  uint16_t SweepDeg, StartDeg; // start kGaugeAutoStart or more = automatic (arc centred)
  uint32_t FaceColor, IconColor, NeedleColor, NeedleBackColor, TrimColor, MarkColor,
      MarkPinColor, ChangeColor, LabelColor, NumberColor;
  uint16_t IconX, IconY, LabelX, LabelY, NumberX, NumberY; // kGaugeAutoPos = automatic
  char16_t LabelFont[kNameLength], NumberFont[kNameLength];
  float LabelSize, NumberSize;
  uint8_t LabelStyle, NumberStyle; // TextStyleBits: bold, italic
  uint8_t Type;                    // GaugeKind
  uint8_t Options;                 // GaugeOptionBits
  uint8_t IconID, IconSize, TrimSize, NeedleSize, NeedleTipLen;
  int8_t NeedleTailLen;
  uint8_t NeedleCenterSize;
  uint8_t MarkType; // GaugeMarkTypeBits: two GaugeMarkShape codes and the spacing mode
  uint8_t MarkPinSize, MarkSize, MarkSmallSize;
  uint8_t MarkCount, MarkSmallCount; // marks between major marks; shown plus one
  uint8_t MarkNumberType;            // GaugeNumberBits
  uint8_t ChangeColorOptions;        // GaugeChangeBits
  uint8_t TaperShape;
  uint32_t ChangeColor2;
  double ChangeColor2Value;
  double StepMidValue; // kGaugeNoStepMid = no two-part scale
  uint16_t StepMidAngle;
  uint8_t ChangeFaceOffset;
  int8_t ChangeFaceShade;
  uint32_t FaceColor2;
  float IntervalSize;
  uint8_t Reserved;
  uint8_t DualNeedleSize, DualNeedleTipLen;
  int8_t DualNeedleTailLen;
  double DualInterval; // dual mode: one turn of the main needle; 0 = MarkInterval
  uint32_t DualNeedleColor;
  uint32_t MarkColor2;
};

// The kinds of gauge; a kind reads its automatic channel when Field is
// empty (the generic gauge has none).
enum GaugeKind : uint8_t {
  kGaugeGeneric = 0,
  kGaugeSpeedometer = 1, // speed
  kGaugeTachometer = 2,  // engine speed
};

enum GaugeOptionBits : uint8_t {
  kGaugeCcw = 0x01,         // the scale runs counter-clockwise
  kGaugeSmooth = 0x02,      // shows the mean of the value now and 1/6 s later
  kGaugeTwoDecimals = 0x04, // the readout as "%.02f", else a whole number
  kGaugeUntapered = 0x08,   // needles keep their width to the tip
  kGaugeDual = 0x20,        // two needles over a full circle
  kGaugeGraph = 0x40,       // an arc grows along the scale instead of a needle
  kGaugeModeMask = kGaugeDual | kGaugeGraph, // neither: the needle mode
  kGaugeHighRes = 0x80,     // the face drawn at scale 2
};

// MarkType: the major mark's shape in bits 0-2, the minor mark's in bits
// 3-5, and the spacing of both.
enum GaugeMarkTypeBits : uint8_t {
  kGaugeMarkMajorMask = 0x07,
  kGaugeMarkMinorShift = 3,
  kGaugeMarkMinorMask = 0x38,
  kGaugeMarkByInterval = 0x80, // spaced by MarkInterval / MarkSmallInterval, else by count
};

enum GaugeMarkShape : uint8_t {
  kGaugeMarkNone = 0,
  kGaugeMarkDot = 1,
  kGaugeMarkDrop = 2,    // round outside, pointed towards the centre
  kGaugeMarkDiamond = 3,
  kGaugeMarkSquare2 = 4, // drawn as a dash; editors show it as a square
  kGaugeMarkSquare = 5,
  kGaugeMarkDash2 = 6,   // short, thin dash
  kGaugeMarkDash = 7,
};
inline uint8_t GaugeMajorShape(uint8_t markType) { return markType & kGaugeMarkMajorMask; }
inline uint8_t GaugeMinorShape(uint8_t markType) { return (markType & kGaugeMarkMinorMask) >> kGaugeMarkMinorShift; }
constexpr uint8_t GaugeMarkTypeOf(uint8_t major, uint8_t minor, bool byInterval) {
  return static_cast<uint8_t>((major & kGaugeMarkMajorMask) | ((minor << kGaugeMarkMinorShift) & kGaugeMarkMinorMask) |
                              (byInterval ? kGaugeMarkByInterval : 0));
}

// MarkNumberType: the scale numbers, drawn in the label's colour and font.
enum GaugeNumberBits : uint8_t {
  kGaugeNumbersOn = 0x01,
  kGaugeNumbersEverySecond = 0x02, // the numbering step doubled
  kGaugeNumbersEnds = 0x04,        // Min and Max numbered too (Max only below a full circle)
  kGaugeNumbersUnitMask = 0x18,    // the numbers divided by:
  kGaugeNumbersX1000 = 0x08,
  kGaugeNumbersX100 = 0x10,
  kGaugeNumbersX10 = 0x18,
  kGaugeNumbersLimitClutter = 0x20, // the step widened until the numbers fit
};

// ChangeColorOptions: the parts that take the warning colours.
enum GaugeChangeBits : uint8_t {
  kGaugeChangeMarks = 0x01,
  kGaugeChangeMarksFade = 0x02, // blend towards the warning colours
  kGaugeChangeNeedles = 0x04,
  kGaugeChangeNeedlesFade = 0x08,
  kGaugeChangeFace = 0x10,      // the face takes the warning colour, shaded
  kGaugeChangeFaceBand = 0x20,  // bands of the warning colours on the face
  kGaugeChangeFaceSolid = 0x40, // the face takes the warning colour unshaded
  kGaugeChangeMarksAny = kGaugeChangeMarks | kGaugeChangeMarksFade,
  kGaugeChangeNeedlesAny = kGaugeChangeNeedles | kGaugeChangeNeedlesFade,
};

constexpr uint16_t kGaugeAutoStart = 360;
constexpr uint16_t kGaugeAutoPos = 1000;
constexpr double kGaugeNoStepMid = -99999999.9;
// Either coordinate at the mark makes a position automatic.
inline bool GaugePosIsAuto(uint16_t x, uint16_t y) { return x >= kGaugeAutoPos || y >= kGaugeAutoPos; }
// Where automatic texts sit, in the gauge's 312-unit drawing square.
constexpr uint16_t kGaugeLabelAutoX = 156, kGaugeLabelAutoY = 220;
constexpr uint16_t kGaugeNumberAutoX = 156, kGaugeNumberAutoY = 120;

struct GForceParam { // type 74
  char16_t FieldX[kNameLength], FieldY[kNameLength]; // empty automatic, "(None)" unused
  float RangeX, RangeY;                               // full scale in g
  uint32_t LineColor, AxisColor, ShadowColor;
  uint8_t Options; // GForceOptionBits
  uint8_t LineSize, AxisSize, Reserved;
  uint32_t BackColor;
  uint32_t Reserved2;
};

enum GForceOptionBits : uint8_t {
  kGForceSwapXY = 0x02,
  kGForceFlipX = 0x04,
  kGForceFlipY = 0x08,
  kGForceFade = 0x10,        // a fading trail behind the marker
  kGForceCircles = 0x20,     // rings around the centre
  kGForceBall = 0x40,        // a ball instead of a line from the centre
  kGForceCirclesAxis = 0x80, // small rings on the axis; never with kGForceCircles
};

struct TrackMapParam { // type 70
  double MinX, MinY, MaxX, MaxY;
  uint32_t MapColor, MapLowColor, MapEdgeColor, StartColor, PosColor, GhostColor;
  uint8_t Options; // TrackMapOptionBits
  uint8_t MapLineSize, StartSize, PosSize; // at the resolution's scale (TrackMapSizeFactor)
  uint8_t ZoomArea;    // 0 no zoomed view, else magnified ZoomArea / 20 times
  uint8_t SelectedLap; // 0 all laps, else that lap (unless kMapBestLap)
  uint16_t StartLineAngle; // kMapNoStartLine, kMapAutoStartLine or degrees
  uint32_t Reserved;
  uint8_t StartStyle; // TrackMapStartStyle
  uint8_t PosIcon, ColorMode, Temp;
};

enum TrackMapOptionBits : uint8_t {
  kMapBestLap = 0x01,     // the best lap only, whatever SelectedLap holds
  kMapAnimatePos = 0x02,  // the position marker sends out rings
  kMapRotate = 0x04,      // turned with the heading
  kMapHigherRes = 0x10,   // sizes at x3; always with kMapHighRes
  kMapHighRes = 0x80,     // sizes at x2
};
constexpr uint16_t kMapNoStartLine = 65535;
constexpr uint16_t kMapAutoStartLine = 360; // and above: square to the course
constexpr int kMapZoomBase = 20;            // ZoomArea of a view at the course's own scale

enum TrackMapStartStyle : uint8_t {
  kStartRounded = 0,
  kStartFlat = 1,
  kStartChecker1 = 2, // two rows of squares
  kStartChecker2 = 3, // three rows
};

// The scale the stored sizes are given at: 3, 2 or 1.
inline int TrackMapSizeFactor(uint8_t options) {
  return (options & kMapHigherRes) ? 3 : (options & kMapHighRes) ? 2 : 1;
}

struct TimeGraphParam { // type 35
  char16_t Field[kNameLength];
  char16_t Label[kNameLength];
  double Min, Max;
  float TimeSpan;
  uint32_t ValueColor, BackColor, TrimColor, LineColor, LabelColor;
  char16_t LabelFont[kNameLength];
  float LabelSize;
  uint8_t LabelStyle;
  uint8_t Options; // TimeGraphOptionBits
  uint8_t TrimSize, LineSize;
  uint32_t AxisColor;
  float AxisInterval;
  uint8_t AxisSize, Thickness, Reserved, Reserved2;
  uint32_t Reserved3;
  float StartTime, EndTime;
};

enum TimeGraphOptionBits : uint8_t {
  kTimeGraphFlip = 0x01,
  // The presentation: neither bit is the last TimeSpan seconds sliding
  // with the time; either is a fixed stretch with a marker at the time.
  kTimeGraphFixedLine = 0x02,
  kTimeGraphFixedDot = 0x04,
  kTimeGraphFixedMask = 0x06,
  kTimeGraphVertical = 0x40,
  kTimeGraphHighRes = 0x80,
};

struct EImageParam { // type 14; the picture is the background bitmap
  char16_t Field[kNameLength];
  double MinInput, MaxInput, MinOutput, MaxOutput;
  uint8_t Mode;          // EImageMode
  uint8_t OutputType;    // EImageOutput
  uint8_t FlashInterval; // tenths of a second shown, then hidden; 0 solid
  uint8_t Reserved1;
  uint32_t Reserved2;
};

// How the channel's value drives the effect.
enum EImageMode : uint8_t {
  kEImagePlain = 0,     // no channel: the picture as it is
  kEImageMap = 1,       // the input range onto the output range
  kEImageAtOrAbove = 2, // MaxOutput at or above MaxInput, else MinOutput
  kEImageAtOrBelow = 3, // MinOutput at or below MinInput, else MaxOutput
};

// What the output value drives.
enum EImageOutput : uint8_t {
  kEImageAsIs = 0,
  kEImageRotation = 2,     // degrees added
  kEImageTransparency = 3, // percent, 0 to 100
  kEImageBrightness = 4,   // percent, 0 to 200
  kEImageHue = 5,          // degrees, -180 to 180
};

// A scripted object's two scripts: UTF-8, zero-terminated, so at most
// kScriptBytes - 1 bytes of text each.
constexpr int kScriptBytes = 32768;
constexpr int kEnhColors = 8;     // named colours A to H (and numeric parameters)
constexpr int kEnhNameUnits = 24; // a colour's or parameter's name, terminator included

// The record of a scripted object (type 50). The program keeps and copies it
// but never interprets it: a script engine of its own would run BackScript
// once for the static elements and ForeScript for every frame. Stored byte
// for byte in project, undo, style and template files.
struct EnhParam {
  char16_t Field[kNameLength]; // data channel; empty none
  char16_t Label[kNameLength];
  double Min, Max;   // kRangeAutoMin / kRangeAutoMax = automatic
  double TriggerValue; // in force while kEnhTrigger is set
  uint16_t SizeX, SizeY; // rendering area
  uint8_t Options;       // EnhOptionBits; the other bits kept
  uint8_t Reserved1;
  uint16_t Reserved2;
  uint32_t LabelColor; // top byte 0xFF = no label
  uint32_t NumberColor;
  uint16_t LabelX, LabelY, NumberX, NumberY;
  char16_t LabelFont[kNameLength], NumberFont[kNameLength];
  float LabelSize, NumberSize;
  uint8_t LabelStyle, NumberStyle; // EnhLabelStyleBits
  uint16_t Reserved3, Reserved4;
  uint8_t ColorCount; // colours in use; only the first eight exist
  uint8_t ParamCount;
  uint32_t Color[kEnhColors]; // 0x00RRGGBB
  char16_t ColorName[kEnhColors][kEnhNameUnits];
  double Param[kEnhColors], ParamMin[kEnhColors], ParamMax[kEnhColors], ParamStep[kEnhColors];
  char16_t ParamName[kEnhColors][kEnhNameUnits];
  char BackScript[kScriptBytes]; // UTF-8, zero-terminated
  char ForeScript[kScriptBytes];
};

enum EnhOptionBits : uint8_t {
  kEnhTrigger = 0x01,       // TriggerValue in force
  kEnhLabelTopLayer = 0x02, // the label drawn over the moving elements
};

enum EnhLabelStyleBits : uint8_t {
  kEnhLabelBold = 0x01,
  kEnhLabelItalic = 0x02,
};

#define QV_RECORD(T, size)                                                                         \
  static_assert(std::is_standard_layout_v<T> && std::is_trivially_copyable_v<T> &&               \
                sizeof(T) == (size))
QV_RECORD(DispStruct, 360);
QV_RECORD(DispBitmapHeader, 16);
QV_RECORD(ShapeStruct, 20);
QV_RECORD(TextStruct, 808);
QV_RECORD(BarParam, 640);
QV_RECORD(GaugeParam, 688);
QV_RECORD(GForceParam, 288);
QV_RECORD(TrackMapParam, 72);
QV_RECORD(TimeGraphParam, 456);
QV_RECORD(EImageParam, 168);
QV_RECORD(EnhParam, 67168);
#undef QV_RECORD

static_assert(offsetof(DispStruct, BitmapChromaCRange) == 324 &&
              offsetof(DispStruct, ParamSize) == 328);
static_assert(offsetof(TextStruct, MinRange) == 784);
static_assert(offsetof(BarParam, FillColor2) == 632);
static_assert(offsetof(GaugeParam, ChangeColor2) == 636 && offsetof(GaugeParam, MarkColor2) == 684);
// The scripted object's record is a stored format: every field in place.
static_assert(offsetof(EnhParam, Field) == 0 && offsetof(EnhParam, Label) == 128 &&
              offsetof(EnhParam, Min) == 256 && offsetof(EnhParam, Max) == 264 &&
              offsetof(EnhParam, TriggerValue) == 272 && offsetof(EnhParam, SizeX) == 280 &&
              offsetof(EnhParam, SizeY) == 282 && offsetof(EnhParam, Options) == 284 &&
              offsetof(EnhParam, Reserved1) == 285 && offsetof(EnhParam, Reserved2) == 286 &&
              offsetof(EnhParam, LabelColor) == 288 && offsetof(EnhParam, NumberColor) == 292 &&
              offsetof(EnhParam, LabelX) == 296 && offsetof(EnhParam, LabelY) == 298 &&
              offsetof(EnhParam, NumberX) == 300 && offsetof(EnhParam, NumberY) == 302 &&
              offsetof(EnhParam, LabelFont) == 304 && offsetof(EnhParam, NumberFont) == 432 &&
              offsetof(EnhParam, LabelSize) == 560 && offsetof(EnhParam, NumberSize) == 564 &&
              offsetof(EnhParam, LabelStyle) == 568 && offsetof(EnhParam, NumberStyle) == 569 &&
              offsetof(EnhParam, Reserved3) == 570 && offsetof(EnhParam, Reserved4) == 572 &&
              offsetof(EnhParam, ColorCount) == 574 && offsetof(EnhParam, ParamCount) == 575 &&
              offsetof(EnhParam, Color) == 576 && offsetof(EnhParam, ColorName) == 608 &&
              offsetof(EnhParam, Param) == 992 && offsetof(EnhParam, ParamMin) == 1056 &&
              offsetof(EnhParam, ParamMax) == 1120 && offsetof(EnhParam, ParamStep) == 1184 &&
              offsetof(EnhParam, ParamName) == 1248 && offsetof(EnhParam, BackScript) == 1632 &&
              offsetof(EnhParam, ForeScript) == 34400);

// The stored size of a type's parameter record; 0 for types without one
// (groups, pictures, sound, scripted objects made in the interface).
uint32_t DispParamSizeForType(uint32_t type);
