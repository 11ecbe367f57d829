// End-to-end render of a data overlay: a generated 10-second 1080p30 video
// with sound and a circuit log, seven data objects (speedometer,
// tachometer-style gauge, track map, lap timer, lap counter, speed text,
// time graph) plus a text and a shape over it, rendered to MP4 through the
// output handler. Reported in frames per second against the ffmpeg
// command-line tool transcoding the same source with the writer's encoder
// settings (libx264 "veryfast", main profile, level 4.1, the same bit
// rates, native AAC); "ratio" is ours / ffmpeg.
#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "bench_support.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSeconds = 10, kRate = 30, kWidth = 1920, kHeight = 1080;
constexpr uint32_t kVideoKbit = 10000, kAudioKbit = 192;

const std::string& Folder() {
  static const BenchDir dir("qv-e2e-bench");
  static const bool temporaries = setenv("TMPDIR", dir.path.c_str(), 1) == 0;
  (void)temporaries;
  return dir.path;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

const std::string& Source() {
  static const std::string path = [] {
    const std::string p = Folder() + "/onboard.mp4";
    const std::string t = std::to_string(kSeconds);
    return Run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=30 -f lavfi "
               "-i sine=frequency=440:sample_rate=44100 -t " + t +
               " -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac '" + p + "'")
               ? p
               : std::string();
  }();
  return path;
}

// Course point at angle a (radians): a peanut-shaped loop of about 200 m.
void Course(double a, double* x, double* y) {
  const double r = 30 * (1 + 0.35 * std::cos(2 * a));
  *x = r * std::sin(a);
  *y = r * std::cos(a);
}

// The course driven in 4-second laps, 20 samples per second, with a lap column.
std::string WriteLog() {
  const std::string path = Folder() + "/circuit.csv";
  std::ofstream out(path);
  out << "Session,Bench circuit\n\nTime (s),Latitude,Longitude,Speed (km/h),RPM,Lap\n";
  for (int i = 0; i <= kSeconds * 20; ++i) {
    const double t = i / 20.0, a = 2 * M_PI * t / 4.0, da = 2 * M_PI * 0.001 / 4.0;
    double x, y, x2, y2;
    Course(a, &x, &y);
    Course(a + da, &x2, &y2);
    const double speed = 3.6 * std::hypot(x2 - x, y2 - y) / 0.001;
    char line[160];
    std::snprintf(line, sizeof line, "%.3f,%.9f,%.9f,%.2f,%.0f,%d\n", t, 51.5 + y / 111320,
                  -0.9 + x / 69296, speed, 2000 + speed * 30, static_cast<int>(t / 4.0));
    out << line;
  }
  return path;
}

void Place(uint32_t object, float x, float y, float w, float h) {
  DispStruct r = *DispObjGet(object);
  r.X = x, r.Y = y, r.Width = w, r.Height = h, r.OffsetTime = 0;
  DispObjSet(object, &r);
}

uint32_t Add(uint32_t type, uint32_t input, float x, float y, float w, float h) {
  const uint32_t object = DispObjAdd(type, input);
  Place(object, x, y, w, h);
  return object;
}

void AddText(const char* text, float x, float y) {
  const uint32_t object = Add(kDispText, 255, x, y, 20, 8);
  TextStruct t;
  std::memcpy(&t, DispObjGetParam(object), sizeof t);
  std::memset(t.Text, 0, sizeof t.Text);
  for (size_t i = 0; text[i] != 0; ++i) t.Text[i] = static_cast<char16_t>(text[i]);
  t.Color = 0xFFFFFF;
  t.OutlineColor = 0x000000;
  DispObjSetParam(object, &t);
}

void SetField(char16_t* field, const char* name) {
  std::memset(field, 0, kNameLength * sizeof(char16_t));
  for (size_t i = 0; name[i] != 0 && i + 1 < kNameLength; ++i) field[i] = static_cast<char16_t>(name[i]);
}

