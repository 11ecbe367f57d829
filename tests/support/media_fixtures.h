#pragma once
// Fixtures of the media tests, made at run time: a private temporary
// folder, raw frames that carry their index as blocks, and the ffmpeg
// command-line tool to encode them.
#include <cstdint>
#include <string>
#include <vector>

// A fresh private folder for this test process; TMPDIR points at it.
const std::string& MediaTestDir();
std::string MediaTestPath(const std::string& name);
// Runs "ffmpeg -y <args>" quietly; true on success.
bool RunFfmpeg(const std::string& args);
bool WriteBytes(const std::string& path, const void* data, size_t size);
std::vector<uint8_t> ReadBytes(const std::string& path);

// Index frames: width x height RGB24, top row first. The top half holds
// kIndexBits blocks, white for a set bit of the frame index (bit 0 left);
// the bottom half holds four colour patches: red, green, blue, grey.
constexpr int kIndexBits = 8;
std::vector<uint8_t> MakeIndexFrame(int index, int width, int height);
// Writes count index frames (from firstIndex on) as raw RGB24 and encodes
// them with the video arguments (e.g. "-c:v libx264 -pix_fmt yuv420p"),
// plus extra arguments before the output. true on success.
bool MakeIndexVideo(const std::string& out, int count, int width, int height, const std::string& rate,
                    const std::string& videoArgs, const std::string& extraInputs = "",
                    const std::string& extraArgs = "", int firstIndex = 0);
// Reads the index back from a decoded 32-bit B, G, R, A frame (bottom-up
// when bottomUp); -1 when the blocks are unreadable.
int ReadFrameIndex(const uint8_t* bgra, int width, int height, bool bottomUp);
// The pixel (B, G, R, A word) at (x, y) counted from the top.
uint32_t PixelAt(const uint8_t* bgra, int width, int height, bool bottomUp, int x, int y);

// A WAV file of 16-bit samples: sample i of channel c is
// (i * 7 + c * 1000) % 20000 - 10000, easy to check anywhere.
std::vector<uint8_t> MakeRampPcm16(int frames, int channels);
int16_t RampSample(int64_t frame, int channel);
bool WriteWav16(const std::string& path, int rate, int channels, const std::vector<uint8_t>& pcm);

// Appends an input with the path to the engine's table; its index.
uint32_t MediaTestAddInput(const std::string& path);
