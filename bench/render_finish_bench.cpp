// The finish of a long output: 30 minutes at 29.97 frames per second with
// sound, written through the writer routines as the render loop feeds
// them, at 20 Mbit/s (the "Local File: High-Def (1080)" rate) so that the
// file holds the bytes of a 1080p render of that length. The pictures are
// 320x180 noise, which the encoder cannot make smaller than the rate
// allows, so the 30 minutes take minutes to write rather than a 1080p
// render's tens of minutes; what the finish does depends on the bytes and
// the number of frames, not on the picture size.
//
// Counters: put_s (the frames and sound handed over), finish_s (from the
// last frame to the finished output file), finish_share (finish_s over
// put_s, stricter than over a 1080p render's time), file_mb, and
// copy_merge_s: the same file's pictures and sound copied into a new one
// as the writer's merge used to, for comparison. QV_FINISH_MINUTES sets the
// length (30).
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/ffmpeg/writer_facade.h"
#include "platform/ffmpeg/writer_remux.h"
#include "platform/system/system_info.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 320, kHeight = 180, kPlanes = 16;
constexpr double kFrameRate = 29.97003;
constexpr uint32_t kVideoKbit = 20480, kAudioKbit = 192;

// Handed over in turn and never changed, so any number of them may be in
// the writer's hands at once.
std::vector<SharedPlanes> NoisePlanes() {
  std::vector<SharedPlanes> planes;
  std::mt19937 random(5);
  for (int i = 0; i < kPlanes; ++i) {
    auto bytes = std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(kWidth) * kHeight * 3 / 2);
    for (uint8_t& b : *bytes) b = static_cast<uint8_t>(16 + random() % 220);
    planes.emplace_back(bytes, bytes->data());
  }
  return planes;
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void BM_FinishLongOutput(benchmark::State& state) {
  const char* minutesText = std::getenv("QV_FINISH_MINUTES");
  const double minutes = minutesText ? std::atof(minutesText) : 30.0;
  const auto frames = static_cast<uint32_t>(minutes * 60 * kFrameRate);
  const auto planes = NoisePlanes();
  BenchDir dir("qv-finish-bench");
  const std::string out = dir.path + "/long.mp4";
  MacVerAtLeast108 = 1;
  const tagBITMAPINFOHEADER format = BenchFrameFormat(kWidth, kHeight);
  const AudioFormat sound = AudioFormatFor(3, 44100);
  std::vector<uint8_t> frame(static_cast<size_t>(kWidth) * kHeight * 4);
  std::vector<uint8_t> pcm(static_cast<size_t>(44100 / kFrameRate + 1) * 4, 0);
  double put = 0, finish = 0, copy = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (MediaMacAvCreate(std::filesystem::path(out).wstring().c_str(), &format, &sound, kVideoKbit, kAudioKbit,
                         frame.data(), pcm.data(), static_cast<uint32_t>(pcm.size()), kFrameRate, kFrameRate) != 0) {
      state.SkipWithError("the writer did not open");
      return;
    }
    for (uint32_t n = 0; n < frames; ++n) {
      MediaMacAvPutPrepare();
      MediaMacAvPutAudio(n, static_cast<uint32_t>(pcm.size()));
      MediaMacAvPutPrepare();
      MediaMacAvPutFramePlanes(n, planes[n % kPlanes]);
    }
    put = Seconds(start);
    const auto finishStart = Clock::now();
    const int finished = MediaMacAvFinishWriting();
    finish = Seconds(finishStart);
    MediaMacAvCreateClose();
    if (finished != 0) {
      state.SkipWithError("the finish failed");
      return;
    }
    std::atomic<bool> cancel{false};
    std::string reason;
    const auto copyStart = Clock::now();
    if (RemuxVideoAndAudio(out, out, dir.path + "/copy.mp4", cancel, reason) != RemuxStatus::kCompleted) {
      state.SkipWithError(reason.c_str());
      return;
    }
    copy = Seconds(copyStart);
  }
  struct stat st {};
  stat(out.c_str(), &st);
  state.counters["put_s"] = put;
  state.counters["finish_s"] = finish;
  state.counters["finish_share"] = put > 0 ? finish / put : 0;
  state.counters["copy_merge_s"] = copy;
  state.counters["file_mb"] = st.st_size / 1048576.0;
}

} // namespace

BENCHMARK(BM_FinishLongOutput)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
