// Output writer throughput at 1080p30: frames per second through the writer
// routines (two put threads, H.264 and AAC, stream-copy merge) against the
// ffmpeg command-line tool encoding the same frames with the same settings.
// The ratio counter is writer fps / ffmpeg fps.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/ffmpeg/writer_facade.h"
#include "platform/system/system_info.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kFrameRate = 30.0;
constexpr uint32_t kFrames = 90;
constexpr double kChunkRate = 5.0;
constexpr uint32_t kVideoKbit = 8000;
constexpr uint32_t kAudioKbit = 128;
constexpr size_t kFrameBytes = static_cast<size_t>(kWidth) * kHeight * 4;

using Clock = std::chrono::steady_clock;

// A picture taller than the frame; frame n is the window starting n rows
// down, so every frame differs and the encoder has motion to work on.
const std::vector<uint8_t>& Texture() {
  static std::vector<uint8_t> texture = [] {
    std::vector<uint8_t> t(static_cast<size_t>(kWidth) * (kHeight + kFrames * 4) * 4);
    uint32_t seed = 12345;
    for (size_t i = 0; i < t.size(); i += 4) {
      const size_t pixel = i / 4;
      const int x = static_cast<int>(pixel % kWidth), y = static_cast<int>(pixel / kWidth);
      seed = seed * 1103515245u + 12345u;
      const uint8_t grain = static_cast<uint8_t>((seed >> 16) & 15);
      t[i + 0] = static_cast<uint8_t>((x / 4 + grain) & 255);
      t[i + 1] = static_cast<uint8_t>((y / 3 + x / 16 + grain) & 255);
      t[i + 2] = static_cast<uint8_t>(((x ^ y) / 8 + grain) & 255);
      t[i + 3] = 255;
    }
    return t;
  }();
  return texture;
}

const uint8_t* FrameRows(uint32_t n) { return Texture().data() + static_cast<size_t>(n) * 4 * kWidth * 4; }

std::string BenchFolder() {
  static BenchDir folder("qv-writer-bench");
  return folder.path;
}

double RunWriter() {
  MacVerAtLeast108 = 1;
  const tagBITMAPINFOHEADER format = BenchFrameFormat(kWidth, kHeight);
  const AudioFormat sound = AudioFormatFor(3, 44100);
  std::vector<uint8_t> frame(kFrameBytes);
  std::vector<uint8_t> pcm(static_cast<size_t>(44100 / kChunkRate) * 4, 0);
  const std::wstring path = std::filesystem::path(BenchFolder() + "/writer.mp4").wstring();
  const auto start = Clock::now();
  if (MediaMacAvCreate(path.c_str(), &format, &sound, kVideoKbit, kAudioKbit, frame.data(), pcm.data(),
                       static_cast<uint32_t>(pcm.size()), kFrameRate, kChunkRate) != 0)
    return 0;
  uint32_t chunk = 0;
  for (uint32_t n = 0; n < kFrames; ++n) {
    if (chunk / kChunkRate <= n / kFrameRate) {
      MediaMacAvPutPrepare();
      MediaMacAvPutAudio(chunk++, static_cast<uint32_t>(pcm.size()));
    }
    MediaMacAvPutPrepare();
    // The engine's frames are bottom-up: hand the rows over in that order.
    const uint8_t* rows = FrameRows(n);
    for (int y = 0; y < kHeight; ++y)
      std::memcpy(frame.data() + static_cast<size_t>(kHeight - 1 - y) * kWidth * 4,
                  rows + static_cast<size_t>(y) * kWidth * 4, static_cast<size_t>(kWidth) * 4);
    MediaMacAvPutFrame(n);
  }
  const int finished = MediaMacAvFinishWriting();
  MediaMacAvCreateClose();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return finished == 0 ? kFrames / seconds : 0;
}

double RunFfmpegCli() {
  const std::string out = BenchFolder() + "/cli.mp4";
  const std::string command =
      "ffmpeg -v error -y -f rawvideo -pix_fmt bgra -s " + std::to_string(kWidth) + "x" +
      std::to_string(kHeight) + " -r " + std::to_string(static_cast<int>(kFrameRate)) +
      " -i pipe:0 -f lavfi -i anullsrc=r=44100:cl=stereo -t " + std::to_string(kFrames / kFrameRate) +
      " -c:v libx264 -preset veryfast -profile:v main -level 41 -b:v " + std::to_string(kVideoKbit * 1024) +
      " -pix_fmt yuv420p -c:a aac -b:a " + std::to_string(kAudioKbit * 1024) + " -f mp4 '" + out + "'";
  const auto start = Clock::now();
  FILE* pipe = popen(command.c_str(), "w");
  if (pipe == nullptr) return 0;
  for (uint32_t n = 0; n < kFrames; ++n) std::fwrite(FrameRows(n), 1, kFrameBytes, pipe);
  const int status = pclose(pipe);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return status == 0 ? kFrames / seconds : 0;
}

void BM_Writer1080p30(benchmark::State& state) {
  Texture();
  double fps = 0;
  for (auto _ : state) fps = RunWriter();
  state.counters["fps"] = fps;
  if (fps == 0) state.SkipWithError("the writer failed");
}

void BM_FfmpegCli1080p30(benchmark::State& state) {
  Texture();
  double fps = 0;
  for (auto _ : state) fps = RunFfmpegCli();
  state.counters["fps"] = fps;
  if (fps == 0) state.SkipWithError("ffmpeg failed (is the command-line tool installed?)");
}

void BM_WriterVsFfmpegRatio(benchmark::State& state) {
  Texture();
  double writer = 0, cli = 0;
  for (auto _ : state) {
    writer = RunWriter();
    cli = RunFfmpegCli();
  }
  state.counters["writer_fps"] = writer;
  state.counters["ffmpeg_fps"] = cli;
  state.counters["ratio"] = cli > 0 ? writer / cli : 0;
}

} // namespace

BENCHMARK(BM_Writer1080p30)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FfmpegCli1080p30)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriterVsFfmpegRatio)->Unit(benchmark::kMillisecond)->Iterations(3);
