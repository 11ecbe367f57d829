#pragma once
// The output video's settings as the output window keeps them, the rules
// that bring any stored or chosen value back to one the window offers, the
// ready-made profiles, and the small calculations the window shows (picture
// width, bitrate warning, total bitrate).
#include <QString>
#include <QStringList>

struct OutputSettings {
  int Quality = 3;       // render quality 0-5
  int PicAspect = 2;     // 0 4:3, 1 3:2, 2 16:9
  int PicSize = 720;     // picture height
  int PicSizeX = 1280;   // picture width, from height and ratio
  int FrameRate = 2997;  // hundredths of a frame per second
  float Overscan = 0;    // picture inset, percent
  int AudioType = 3;     // 0 8-bit mono, 1 8-bit stereo, 2 16-bit mono, 3 16-bit stereo
  int AudioRate = 44100; // Hz
  int VBit = 9216;       // video kbit/s
  int ABit = 192;        // audio kbit/s
};

// Ranges of the window's steppers; they clamp what they are given.
struct OutputStepperRange {
  double minimum, maximum, step;
};
constexpr OutputStepperRange kOverscanRange{0.0, 20.0, 0.5};
constexpr OutputStepperRange kVideoBitrateRange{128, 100000, 128};
constexpr OutputStepperRange kAudioBitrateRange{16, 320, 16};

// The items of the window's choice lists, in order.
const QStringList& OutputProfileNames();
const QStringList& OutputRatioNames();
const QStringList& OutputHeightNames();
const QStringList& OutputFrameRateNames();
const QStringList& OutputAudioTypeNames();
const QStringList& OutputAudioRateNames();

// A profile by its item text: the base values, then the profile's own.
// False (nothing changed) for "Custom" or an empty text; a text that is no
// profile leaves the base values.
bool ApplyOutputProfile(const QString& name, OutputSettings& settings);

// Width for the height at the ratio, raised to a multiple of 8; a ratio
// other than 0 and 2 becomes 1 (3:2).
int OutputPictureWidth(int height, int& aspect);
// The video bitrate below which the label turns red (0: no warning).
int OutputBitrateFloor(int height);
bool OutputBitrateLow(int videoKbit, int height);

// Brings every field but the bitrates and overscan (which the steppers
// clamp) back to an offered value, and derives the width.
void NormaliseOutputSettings(OutputSettings& settings);
// Texts of the current choices as the lists show them.
QString OutputHeightTitle(int height);
QString OutputFrameRateTitle(int code);
QString OutputAudioRateTitle(int rate);
// "%d kbps  (%0.1f MB / min)" of the two bitrates.
QString OutputTotalBitrateText(int videoKbit, int audioKbit);

// Frame rate handed to the engine: the NTSC rates exactly (29.97, 23.976,
// 59.94), any other code / 100.
float OutputFrameRateForEngine(int code);
// Readers of a list item's text, as the window's handlers take them.
int OutputRatioFromTitle(const QString& title);
int OutputFrameRateFromTitle(const QString& title);
int OutputAudioTypeFromTitle(const QString& title);
// Slider position 0 is the quickest quality (5), positions 1-5 are 0-4.
int OutputQualityFromSlider(int position);
int OutputSliderFromQuality(int quality);
