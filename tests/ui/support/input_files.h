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
// Bytes no reader takes.
std::string MakeTestGarbage(const std::string& path);
