#pragma once
// Encoder settings of the MPEG-4 writer: the H.264 level chosen by picture
// size, frame rate and bit rate, the AAC bit-rate clamp, the AAC sample rate
// and the video time scale. Pure functions, so the rules can be checked
// without encoding anything.
#include <cstdint>

enum class H264Level { Main30, Main31, Main32, Main41 };

// The first level whose condition holds: above 1280x720 or 20000 kbit/s
// Main41; above 720x576 or 14000 kbit/s Main32; above 480 lines, above
// 29.97 fps or 10000 kbit/s Main31; else Main30.
H264Level H264LevelFor(int32_t width, int32_t height, uint32_t kbitrate, double frameRate);
// The level's name as the session log shows it ("AVVideoProfileLevelH264Main41").
const char* H264LevelName(H264Level level);
// The level as libx264 takes it (30, 31, 32, 41).
int H264LevelIdc(H264Level level);

// AAC kbit/s within [32 x channels, 312 for stereo / 240 otherwise].
int32_t ClampAacKbitrate(int32_t requested, int32_t channels);
// The rate itself when the AAC encoder takes it, else the nearest rate it
// takes (the higher one on a tie); 0 when the list is empty.
int AacSampleRateFor(int rate, const int* supportedRates);

// Units per second of the video timestamps: frame rate x 1000 as a float,
// rounded half away from zero, so one frame lasts 1000 units.
int32_t FrameTimeScaleFor(double frameRate);
