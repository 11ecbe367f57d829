// The per-frame work of an output render over video besides drawing the
// objects: blending the objects' overlay into the 4:2:0 planes, copying the
// decoded picture, the progress thumbnail and one frame's sound mix, at
// 1080p30 with 44.1 kHz stereo sound.
#include "base/sync.h"
#include "render/compositor/compositor.h"
#include "render/compositor/planar_blend.h"
#include "render/loop/audio_mix.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kW = 1920, kH = 1080;

struct Box {
  int x, y, w, h;
};

// Where a typical data overlay puts its objects (a speedometer, a gauge, a
// track map, two lap panels, a data text, a time graph, a title and a bar).
const Box kBoxes[] = {{19, 605, 403, 432},  {1498, 605, 403, 432}, {1498, 22, 403, 410},
                      {19, 108, 480, 86},   {19, 22, 480, 86},     {19, 432, 346, 86},
                      {691, 670, 538, 259}, {768, 972, 384, 86},   {576, 22, 768, 86}};

struct Scene {
  std::vector<uint32_t> overlay; // bottom row first, premultiplied
  std::vector<uint32_t> drawn;   // what the objects drew, to restore each round
  std::vector<uint8_t> decoded;
  PlanarPicture picture;
  PlanarFrame planes;
  FrameDirty dirty;
  Scene() : overlay(static_cast<size_t>(kW) * kH, 0), decoded(static_cast<size_t>(kW) * kH * 3 / 2) {
    std::mt19937 rng(7);
    for (uint8_t& b : decoded) b = static_cast<uint8_t>(16 + rng() % 220);
    picture.data[0] = decoded.data();
    picture.data[1] = decoded.data() + kW * kH;
    picture.data[2] = decoded.data() + kW * kH * 5 / 4;
    picture.stride[0] = kW;
    picture.stride[1] = picture.stride[2] = kW / 2;
    picture.width = kW;
    picture.height = kH;
    planes.resize(kW, kH);
    PlanarCopy(picture, &planes);
    // Each object a disc with a soft, half-covering rim and clear corners.
    for (const Box& b : kBoxes)
      for (int y = b.y; y < b.y + b.h; ++y)
        for (int x = b.x; x < b.x + b.w; ++x) {
          const double dx = (x - b.x - b.w / 2.0) / (b.w / 2.0), dy = (y - b.y - b.h / 2.0) / (b.h / 2.0);
          const double d = std::hypot(dx, dy);
          if (d > 1) continue;
          const uint32_t a = d > 0.9 ? 128 : 230, c = a * (x & 0xFF) / 255;
          overlay[static_cast<size_t>(kH - 1 - y) * kW + x] = a << 24 | c << 16 | (a / 2) << 8 | (a - c);
        }
    drawn = overlay;
    dirty.reset(kW, kH);
  }
  void markObjects() {
    for (const Box& b : kBoxes) dirty.mark(b.x, b.y, b.x + b.w, b.y + b.h);
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

// Argument: 1 spreads the blend over the render workers (the wall time
// the render loop waits), 0 keeps it on one thread (the processor time).
void BM_BlendOverlay(benchmark::State& state) {
  const bool workers = state.range(0) != 0;
  SyncInit();
  if (workers) RenderWorkersInit();
  Scene& s = scene();
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(s.overlay.data(), s.drawn.data(), s.drawn.size() * 4);
    s.markObjects();
    PlanarCopy(s.picture, &s.planes);
    state.ResumeTiming();
    PlanarBlendOverlay(s.overlay.data(), &s.dirty, &s.planes, YuvMatrix::Bt709);
    benchmark::DoNotOptimize(s.planes.data());
  }
  state.SetLabel(workers ? "all workers" : "one thread");
  if (workers) RenderWorkersEnd();
}

void BM_Copy(benchmark::State& state) {
  Scene& s = scene();
  for (auto _ : state) {
    PlanarCopy(s.picture, &s.planes);
    benchmark::DoNotOptimize(s.planes.data());
  }
}

void BM_Thumbnail(benchmark::State& state) {
  Scene& s = scene();
  std::vector<uint32_t> out;
  int w = 0, h = 0;
  for (auto _ : state) {
    PlanarThumbnail(s.planes, kW / 480, YuvMatrix::Bt709, &out, &w, &h);
    benchmark::DoNotOptimize(out.data());
  }
}

// One frame of 44.1 kHz stereo at 30 frames per second at a changed
// balance: from a source at the output's rate (mixed as it is) and from one
// at 48 kHz (resampled as one stream, frame after frame).
void BM_MixFrame(benchmark::State& state) {
  const uint32_t inRate = static_cast<uint32_t>(state.range(0));
  std::vector<int16_t> source(static_cast<size_t>(inRate) * 2 * 2);
  std::mt19937 rng(3);
  for (int16_t& v : source) v = static_cast<int16_t>(rng() % 20000 - 10000);
  const SoundStream::Reader read = [&](int64_t first, uint32_t count, const int16_t** pcm) -> uint32_t {
    const int64_t frames = static_cast<int64_t>(source.size() / 2);
    const int64_t at = ((first % frames) + frames) % frames;
    *pcm = source.data() + at * 2;
    return static_cast<uint32_t>(std::min<int64_t>(count, frames - at));
  };
  SoundGains g;
  g.balance = 80;
  SoundStream stream;
  std::vector<int16_t> pcm;
  std::vector<int32_t> stereo;
  std::vector<uint8_t> out;
  AudioFormat format{};
  format.nChannels = 2;
  format.wBitsPerSample = 16;
  int64_t position = 0;
  for (auto _ : state) {
    stereo.assign(1470 * 2, 0);
    stream.Read(position, 1470, 44100, SoundSource{inRate, 2, 1.0}, position / 44100.0, read, &pcm);
    position += 1470;
    MixFramesInto(pcm.data(), 1470, 2, g, &stereo);
    MixToFormat(stereo, format, &out);
    benchmark::DoNotOptimize(out.data());
  }
}

} // namespace

BENCHMARK(BM_BlendOverlay)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Copy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Thumbnail)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixFrame)->Arg(44100)->Arg(48000)->Unit(benchmark::kMicrosecond);
