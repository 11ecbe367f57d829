// Drawing speed of the data display objects at 1080p: each type alone in
// microseconds per frame over a synthetic 20 Hz circuit log of ten
// minutes, and the whole overlay of a dozen objects.
#include "base/access_lock.h"
#include "base/sync.h"
#include "base/text.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/model.h"
#include "media/input_handler.h"
#include "render/compositor/compositor.h"
#include "render/loop/frame_render.h"
#include "render/objects/object_render.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kW = 1920, kH = 1080;
constexpr double kLogSeconds = 600, kRate = 20, kLapSeconds = 60;

std::string writeLog() {
  const char* dir = std::getenv("TMPDIR");
  const std::string path = std::string(dir ? dir : "/tmp") + "/qv_bench_circuit.csv";
  std::ofstream out(path);
  out << "Time (s),Latitude,Longitude,Speed (km/h),RPM,Gear,Lap\n";
  for (int i = 0; i <= kLogSeconds * kRate; ++i) {
    const double t = i / kRate, a = 2 * M_PI * t / kLapSeconds;
    const double r = 300 * (1 + 0.3 * std::cos(3 * a));
    const double speed = 120 + 60 * std::cos(3 * a);
    char line[160];
    std::snprintf(line, sizeof line, "%.3f,%.9f,%.9f,%.2f,%.0f,%d,%d\n", t, 52 + r * std::cos(a) / 111320,
                  -1 + r * std::sin(a) / 68500, speed, 2000 + speed * 40, 1 + static_cast<int>(speed / 40),
                  static_cast<int>(t / kLapSeconds));
    out << line;
  }
  return path;
}

void setField(char16_t* field, const char16_t* name) {
  std::memset(field, 0, 64 * sizeof(char16_t));
  for (int i = 0; name[i] && i < 63; ++i) field[i] = name[i];
}

struct Engine {
  uint32_t input = 255;
  std::vector<uint32_t> frame = std::vector<uint32_t>(static_cast<size_t>(kW) * kH, 0xFF202020u);
  Engine() {
    SyncInit();
    AccessInit();
    ModelInit();
    MediaHandlerInit();
    RenderWorkersInit();
    const std::u16string path = WideToUtf16(Utf8ToWide(writeLog()));
    input = InputAdd(path.c_str());
  }
  // An object of the type over the whole overlay's usual box.
  uint32_t add(uint32_t type, float x, float y, float w, float h) {
    WriteAccess access("Bench");
    const uint32_t o = DispObjAdd(type, input);
    DispStruct r = *DispObjGet(o);
    r.X = x, r.Y = y, r.Width = w, r.Height = h, r.OffsetTime = 0;
    DispObjSet(o, &r);
    return o;
  }
  template <typename T, typename F> void param(uint32_t o, F change) {
    WriteAccess access("Bench");
    T p;
    std::memcpy(&p, DispObjGetParam(o), sizeof p);
    change(p);
    DispObjSetParam(o, &p);
  }
};

Engine& engine() {
  static Engine e;
  return e;
}

// One object drawn into a 1080p frame, a new time each frame.
void drawAlone(benchmark::State& state, uint32_t object) {
  Engine& e = engine();
  FrameTarget target{e.frame.data(), kW, kH, true};
  FrameRenderOptions options;
  double t = 30;
  for (auto _ : state) {
    ReadAccess access("Bench");
    const DispStruct* obj = DispObjGet(object);
    const ObjectContext ctx = ObjectContextFor(object, obj, static_cast<float>(t), target, options);
    benchmark::DoNotOptimize(DispObjRenderLayer(ctx));
    t += 1.0 / 60;
    if (t > kLogSeconds - 10) t = 30;
  }
}

uint32_t named(uint32_t type, float x, float y, float w, float h) {
  Engine& e = engine();
  const uint32_t o = e.add(type, x, y, w, h);
  if (type == kDispBar) e.param<BarParam>(o, [](BarParam& p) { setField(p.Field, u"RPM"); });
  if (type == kDispTimeGraph) e.param<TimeGraphParam>(o, [](TimeGraphParam& p) { setField(p.Field, u"Speed (km/h)"); });
  if (type == kDispTextData) e.param<TextStruct>(o, [](TextStruct& p) { setField(p.Field, u"Speed (km/h)"); });
  if (type == kDispGauge) e.param<GaugeParam>(o, [](GaugeParam& p) { setField(p.Field, u"RPM"); });
  return o;
}

void BM_Object(benchmark::State& state) {
  static const uint32_t kTypes[] = {kDispGauge, kDispSpeedo, kDispTacho, kDispBar, kDispTextData, kDispTimeGraph,
                                    kDispTrackMap, kDispGForce, kDispGear, kDispLapCount, kDispLapTimer};
  static std::vector<uint32_t> objects;
  if (objects.empty())
    for (uint32_t type : kTypes) objects.push_back(named(type, 5, 5, 25, 44.4f));
  const uint32_t object = objects[static_cast<size_t>(state.range(0))];
  {
    ReadAccess access("Bench");
    state.SetLabel(std::to_string(DispObjGet(object)->Type) + " " +
                   WideToUtf8(Utf16ToWide(std::u16string(DispObjGet(object)->Name))));
  }
  drawAlone(state, object);
}
BENCHMARK(BM_Object)->DenseRange(0, 10)->Unit(benchmark::kMicrosecond);

// The dozen objects of a full overlay drawn one after another, as the
// render loop draws them for each frame.
void BM_Overlay(benchmark::State& state) {
  static std::vector<uint32_t> overlay;
  if (overlay.empty()) {
    const struct { uint32_t type; float x, y, w, h; } boxes[] = {
        {kDispSpeedo, 1, 56, 21, 40}, {kDispTacho, 78, 56, 21, 40}, {kDispGauge, 23, 66, 12.5f, 24},
        {kDispBar, 36, 58, 5, 38}, {kDispBar, 43, 86, 24, 10}, {kDispTimeGraph, 43, 60, 24, 24},
        {kDispGForce, 68, 62, 9.5f, 18}, {kDispTrackMap, 78, 2, 21, 38}, {kDispLapCount, 1, 2, 25, 8},
        {kDispLapTimer, 1, 10, 25, 8}, {kDispGear, 45, 2, 10, 15}, {kDispTextData, 28, 3, 15, 8}};
    for (const auto& b : boxes) overlay.push_back(named(b.type, b.x, b.y, b.w, b.h));
  }
  Engine& e = engine();
  FrameTarget target{e.frame.data(), kW, kH, true};
  FrameRenderOptions options;
  double t = 30;
  for (auto _ : state) {
    ReadAccess access("Bench");
    for (uint32_t o : overlay) {
      const ObjectContext ctx = ObjectContextFor(o, DispObjGet(o), static_cast<float>(t), target, options);
      DispObjRenderLayer(ctx);
    }
    t += 1.0 / 60;
    if (t > kLogSeconds - 10) t = 30;
  }
  state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Overlay)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
