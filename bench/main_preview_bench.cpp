// Main preview playback at 1920x1080 and 60 frames per second with the
// dozen data objects of the data-object benchmark (render_objects_bench),
// alone and over a 1080p video: the share of frame deadlines met. Frame n
// of the playback is due on the display before frame n + 1 is, counted
// from the moment playback is asked for; skipped frames miss theirs.
// BM_MainPreview60 counts a frame displayed when the engine's preview holds
// it; BM_MainPreviewWidget60 when the main window's view widget (offscreen)
// has painted it, the picture's way through the redraw thread, the main
// thread and the painter included.
// Meant to run on two cores: taskset -c 0,1 build/bench/bench/main_preview_bench
#include "app/app.h"
#include "base/access_lock.h"
#include "base/identity.h"
#include "base/text.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/loop/render.h"
#include "render/preview/main_preview.h"

#include "ui/controls/NSImageViewCustom.h"
#include "ui/seams/main_thread_qt.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sched.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kW = 1920, kH = 1080;
constexpr double kRate = 60, kPlaySeconds = 10, kStart = 5;
constexpr uint32_t kQuality = 1; // the preview's default quality

const std::string& folder() {
  static const std::string dir = [] {
    std::string d = MakeTempFolder("qv-preview-bench");
    if (d.empty()) d = TempBase();
    setenv("TMPDIR", d.c_str(), 1);
    return d;
  }();
  return dir;
}

// A 20 Hz circuit log of two minutes with speed, RPM, gear and laps.
std::string writeLog() {
  const std::string path = folder() + "/circuit.csv";
  std::ofstream out(path);
  out << "Time (s),Latitude,Longitude,Speed (km/h),RPM,Gear,Lap\n";
  for (int i = 0; i <= 120 * 20; ++i) {
    const double t = i / 20.0, a = 2 * M_PI * t / 40;
    const double r = 300 * (1 + 0.3 * std::cos(3 * a)), speed = 120 + 60 * std::cos(3 * a);
    char line[160];
    std::snprintf(line, sizeof line, "%.3f,%.9f,%.9f,%.2f,%.0f,%d,%d\n", t, 52 + r * std::cos(a) / 111320,
                  -1 + r * std::sin(a) / 68500, speed, 2000 + speed * 40, 1 + static_cast<int>(speed / 40),
                  static_cast<int>(t / 40));
    out << line;
  }
  return path;
}

std::string writeVideo() {
  const std::string path = folder() + "/onboard.mp4";
  const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=60 -t 20 "
                              "-c:v libx264 -preset veryfast -pix_fmt yuv420p '" + path + "'";
  return std::system(command.c_str()) == 0 ? path : std::string();
}

void setField(char16_t* field, const char16_t* name) {
  std::memset(field, 0, 64 * sizeof(char16_t));
  for (int i = 0; name[i] && i < 63; ++i) field[i] = name[i];
}

template <typename T, typename F> void changeParam(uint32_t o, F change) {
  T p;
  std::memcpy(&p, DispObjGetParam(o), sizeof p);
  change(p);
  DispObjSetParam(o, &p);
}

uint32_t add(uint32_t type, uint32_t input, float x, float y, float w, float h) {
  const uint32_t o = DispObjAdd(type, input);
  DispStruct r = *DispObjGet(o);
  r.X = x, r.Y = y, r.Width = w, r.Height = h, r.OffsetTime = 0;
  DispObjSet(o, &r);
  if (type == kDispBar) changeParam<BarParam>(o, [](BarParam& p) { setField(p.Field, u"RPM"); });
  if (type == kDispTimeGraph)
    changeParam<TimeGraphParam>(o, [](TimeGraphParam& p) { setField(p.Field, u"Speed (km/h)"); });
  if (type == kDispTextData) changeParam<TextStruct>(o, [](TextStruct& p) { setField(p.Field, u"Speed (km/h)"); });
  if (type == kDispGauge) changeParam<GaugeParam>(o, [](GaugeParam& p) { setField(p.Field, u"RPM"); });
  return o;
}

bool buildProject(bool withVideo) {
  std::filesystem::create_directories(folder());
  WriteAccess access("Bench");
  if (withVideo) {
    const std::string video = writeVideo();
    if (video.empty()) return false;
    const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(video)).c_str());
    if (input == 255) return false;
    add(kDispVideo, input, 0, 0, 100, 100);
  }
  const uint32_t log = InputAdd(WideToUtf16(Utf8ToWide(writeLog())).c_str());
  if (log == 255) return false;
  const struct { uint32_t type; float x, y, w, h; } boxes[] = {
      {kDispSpeedo, 1, 56, 21, 40}, {kDispTacho, 78, 56, 21, 40}, {kDispGauge, 23, 66, 12.5f, 24},
      {kDispBar, 36, 58, 5, 38}, {kDispBar, 43, 86, 24, 10}, {kDispTimeGraph, 43, 60, 24, 24},
      {kDispGForce, 68, 62, 9.5f, 18}, {kDispTrackMap, 78, 2, 21, 38}, {kDispLapCount, 1, 2, 25, 8},
      {kDispLapTimer, 1, 10, 25, 8}, {kDispGear, 45, 2, 10, 15}, {kDispTextData, 28, 3, 15, 8}};
  for (const auto& b : boxes) add(b.type, log, b.x, b.y, b.w, b.h);
  return true;
}