// The speed channel by name for the two objects that show a named channel.
void SetDataFields(uint32_t speedText, uint32_t graph) {
  TextStruct t;
  std::memcpy(&t, DispObjGetParam(speedText), sizeof t);
  SetField(t.Field, "Speed (km/h)");
  std::memset(t.Text, 0, sizeof t.Text);
  SetField(t.Text, " km/h");
  t.DataMode = 2;
  t.OutlineColor = 0x000000;
  DispObjSetParam(speedText, &t);
  TimeGraphParam g;
  std::memcpy(&g, DispObjGetParam(graph), sizeof g);
  SetField(g.Field, "Speed (km/h)");
  SetField(g.Label, "Speed");
  DispObjSetParam(graph, &g);
}

bool BuildProject() {
  const uint32_t video = InputAdd(WideToUtf16(Utf8ToWide(Source())).c_str());
  const uint32_t log = InputAdd(WideToUtf16(Utf8ToWide(WriteLog())).c_str());
  if (video == 255 || log == 255) return false;
  Add(kDispVideo, video, 0, 0, 100, 100);
  Add(kDispSpeedo, log, 1, 56, 21, 40);
  Add(kDispTacho, log, 78, 56, 21, 40);
  Add(kDispTrackMap, log, 78, 2, 21, 38);
  Add(kDispLapTimer, log, 1, 10, 25, 8);
  Add(kDispLapCount, log, 1, 2, 25, 8);
  const uint32_t speedText = Add(kDispTextData, log, 1, 40, 18, 8);
  const uint32_t graph = Add(kDispTimeGraph, log, 36, 62, 28, 24);
  SetDataFields(speedText, graph);
  AddText("Practice 1", 40, 90);
  const uint32_t shape = Add(kDispShape, 255, 30, 2, 40, 8);
  ShapeStruct s;
  std::memcpy(&s, DispObjGetParam(shape), sizeof s);
  s.Shape = 5;
  s.FillColor = 0x202020;
  DispObjSetParam(shape, &s);
  return true;
}

// Our render of the project in frames per second; 0 on failure.
double RenderProject() {
  const std::wstring out = Utf8ToWide(Folder() + "/ours.mp4");
  const auto start = Clock::now();
  if (OutputHandlerCreate(out.c_str(), 8, kWidth, kHeight, 3, 44100, kVideoKbit, kAudioKbit, 0, kRate,
                          0, 0, kSeconds) != 0)
    return 0;
  while (OutputHandlerIsBusy()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const bool ok = OutputHandlerGetResult() == 0;
  RenderEnd();
  return ok ? kSeconds * kRate / seconds : 0;
}

double FfmpegTranscode() {
  const std::string command =
      "ffmpeg -nostdin -v error -y -i '" + Source() +
      "' -c:v libx264 -preset veryfast -profile:v main -level 4.1 -b:v " +
      std::to_string(kVideoKbit * 1024) + " -pix_fmt yuv420p -c:a aac -b:a " +
      std::to_string(kAudioKbit * 1024) + " -ar 44100 '" + Folder() + "/ffmpeg.mp4'";
  const auto start = Clock::now();
  if (!Run(command)) return 0;
  return kSeconds * kRate / std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_DataOverlay1080p(benchmark::State& state) {
  if (Source().empty()) {
    state.SkipWithError("no source video (is the ffmpeg tool installed?)");
    return;
  }
  AppInitIdentity();
  if (AppInit(0) != 1 || !BuildProject()) {
    AppEnd();
    state.SkipWithError("engine start or project failed");
    return;
  }
  double ours = 0, limit = 0;
  for (auto _ : state) {
    ours = RenderProject();
    limit = FfmpegTranscode();
  }
  AppEnd();
  state.counters["fps"] = ours;
  state.counters["ffmpeg_fps"] = limit;
  state.counters["ratio"] = limit > 0 ? ours / limit : 0;
  if (ours == 0) state.SkipWithError("the output render failed");
}

} // namespace

BENCHMARK(BM_DataOverlay1080p)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
