#include "support/media_fixtures.h"
#include "support/test_main.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "base/text.h"
#include "model/input_store.h"
#include "model/input_table.h"

const std::string& MediaTestDir() {
  // Inside the test process's own folder, which goes with it.
  static const std::string dir = [] {
    const std::string& own = TestProcessFolder();
    std::string pattern = (own.empty() ? TempBase() : own) + "/qv-media-test-XXXXXX";
    const char* made = mkdtemp(pattern.data());
    std::string d = made ? made : TempBase();
    setenv("TMPDIR", d.c_str(), 1);
    return d;
  }();
  return dir;
}

std::string MediaTestPath(const std::string& name) { return MediaTestDir() + "/" + name; }

bool RunFfmpeg(const std::string& args) {
  std::string cmd = "ffmpeg -nostdin -hide_banner -loglevel error -y " + args + " 2>&1";
  return std::system(cmd.c_str()) == 0;
}

bool WriteBytes(const std::string& path, const void* data, size_t size) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(f);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> MakeIndexFrame(int index, int width, int height) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 0);
  const int blockW = width / kIndexBits;
  static const uint8_t kPatches[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      if (y < height / 2) {
        int bit = x / blockW;
        uint8_t v = (bit < kIndexBits && ((index >> bit) & 1)) ? 255 : 0;
        p[0] = p[1] = p[2] = v;
      } else {
        const uint8_t* c = kPatches[(x * 4) / width];
        p[0] = c[0], p[1] = c[1], p[2] = c[2];
      }
    }
  return rgb;
}

bool MakeIndexVideo(const std::string& out, int count, int width, int height, const std::string& rate,
                    const std::string& videoArgs, const std::string& extraInputs, const std::string& extraArgs,
                    int firstIndex) {
  std::string raw = out + ".rgb";
  {
    std::ofstream f(raw, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < count; ++i) {
      std::vector<uint8_t> frame = MakeIndexFrame(firstIndex + i, width, height);
      f.write(reinterpret_cast<const char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
    }
    if (!f) return false;
  }
  std::string args = "-f rawvideo -pix_fmt rgb24 -s " + std::to_string(width) + "x" + std::to_string(height) +
                     " -r " + rate + " -i " + raw + " " + extraInputs + " " + videoArgs + " " + extraArgs + " " + out;
  bool ok = RunFfmpeg(args);
  std::remove(raw.c_str());
  return ok;
}

uint32_t PixelAt(const uint8_t* bgra, int width, int height, bool bottomUp, int x, int y) {
  int row = bottomUp ? height - 1 - y : y;
  const uint8_t* p = bgra + (static_cast<size_t>(row) * width + x) * 4;
  return static_cast<uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int ReadFrameIndex(const uint8_t* bgra, int width, int height, bool bottomUp) {
  const int blockW = width / kIndexBits;
  int index = 0;
  for (int bit = 0; bit < kIndexBits; ++bit) {
    uint32_t px = PixelAt(bgra, width, height, bottomUp, bit * blockW + blockW / 2, height / 4);
    int grey = static_cast<int>((px >> 8) & 0xFF);
    if (grey > 200) index |= 1 << bit;
    else if (grey > 55) return -1;
  }
  return index;
}

int16_t RampSample(int64_t frame, int channel) {
  return static_cast<int16_t>((frame * 7 + channel * 1000) % 20000 - 10000);
}

std::vector<uint8_t> MakeRampPcm16(int frames, int channels) {
  std::vector<uint8_t> pcm(static_cast<size_t>(frames) * channels * 2);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) {
      int16_t s = RampSample(i, c);
      std::memcpy(&pcm[(static_cast<size_t>(i) * channels + c) * 2], &s, 2);
    }
  return pcm;
}

bool WriteWav16(const std::string& path, int rate, int channels, const std::vector<uint8_t>& pcm) {
  auto put32 = [](std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
  };
  auto put16 = [](std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
  };
  std::vector<uint8_t> f = {'R', 'I', 'F', 'F'};
  put32(f, static_cast<uint32_t>(36 + pcm.size()));
  for (char c : std::string("WAVEfmt ")) f.push_back(static_cast<uint8_t>(c));
  put32(f, 16);
  put16(f, 1);
  put16(f, static_cast<uint32_t>(channels));
  put32(f, static_cast<uint32_t>(rate));
  put32(f, static_cast<uint32_t>(rate * channels * 2));
  put16(f, static_cast<uint32_t>(channels * 2));
  put16(f, 16);
  for (char c : std::string("data")) f.push_back(static_cast<uint8_t>(c));
  put32(f, static_cast<uint32_t>(pcm.size()));
  f.insert(f.end(), pcm.begin(), pcm.end());
  return WriteBytes(path, f.data(), f.size());
}

uint32_t MediaTestAddInput(const std::string& path) {
  uint32_t input = InputStoreAppend();
  if (MainStruct* main = InputTableMain(input)) Str16CopyNW(main->FilePath, Utf8ToWide(path).c_str(), kPathLength - 1);
  return input;
}
