#include "platform/ffmpeg/writer_settings.h"

#include <cstdlib>

#include "base/util.h"

H264Level H264LevelFor(int32_t width, int32_t height, uint32_t kbitrate, double frameRate) {
  if (width > 1280 || height > 720 || kbitrate >= 20000) return H264Level::Main41;
  if (width > 720 || height > 576 || kbitrate >= 14000) return H264Level::Main32;
  if (height > 480 || frameRate > 29.97 || kbitrate >= 10000) return H264Level::Main31;
  return H264Level::Main30;
}

const char* H264LevelName(H264Level level) {
  switch (level) {
  case H264Level::Main30: return "AVVideoProfileLevelH264Main30";
  case H264Level::Main31: return "AVVideoProfileLevelH264Main31";
  case H264Level::Main32: return "AVVideoProfileLevelH264Main32";
  case H264Level::Main41: return "AVVideoProfileLevelH264Main41";
  }
  return "";
}

int H264LevelIdc(H264Level level) {
  switch (level) {
  case H264Level::Main30: return 30;
  case H264Level::Main31: return 31;
  case H264Level::Main32: return 32;
  case H264Level::Main41: return 41;
  }
  return 0;
}

int32_t ClampAacKbitrate(int32_t requested, int32_t channels) {
  const int32_t lower = 32 * channels;
  const int32_t upper = channels == 2 ? 312 : 240;
  if (requested < lower) return lower;
  if (requested > upper) return upper;
  return requested;
}

int AacSampleRateFor(int rate, const int* supportedRates) {
  if (supportedRates == nullptr) return rate;
  int best = 0;
  for (const int* r = supportedRates; *r != 0; ++r) {
    if (*r == rate) return rate;
    const int distance = std::abs(*r - rate);
    const int bestDistance = std::abs(best - rate);
    if (best == 0 || distance < bestDistance || (distance == bestDistance && *r > best)) best = *r;
  }
  return best;
}

int32_t FrameTimeScaleFor(double frameRate) {
  return RoundToIntF(static_cast<float>(frameRate * 1000.0));
}
