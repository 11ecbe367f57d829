#include "ui/shell/output_settings.h"

#include <QHash>
#include <array>

namespace {

struct Profile {
  const char* name;
  int height, aspect, frameRate, videoKbit, audioType, audioKbit;
  float overscan;
};

constexpr int k43 = 0, k32 = 1, k169 = 2;
constexpr int kMono8 = 0, kMono16 = 2, kStereo16 = 3;

constexpr std::array<Profile, 17> kProfiles{{
    {"Local File: Small (240)", 240, k32, 2997, 1024, kStereo16, 192, 0},
    {"Local File: Medium (320)", 320, k32, 2997, 3072, kStereo16, 192, 0},
    {"Local File: Standard (480)", 480, k32, 2997, 5120, kStereo16, 192, 0},
    {"Local File: High-Def (720)", 720, k169, 2997, 9216, kStereo16, 192, 0},
    {"Local File: High-Def (960)", 960, k169, 2997, 14848, kStereo16, 192, 0},
    {"Local File: High-Def (1080)", 1080, k169, 2997, 20480, kStereo16, 192, 0},
    {"Internet / Upload: Tiny (180 @ 15 FPS)", 180, k43, 1500, 256, kMono8, 16, 0},
    {"Internet / Upload: Small (240)", 240, k32, 2997, 512, kMono16, 48, 0},
    {"Internet / Upload: Medium (320)", 320, k32, 2997, 1024, kStereo16, 96, 0},
    {"Internet / Upload: Standard (480)", 480, k32, 2997, 2048, kStereo16, 128, 0},
    {"Internet / Upload: High-Def (720)", 720, k169, 2997, 6144, kStereo16, 160, 0},
    {"Internet / Upload: High-Def (960)", 960, k169, 2997, 9216, kStereo16, 160, 0},
    {"Internet / Upload: High-Def (1080)", 1080, k169, 2997, 12288, kStereo16, 160, 0},
    {"Television (overscan): Standard (480p)", 480, k32, 2997, 5120, kStereo16, 192, 5},
    {"Television (overscan): High-Def (720p)", 720, k169, 2997, 9216, kStereo16, 192, 5},
    {"Television (overscan): High-Def (1080p)", 1080, k169, 2997, 20480, kStereo16, 192, 5},
    // PAL height, but the frame rate stays at 29.97 as it always has.
    {"Television (overscan): PAL (576p)", 576, k32, 2997, 6144, kStereo16, 192, 5},
}};

constexpr std::array<int, 10> kHeights{120, 180, 240, 320, 480, 576, 640, 720, 960, 1080};
// Frame-rate codes shown as whole frames per second.
constexpr std::array<int, 14> kWholeRates{500,  1000, 1200, 1500, 2000, 2400,  2500,
                                          3000, 4500, 4800, 5000, 6000, 12000, 24000};

void applyBase(OutputSettings& s) {
  s.PicSize = 480;
  s.PicAspect = k32;
  s.FrameRate = 2997;
  s.VBit = 5120;
  s.AudioType = kStereo16;
  s.AudioRate = 44100;
  s.ABit = 192;
  s.Overscan = 0;
}

template <size_t N> bool contains(const std::array<int, N>& values, int value) {
  for (int v : values)
    if (v == value) return true;
  return false;
}

} // namespace

const QStringList& OutputProfileNames() {
  static const QStringList names = [] {
    QStringList list{"Custom"};
    for (const Profile& p : kProfiles) list << p.name;
    return list;
  }();
  return names;
}

const QStringList& OutputRatioNames() {
  static const QStringList names{"4:3 Standard", "3:2 Enhanced", "16:9 Wide-Screen"};
  return names;
}

const QStringList& OutputHeightNames() {
  static const QStringList names = [] {
    QStringList list;
    for (int h : kHeights) list << QString::number(h);
    return list;
  }();
  return names;
}

const QStringList& OutputFrameRateNames() {
  static const QStringList names{"5 FPS",  "10 FPS", "12 FPS",    "15 FPS", "20 FPS",  "24 FPS",
                                 "25 FPS", "29.97 FPS", "30 FPS", "45 FPS", "48 FPS",  "50 FPS",
                                 "59.94 FPS", "60 FPS", "120 FPS", "240 FPS"};
  return names;
}

