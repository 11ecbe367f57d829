#pragma once
// Small input files for the main window's tests, written at run time into
// a folder of the caller's: a video (with or without a GPS text track), a
// WAV sound, a PNG picture, an NMEA log, and files that are none of these.
#include <string>

std::string MakeTestVideo(const std::string& path, int frames = 10);
// A camera video carrying NMEA sentences as a text track.
std::string MakeTestGpsVideo(const std::string& dir);
std::string MakeTestWav(const std::string& path);
std::string MakeTestPng(const std::string& path);
std::string MakeTestNmea(const std::string& path);
// A dark video of `seconds` at 10 frames a second whose frame at
// flashSecond (and only that one) is white: a moment to line a log up on.
std::string MakeFlashVideo(const std::string& path, double seconds, double flashSecond);
// A delimited log (time, position, speed) sampled 10 times a second whose
// speed rises to one sharp peak at peakSecond of its own time.
std::string MakeSpeedPeakLog(const std::string& path, double seconds, double peakSecond);
constexpr double kPeakSpeedKmh = 160.0;
// Bytes no reader takes.
std::string MakeTestGarbage(const std::string& path);