// When each frame of the playback reached the display, by frame number.
struct Arrivals {
  std::mutex lock;
  Clock::time_point asked;
  std::vector<double> seconds; // after `asked`; negative: never shown
};

double processCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct PlayResult {
  double share = -1;         // deadlines met
  double cpuMsPerFrame = 0;  // the whole process's processor time per frame drawn
};

// Plays kPlaySeconds from kStart: the share of deadlines met, and what a
// frame costs in processor time (on a busy machine the share tells more
// about the others than about us; the cost does not).
// Marks frame n shown now.
void arrived(Arrivals& arrivals, double n) {
  const auto now = Clock::now();
  std::lock_guard lock(arrivals.lock);
  if (n >= 0 && n < static_cast<double>(arrivals.seconds.size()) && arrivals.seconds[static_cast<size_t>(n)] < 0)
    arrivals.seconds[static_cast<size_t>(n)] = std::chrono::duration<double>(now - arrivals.asked).count();
}

// Through the view widget: the frame last placed in the preview when a
// picture reached the widget is shown once the widget has painted it.
class PaintWatch : public QObject {
public:
  PaintWatch(NSImageViewCustom* view, Arrivals& arrivals, const std::atomic<double>& placed)
      : arrivals_(arrivals), placed_(placed) {
    view->installEventFilter(this);
    QObject::connect(view, &NSImageViewCustom::imageReceived, this, [this] { received_ = placed_.load(); });
  }

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && received_ >= 0) {
      arrived(arrivals_, received_);
      received_ = -1;
    }
    return false;
  }

private:
  Arrivals& arrivals_;
  const std::atomic<double>& placed_;
  double received_ = -1;
};

void playFor(double seconds, bool throughWidget) {
  if (!throughWidget) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
}

PlayResult playAndCount(NSImageViewCustom* view) {
  Arrivals arrivals;
  const size_t frames = static_cast<size_t>(kPlaySeconds * kRate);
  arrivals.seconds.assign(frames, -1.0);
  std::atomic<size_t> drawn{0};
  std::atomic<double> placed{-1};
  RenderSetSinks(
      [&arrivals, &drawn, &placed, view](const uint32_t* frame, uint32_t w, uint32_t h, float t) {
        const double n = std::round((t - kStart) * kRate);
        // Placed before it is handed on: the picture can reach the widget
        // before this call returns, and would then count as the frame before.
        if (view) placed = n;
        MainPreviewShowFrame(frame, w, h);
        ++drawn;
        if (!view) arrived(arrivals, n);
      },
      nullptr);
  std::unique_ptr<PaintWatch> watch;
  if (view) watch = std::make_unique<PaintWatch>(view, arrivals, placed);
  {
    std::lock_guard lock(arrivals.lock);
    arrivals.asked = Clock::now();
  }
  const double cpuStart = processCpuSeconds();
  if (PreviewPlay(kQuality, static_cast<float>(kStart), static_cast<float>(kRate)) < 0) return {};
  playFor(kPlaySeconds + 0.2, view != nullptr);
  PreviewStop();
  MainPreviewWaitIdle(2000);
  const double cpu = processCpuSeconds() - cpuStart;
  RenderSetSinks(nullptr, nullptr);
  std::lock_guard lock(arrivals.lock);
  size_t met = 0;
  for (size_t n = 0; n < frames; ++n)
    if (arrivals.seconds[n] >= 0 && arrivals.seconds[n] <= (n + 1) / kRate) ++met;
  PlayResult result;
  result.share = static_cast<double>(met) / static_cast<double>(frames);
  result.cpuMsPerFrame = drawn > 0 ? 1000 * cpu / static_cast<double>(drawn.load()) : 0;
  return result;
}

void runPreview(benchmark::State& state, NSImageViewCustom* view) {
  const bool withVideo = state.range(0) != 0;
  state.SetLabel(withVideo ? "12 data objects over 1080p60 video" : "12 data objects");
  AppInitIdentity();
  if (AppInit(0) != 1 || !buildProject(withVideo)) {
    AppEnd();
    state.SkipWithError("engine start or project failed");
    return;
  }
  if (MainPreviewInit(view ? view->viewHandle() : nullptr, kW, kH, 0, 0, 3, 44100, static_cast<float>(kRate)) < 0) {
    AppEnd();
    state.SkipWithError("main preview set-up failed");
    return;
  }
  // One still frame first, as the program shows before playing: it fills
  // the layer caches and opens the decoders.
  PreviewPlay(kQuality, static_cast<float>(kStart), 0);
  MainPreviewWaitIdle(5000);
  PlayResult played;
  for (auto _ : state) played = playAndCount(view);
  MainPreviewEnd();
  AppEnd();
  if (played.share < 0) state.SkipWithError("playback did not start");
  state.counters["deadlines_met"] = played.share;
  state.counters["cpu_ms_per_frame"] = played.cpuMsPerFrame;
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (sched_getaffinity(0, sizeof cores, &cores) == 0) state.counters["cores"] = CPU_COUNT(&cores);
  std::filesystem::remove_all(folder());
}

void BM_MainPreview60(benchmark::State& state) { runPreview(state, nullptr); }

void BM_MainPreviewWidget60(benchmark::State& state) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "main_preview_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
  MainThreadInstallQt();
  NSImageViewCustom view;
  view.resize(kW, kH);
  view.show();
  runPreview(state, &view);
  MainThreadUninstallQt();
}

} // namespace

BENCHMARK(BM_MainPreview60)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_MainPreviewWidget60)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
