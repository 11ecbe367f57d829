// A saved project rendered as Create Video renders it, against the ffmpeg
// command-line tool transcoding the same source with the same encoder
// settings. The project: a generated 60-second 1080p29.97 video with sound
// and a 10 Hz GPX track, the starter "Car Dashboard" data template applied
// to the track, saved to a file. Each render opens that file in a fresh
// process (this program run again with --render-child) and renders it with
// the "Local File: High-Def (1080)" settings; the ffmpeg tool runs as a
// child too, so getrusage gives both peak resident sizes the same way.
//
// Rounds alternate which side goes first, on all the cores this program
// may use and on the first two of them (x264 threads "auto" on both
// sides). Counters: ratio (ours / ffmpeg in frames per second, median of
// the rounds, with the lowest and highest), ratio_2cores, rss_ratio (peak
// resident size of our render / ffmpeg's), finish_s (what the render spent
// after its last frame) and load (the machine's one-minute load average as
// each render ends, beside machine_cores: a load past the cores means the
// figures measured the machine, not the render). QV_BENCH_ROUNDS sets the
// rounds (3).
#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "bench_support.h"
#include "io/files/project_files.h"
#include "io/files/templates.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"

#include <benchmark/benchmark.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#ifndef QV_STARTER_TEMPLATES
#error "the starter templates' folder is needed"
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSeconds = 60, kWidth = 1920, kHeight = 1080;
constexpr float kRate = 29.97003f;
constexpr uint32_t kVideoKbit = 20480, kAudioKbit = 192, kQuality = 3;
constexpr const char* kChildFlag = "--render-child";

const std::string& Folder() {
  static const BenchDir dir("qv-project-bench");
  return dir.path;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

const std::string& Source() {
  static const std::string path = [] {
    const std::string p = Folder() + "/onboard.mp4";
    return Run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=30000/1001 -f lavfi "
               "-i sine=frequency=440:sample_rate=44100 -t " + std::to_string(kSeconds) +
               " -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac '" + p + "'")
               ? p
               : std::string();
  }();
  return path;
}

// A peanut-shaped loop of about 200 m driven in 8-second laps, ten points
// a second, with a little climb and fall.
std::string WriteTrack() {
  const std::string path = Folder() + "/drive.gpx";
  std::ofstream out(path);
  out << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"bench\"><trk><trkseg>\n";
  for (int i = 0; i <= kSeconds * 10; ++i) {
    const double t = i / 10.0, a = 2 * M_PI * t / 8.0;
    const double r = 30 * (1 + 0.35 * std::cos(2 * a));
    char line[200];
    std::snprintf(line, sizeof line,
                  "<trkpt lat=\"%.9f\" lon=\"%.9f\"><ele>%.1f</ele>"
                  "<time>2026-05-02T10:%02d:%06.3fZ</time></trkpt>\n",
                  51.5 + r * std::cos(a) / 111320, -0.9 + r * std::sin(a) / 69296, 80 + 5 * std::sin(a),
                  static_cast<int>(t / 60), std::fmod(t, 60.0));
    out << line;
  }
  out << "</trkseg></trk></gpx>\n";
  return path;
}

// Why the project could not be made, for the benchmark's error.
std::string projectFailure;

// The project file, made once in this process's own engine.
const std::string& Project() {
  static const std::string path = []() -> std::string {
    if (Source().empty()) {
      projectFailure = "no source video (is the ffmpeg tool installed?)";
      return {};
    }
    AppInitIdentity();
    if (AppInit(0) != 1) {
      projectFailure = "the engine did not start (is the program running?)";
      return {};
    }
    std::string saved;
    const uint32_t video = InputAdd(WideToUtf16(Utf8ToWide(Source())).c_str());
    const uint32_t track = InputAdd(WideToUtf16(Utf8ToWide(WriteTrack())).c_str());
    if (video != 255 && track != 255) {
      const uint32_t picture = DispObjAdd(kDispVideo, video);
      DispStruct r = *DispObjGet(picture);
      r.X = 0, r.Y = 0, r.Width = 100, r.Height = 100;
      DispObjSet(picture, &r);
      const std::wstring dashboard = Utf8ToWide(QV_STARTER_TEMPLATES "/Data - _1 Car Dashboard.qvt");
      const std::string p = Folder() + "/drive.qvp";
      if (TemplateImportLoad(dashboard.c_str(), track, 0) == 0 && TemplateImportApply() == 0 &&
          ProjectSave(Utf8ToWide(p).c_str()) == 0)
        saved = p;
      TemplateImportClear();
    }
    AppEnd();
    if (saved.empty()) projectFailure = "the project could not be made from the starter template";
    return saved;
  }();
  return path;
}