const QStringList& OutputAudioTypeNames() {
  static const QStringList names{"8-Bit Mono", "8-Bit Stereo", "16-Bit Mono", "16-Bit Stereo"};
  return names;
}

const QStringList& OutputAudioRateNames() {
  static const QStringList names{"44100 Hz", "48000 Hz"};
  return names;
}

bool ApplyOutputProfile(const QString& name, OutputSettings& s) {
  if (name.isEmpty() || name == "Custom") return false;
  applyBase(s);
  for (const Profile& p : kProfiles) {
    if (name != p.name) continue;
    s.PicSize = p.height;
    s.PicAspect = p.aspect;
    s.FrameRate = p.frameRate;
    s.VBit = p.videoKbit;
    s.AudioType = p.audioType;
    s.ABit = p.audioKbit;
    s.Overscan = p.overscan;
    break;
  }
  return true;
}

int OutputPictureWidth(int height, int& aspect) {
  int width = 0;
  if (aspect == k169) {
    width = height * 1600 / 900;
  } else if (aspect == k43) {
    width = height * 400 / 300;
  } else {
    aspect = k32;
    width = height * 300 / 200;
  }
  if (width % 8 != 0) width += 8 - width % 8;
  return width;
}

int OutputBitrateFloor(int height) {
  if (height > 960) return 12000;
  if (height > 720) return 9000;
  if (height > 480) return 6000;
  if (height > 360) return 2000;
  if (height > 240) return 1000;
  if (height > 180) return 500;
  return 0;
}

bool OutputBitrateLow(int videoKbit, int height) { return videoKbit < OutputBitrateFloor(height); }

void NormaliseOutputSettings(OutputSettings& s) {
  if (static_cast<unsigned>(s.Quality) > 5u) s.Quality = 3;
  if (!contains(kHeights, s.PicSize)) s.PicSize = 480;
  s.PicSizeX = OutputPictureWidth(s.PicSize, s.PicAspect);
  if (!contains(kWholeRates, s.FrameRate) && s.FrameRate != 5994) s.FrameRate = 2997;
  if (s.AudioRate != 44100 && s.AudioRate != 48000) s.AudioRate = 44100;
  if (s.AudioType < 0 || s.AudioType > 3) s.AudioType = kStereo16;
}

QString OutputHeightTitle(int height) { return QString::number(height); }

QString OutputFrameRateTitle(int code) {
  if (code == 5994) return "59.94 FPS";
  if (code == 2997) return "29.97 FPS";
  return QString("%1 FPS").arg(code / 100);
}

QString OutputAudioRateTitle(int rate) { return QString("%1 Hz").arg(rate); }

QString OutputTotalBitrateText(int videoKbit, int audioKbit) {
  const int total = videoKbit + audioKbit;
  const float megabytesPerMinute = static_cast<float>(total) * 0.125f / 1024.0f * 60.0f;
  return QString::asprintf("%d kbps  (%0.1f MB / min)", total, static_cast<double>(megabytesPerMinute));
}

float OutputFrameRateForEngine(int code) {
  switch (code) {
  case 2997: return 29.97003f;
  case 2400: return 23.976025f;
  case 5994: return 59.94006f;
  default: return static_cast<float>(code) / 100.0f;
  }
}

int OutputRatioFromTitle(const QString& title) {
  if (title == "4:3 Standard") return k43;
  if (title == "16:9 Wide-Screen") return k169;
  return k32;
}

int OutputFrameRateFromTitle(const QString& title) {
  const float rate = QString(title).remove(" FPS").toFloat();
  return static_cast<int>(rate * 100.0f);
}

int OutputAudioTypeFromTitle(const QString& title) {
  static const QHash<QString, int> types{{"8-Bit Mono", 0}, {"8-Bit Stereo", 1}, {"16-Bit Mono", 2}};
  return types.value(title, kStereo16);
}

int OutputQualityFromSlider(int position) { return position <= 0 ? 5 : position - 1; }

int OutputSliderFromQuality(int quality) { return quality == 5 ? 0 : quality + 1; }
