// Compositing speed of a 1920 x 1080 frame: a full-frame picture plus ten
// object layers, on all render workers and on one thread.
#include "base/sync.h"
#include "render/compositor/compositor.h"
#include "render/draw/canvas.h"
#include "render/draw/layer.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int kW = 1920, kH = 1080;

struct Scene {
  std::vector<uint32_t> video; // bottom-up, like a decoded frame
  std::vector<Layer> layers;
  std::vector<uint32_t> frame;
  Scene() : video(static_cast<size_t>(kW) * kH), frame(video.size()) {
    std::mt19937 rng(1);
    for (uint32_t& p : video) p = 0xFF000000u | (rng() & 0xFFFFFF);
    for (int i = 0; i < 10; ++i) {
      Layer layer(360, 240);
      Canvas canvas(layer);
      DrawPathRoundedRect(canvas.cr(), 4, 4, 352, 232, 30);
      DrawFillStroke(canvas.cr(), 0x00203040u * (i + 1), 0x00FFFFFF, 6);
      layers.push_back(std::move(layer));
    }
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

void compositeScene(bool workers, int quality) {
  Scene& s = scene();
  RenderFrameInfo video;
  video.Src = s.video.data();
  video.SrcWidth = kW;
  video.SrcHeight = kH;
  video.SrcBottomUp = true;
  video.SrcOpaque = true;
  video.Dst = s.frame.data();
  video.DstWidth = kW;
  video.DstHeight = kH;
  video.DstBottomUp = true;
  video.DstW = kW;
  video.DstH = kH;
  video.Replace = true;
  video.Quality = quality;
  workers ? CompositeFrame(video) : CompositeFrameSingle(video);
  for (size_t i = 0; i < s.layers.size(); ++i) {
    RenderFrameInfo f = video;
    f.Src = s.layers[i].pixels.data();
    f.SrcWidth = s.layers[i].width;
    f.SrcHeight = s.layers[i].height;
    f.SrcBottomUp = false;
    f.SrcOpaque = false;
    f.Replace = false;
    f.DstX = 40 + 180.0 * static_cast<double>(i);
    f.DstY = 60 + 70.0 * static_cast<double>(i);
    f.DstW = 480; // scaled up a third, as objects usually are
    f.DstH = 320;
    f.Opacity = 230;
    workers ? CompositeFrame(f) : CompositeFrameSingle(f);
  }
}

void BM_Frame1080(benchmark::State& state) {
  const bool workers = state.range(0) != 0;
  const int quality = static_cast<int>(state.range(1));
  SyncInit();
  RenderWorkersInit();
  for (auto _ : state) {
    compositeScene(workers, quality);
    benchmark::DoNotOptimize(scene().frame.data());
  }
  state.counters["workers"] = workers ? RenderWorkerCount() : 0;
  state.SetLabel(workers ? "all workers" : "one thread");
  RenderWorkersEnd();
}

} // namespace

BENCHMARK(BM_Frame1080)->Args({1, 0})->Args({0, 0})->Args({1, 5})->Args({0, 5})
    ->Unit(benchmark::kMillisecond)->UseRealTime();
