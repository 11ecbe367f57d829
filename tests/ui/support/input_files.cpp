#include "ui/support/input_files.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "support/media_fixtures.h"

namespace {

std::string withChecksum(const std::string& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof(tail), "*%02X", sum);
  return "$" + body + tail;
}

std::string fixTime(int i) {
  char text[16];
  std::snprintf(text, sizeof(text), "1200%02d.00", i);
  return text;
}

std::string fixPlace(int i) {
  char text[40];
  std::snprintf(text, sizeof(text), "4851.%04d,N,00217.%04d,E", 4620 + i * 3, 7000 + i * 4);
  return text;
}

std::string rmc(int i) { return withChecksum("GPRMC," + fixTime(i) + ",A," + fixPlace(i) + ",10.5,45.0,071226,,,A"); }

std::string gga(int i) { return withChecksum("GPGGA," + fixTime(i) + "," + fixPlace(i) + ",1,08,0.9,35.0,M,47.0,M,,"); }

} // namespace

std::string MakeTestVideo(const std::string& path, int frames) {
  MakeIndexVideo(path, frames, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p");
  return path;
}

std::string MakeTestGpsVideo(const std::string& dir) {
  std::string srt = dir + "/gps.srt";
  {
    std::ofstream f(srt);
    for (int i = 0; i < 3; ++i)
      f << i + 1 << "\n00:00:0" << i << ",000 --> 00:00:0" << i << ",900\n" << rmc(i) << "\n\n";
  }
  // A picture big enough that the text samples lie beyond the first 8 KB,
  // as in a real camera file; the data-log probe would take a tiny file with
  // sentences near its start for a log.
  std::string base = dir + "/gps-base.mp4";
  RunFfmpeg("-f lavfi -i testsrc=size=640x480:rate=10 -t 3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p " + base);
  std::string out = dir + "/camera.mp4";
  RunFfmpeg("-i " + base + " -i " + srt + " -map 0 -map 1 -c:v copy -c:s mov_text " + out);
  std::remove(base.c_str());
  std::remove(srt.c_str());
  return out;
}

std::string MakeTestWav(const std::string& path) {
  WriteWav16(path, 22050, 1, MakeRampPcm16(22050, 1));
  return path;
}

std::string MakeTestPng(const std::string& path) {
  QImage image(64, 48, QImage::Format_RGB32);
  image.fill(QColor(30, 120, 200));
  image.save(QString::fromStdString(path));
  return path;
}

std::string MakeTestNmea(const std::string& path) {
  std::ofstream f(path, std::ios::binary);
  // One fix a second driving north-east.
  for (int i = 0; i < 20; ++i) f << rmc(i) << "\r\n" << gga(i) << "\r\n";
  return path;
}

std::string MakeFlashVideo(const std::string& path, double seconds, double flashSecond) {
  constexpr int kWidth = 160, kHeight = 90, kRate = 10;
  const int frames = static_cast<int>(std::lround(seconds * kRate));
  const int flash = static_cast<int>(std::lround(flashSecond * kRate));
  const std::string raw = path + ".rgb";
  {
    std::ofstream f(raw, std::ios::binary);
    std::vector<char> dark(kWidth * kHeight * 3, static_cast<char>(0x20));
    std::vector<char> white(kWidth * kHeight * 3, static_cast<char>(0xFF));
    for (int i = 0; i < frames; ++i) {
      const std::vector<char>& frame = i == flash ? white : dark;
      f.write(frame.data(), static_cast<std::streamsize>(frame.size()));
    }
  }
  RunFfmpeg("-f rawvideo -pix_fmt rgb24 -s " + std::to_string(kWidth) + "x" + std::to_string(kHeight) + " -r " +
            std::to_string(kRate) + " -i " + raw + " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 10 " + path);
  std::remove(raw.c_str());
  return path;
}

std::string MakeSpeedPeakLog(const std::string& path, double seconds, double peakSecond) {
  std::ofstream f(path);
  f << "Session,Sync test\n\nTime (s),Latitude,Longitude,Speed (km/h)\n";
  const int samples = static_cast<int>(std::lround(seconds * 10));
  for (int i = 0; i <= samples; ++i) {
    const double t = i / 10.0;
    // 40 km/h, with one peak two seconds wide at its foot.
    const double speed = 40.0 + (kPeakSpeedKmh - 40.0) * std::max(0.0, 1.0 - std::fabs(t - peakSecond) / 1.0);
    char line[128];
    std::snprintf(line, sizeof line, "%.3f,%.7f,%.7f,%.2f\n", t, 52.0 + t * 1e-4, -1.0 + t * 1e-4, speed);
    f << line;
  }
  return path;
}

std::string MakeTestGarbage(const std::string& path) {
  std::ofstream f(path, std::ios::binary);
  for (int i = 0; i < 4096; ++i) f.put(static_cast<char>((i * 37 + 11) & 0xFF));
  return path;
}
