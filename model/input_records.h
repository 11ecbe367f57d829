#pragma once
// The three per-input records. Windows copy them whole, edit the copy and hand
// it back, and project files store them byte for byte, so field order and
// sizes are fixed. Text fields are zero-terminated UTF-16.
#include <cstddef>
#include <cstdint>
#include <type_traits>

constexpr int kNameLength = 64;   // UTF-16 units of every name field
constexpr int kPathLength = 1024; // UTF-16 units of paths and the user text
constexpr uint32_t kMaxInputs = 128;
constexpr uint32_t kNoInput = 255;

enum InputType : uint8_t {
  kInputNone = 0,
  kInputVideo = 1,
  kInputAudio = 2,
  kInputImage = 3,
  kInputData = 4,
  kInputJoinVideo = 5,
  kInputJoinAudio = 6,
  kInputJoinData = 7,
  kInputFiller = 8,
};

struct MainStruct {
  char16_t Name[kNameLength];
  char16_t FilePath[kPathLength];
  uint8_t Type;       // InputType
  uint8_t HasData;    // the file also carries data channels (a camera's GPS track)
  uint8_t ParentJoin; // join holding the input, 255 = none
  uint8_t OpenFailed;
  uint16_t Width, Height;
  float Length;    // whole media length, seconds
  float StartTime; // project (or join) time at which TrimStart plays
  float TrimStart, TrimEnd;
  uint16_t TrackCount;
  uint16_t TrackIndex;
  float PlayRate; // 1.0 = normal
};

struct AdjustStruct {
  uint8_t Volume;      // percent, neutral 100
  uint8_t Balance;     // 100 centre, below left, above right
  uint8_t ChannelMode; // 0 stereo, 1 swapped, 2 mono left, 3 mono right, 4 mono mix
  uint8_t Reserved1;
  int32_t CropLeft, CropTop, CropRight, CropBottom; // pixels
  float Rotation;                                   // degrees
  uint8_t Mirroring;                                // bit 0 horizontal, bit 1 vertical
  uint8_t Brightness, Contrast, Color;              // percent, neutral 100
  int16_t Hue;                                      // degrees, neutral 0
  uint8_t Sharpness;                                // percent, neutral 100
  uint8_t Reserved2[3];
  uint8_t ChromaOn;
  uint8_t ChromaRed, ChromaGreen, ChromaBlue;
  uint8_t ChromaColorRange, ChromaBrightRange;
  uint32_t Colorize; // 0xTTRRGGBB: TT 0xFF off, 0x01 rainbow, 0x00 one colour
  uint32_t Reserved3;
};

struct DataStruct {
  char16_t Time[kNameLength];
  float TimeUnits; // seconds per unit of the time column
  char16_t PosX[kNameLength], PosY[kNameLength], PosZ[kNameLength], GpsAcc[kNameLength];
  float GpsAccConv;
  char16_t Lap[kNameLength];
  char16_t Speed[kNameLength];
  float SpeedConv;
  char16_t Heading[kNameLength];
  float HeadingAdjust;
  char16_t RPM[kNameLength], Gear[kNameLength], GForceX[kNameLength], GForceY[kNameLength];
  double LapX, LapY, LapTolX, LapTolY;
  float LapHeading; // degrees; negative = automatic
  float LapHeadTol;
  uint8_t LapManual; // bit 0 set by hand, bit 1 GPS-enhanced, bit 7 typed by hand
  uint8_t HeadingFlip;
  uint8_t IgnoreFirstLaps;
  uint8_t BoostSampleRate; // bit 0 boost, bit 1 also GPS channels, bit 2 curve smoothing
  uint8_t CustomOp, CustomOp2, CustomOp3, CustomOp4;
  char16_t CustomName[kNameLength];
  char16_t CustomInput[kNameLength];
  float CustomNum;
  uint32_t CustomReserved;
  char16_t CustomName2[kNameLength];
  char16_t CustomInput2[kNameLength];
  float CustomNum2;
  uint32_t CustomReserved2;
  char16_t CustomName3[kNameLength];
  char16_t CustomInput3[kNameLength];
  float CustomNum3;
  uint32_t CustomReserved3;
  char16_t CustomName4[kNameLength];
  char16_t CustomInput4[kNameLength];
  float CustomNum4;
  uint32_t CustomReserved4;
  int8_t GearAdjust;
  uint8_t Reserved1[3];
  uint32_t Reserved2;
  char16_t Throttle[kNameLength];
};

static_assert(std::is_standard_layout_v<MainStruct> && sizeof(MainStruct) == 2208);
static_assert(std::is_standard_layout_v<AdjustStruct> && sizeof(AdjustStruct) == 48);
static_assert(std::is_standard_layout_v<DataStruct> && sizeof(DataStruct) == 2792);
static_assert(offsetof(DataStruct, LapX) == 1552 && offsetof(DataStruct, Throttle) == 2664);