// The child: opens the project and renders it as the Create button does;
// writes the render's seconds and its finish's seconds to the report file.
int RenderChild(const char* project, const char* output, const char* report) {
  AppInitIdentity();
  if (AppInit(0) != 1 || ProjectOpen(Utf8ToWide(project).c_str()) != 0) return 2;
  const auto start = Clock::now();
  if (OutputHandlerCreate(Utf8ToWide(output).c_str(), 8, kWidth, kHeight, 3, 44100, kVideoKbit, kAudioKbit,
                          kQuality, kRate, 0, 0, kRenderToProjectEnd) != 0)
    return 3;
  // The progress window looks every 50 ms; the finish starts once the
  // position reached the end.
  Clock::time_point lastFrame = Clock::now();
  while (OutputHandlerIsBusy()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (OutputHandlerGetTime() < ProjectGetLength(0) - 0.001f) lastFrame = Clock::now();
  }
  const auto end = Clock::now();
  const int result = OutputHandlerGetResult();
  RenderEnd();
  AppEnd();
  std::ofstream(report) << std::chrono::duration<double>(end - start).count() << ' '
                        << std::chrono::duration<double>(end - lastFrame).count() << '\n';
  return result == 0 ? 0 : 4;
}

struct ChildRun {
  bool ok = false;
  double seconds = 0;       // wall time of the work
  double finishSeconds = 0; // ours only
  double rssMb = 0;
};

// The first two CPUs this program may use, or all of them.
cpu_set_t CpuChoice(bool twoCores) {
  cpu_set_t set;
  sched_getaffinity(0, sizeof set, &set);
  if (!twoCores) return set;
  cpu_set_t two;
  CPU_ZERO(&two);
  for (int cpu = 0, n = 0; cpu < CPU_SETSIZE && n < 2; ++cpu)
    if (CPU_ISSET(cpu, &set)) CPU_SET(cpu, &two), ++n;
  return two;
}

ChildRun RunChild(const std::vector<std::string>& args, bool twoCores) {
  ChildRun run;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const cpu_set_t cpus = CpuChoice(twoCores);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    sched_setaffinity(0, sizeof cpus, &cpus);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return run;
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.rssMb = usage.ru_maxrss / 1024.0;
  return run;
}

ChildRun Ours(bool twoCores) {
  const std::string report = Folder() + "/report.txt";
  ChildRun run = RunChild({"/proc/self/exe", kChildFlag, Project(), Folder() + "/ours.mp4", report}, twoCores);
  std::ifstream in(report);
  if (!(in >> run.seconds >> run.finishSeconds)) run.ok = false;
  return run;
}

ChildRun Ffmpeg(bool twoCores) {
  return RunChild({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", Source(), "-c:v", "libx264", "-preset",
                   "veryfast", "-profile:v", "main", "-level", "4.1", "-b:v", std::to_string(kVideoKbit * 1024),
                   "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", std::to_string(kAudioKbit * 1024), "-ar",
                   "44100", Folder() + "/ffmpeg.mp4"},
                  twoCores);
}

struct Spread {
  double median = 0, low = 0, high = 0;
};

Spread SpreadOf(std::vector<double> v) {
  Spread s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.low = v.front();
  s.high = v.back();
  s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  return s;
}

void Report(benchmark::State& state, const char* name, const std::vector<double>& values) {
  const Spread s = SpreadOf(values);
  state.counters[name] = s.median;
  state.counters[std::string(name) + "_min"] = s.low;
  state.counters[std::string(name) + "_max"] = s.high;
}

void BM_ProjectRender(benchmark::State& state) {
  if (Project().empty()) {
    state.SkipWithError(projectFailure.c_str());
    return;
  }
  const char* roundsText = std::getenv("QV_BENCH_ROUNDS");
  const int rounds = std::max(1, roundsText ? std::atoi(roundsText) : 3);
  std::vector<double> ratio, ratio2, rss, finish, fps, rssMb, ffmpegRssMb, load;
  const auto noteLoad = [&] {
    double now = 0;
    if (getloadavg(&now, 1) == 1) load.push_back(now);
  };
  bool failed = false;
  for (auto _ : state) {
    for (int round = 0; round < rounds && !failed; ++round) {
      for (const bool two : {false, true}) {
        ChildRun ours, theirs;
        if (round % 2 == 0) ours = Ours(two), noteLoad(), theirs = Ffmpeg(two);
        else theirs = Ffmpeg(two), ours = Ours(two), noteLoad();
        if (!ours.ok || !theirs.ok) {
          failed = true;
          break;
        }
        (two ? ratio2 : ratio).push_back(theirs.seconds / ours.seconds);
        if (!two) {
          rss.push_back(ours.rssMb / theirs.rssMb);
          rssMb.push_back(ours.rssMb);
          ffmpegRssMb.push_back(theirs.rssMb);
          finish.push_back(ours.finishSeconds);
          fps.push_back(kSeconds * kRate / ours.seconds);
        }
      }
    }
  }
  if (failed) state.SkipWithError("a render failed");
  Report(state, "ratio", ratio);
  Report(state, "ratio_2cores", ratio2);
  Report(state, "rss_ratio", rss);
  Report(state, "load", load);
  state.counters["machine_cores"] = static_cast<double>(sysconf(_SC_NPROCESSORS_ONLN));
  state.counters["fps"] = SpreadOf(fps).median;
  state.counters["rss_mb"] = SpreadOf(rssMb).median;
  state.counters["ffmpeg_rss_mb"] = SpreadOf(ffmpegRssMb).median;
  state.counters["finish_s"] = SpreadOf(finish).median;
}

} // namespace

BENCHMARK(BM_ProjectRender)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], kChildFlag) == 0) return RenderChild(argv[2], argv[3], argv[4]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
