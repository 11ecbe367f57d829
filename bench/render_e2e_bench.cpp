// End-to-end output render: a generated 30-second 1080p30 video with ten
// display objects over it rendered to MP4, in frames per second, against
// the ffmpeg command-line tool transcoding the same source with the same
// encoder settings (the physical limit). The ratio counter is ours / ffmpeg.
//
// Both sides encode with libx264 "veryfast", Main profile, level 4.1, the
// same average bit rate and x264's own thread count (auto on both), and
// AAC sound at the same rate. What only ours does: the source is decoded to
// 32-bit pixels for drawing and the drawn frame converted back to 4:2:0,
// where ffmpeg hands the decoded 4:2:0 pictures straight to the encoder.
// The program's start-up steps that the render relies on (the colour
// conversion workers among them) are run here as the program runs them.
#include "base/access_lock.h"
#include "base/sync.h"
#include "base/text.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/model.h"
#include "media/input_handler.h"
#include "platform/media/colour_convert.h"
#include "render/compositor/compositor.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSeconds = 30, kRate = 30;
constexpr uint32_t kVideoKbit = 8000, kAudioKbit = 192;

const std::string& folder() {
  static const std::string dir = [] {
    std::string d = MakeTempFolder("qv-render-bench");
    if (d.empty()) d = TempBase();
    setenv("TMPDIR", d.c_str(), 1);
    return d;
  }();
  return dir;
}

const std::string& source() {
  static const std::string path = [] {
    const std::string p = folder() + "/source.mp4";
    const std::string cmd = "ffmpeg -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=30 -f lavfi "
                            "-i sine=frequency=440:sample_rate=44100 -t " +
                            std::to_string(kSeconds) +
                            " -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac '" + p + "'";
    return std::system(cmd.c_str()) == 0 ? p : std::string();
  }();
  return path;
}

void addObject(uint32_t type, float x, float y, float w, float h, uint32_t colour, int n) {
  const uint32_t o = DispObjAdd(type, 255);
  DispStruct r = *DispObjGet(o);
  r.X = x, r.Y = y, r.Width = w, r.Height = h, r.OffsetTime = 0;
  DispObjSet(o, &r);
  if (type == kDispShape) {
    ShapeStruct s;
    std::memcpy(&s, DispObjGetParam(o), sizeof s);
    s.Shape = static_cast<uint8_t>(3 + n % 4);
    s.FillColor = colour;
    DispObjSetParam(o, &s);
  } else {
    TextStruct t;
    std::memcpy(&t, DispObjGetParam(o), sizeof t);
    const std::u16string text = u"Lap " + std::u16string(1, static_cast<char16_t>(u'1' + n));
    std::memset(t.Text, 0, sizeof t.Text);
    std::memcpy(t.Text, text.data(), text.size() * 2);
    t.OutlineColor = 0x000000;
    DispObjSetParam(o, &t);
  }
}

// Our render of the source with ten objects; frames per second, 0 on failure.
double renderProject() {
  SyncInit();
  AccessInit();
  ColorConvInit(); // the program starts its conversion workers at start-up too
  ModelInit();
  MediaHandlerInit();
  RenderWorkersInit();
  double fps = 0;
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(source())).c_str());
  if (input != 255) {
    const uint32_t video = DispObjAdd(kDispVideo, input);
    DispStruct r = *DispObjGet(video);
    r.X = 0, r.Y = 0, r.Width = 100, r.Height = 100;
    DispObjSet(video, &r);
    for (int n = 0; n < 10; ++n)
      addObject(n % 2 ? kDispText : kDispShape, 5.0f + 9 * n, 5.0f + 8 * n, 15, 10,
                0x00204080u * (n + 1), n);
    const std::wstring out = Utf8ToWide(folder() + "/ours.mp4");
    const auto start = Clock::now();
    if (OutputHandlerCreate(out.c_str(), 8, 1920, 1080, 3, 44100, kVideoKbit, kAudioKbit, 3, kRate,
                            0, 0, kSeconds) == 0) {
      while (OutputHandlerIsBusy()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      if (OutputHandlerGetResult() == 0) fps = kSeconds * kRate / seconds;
    }
    RenderEnd();
  }
  RenderWorkersEnd();
  {
    WriteAccess access("bench");
    ModelCloseInputs();
    ModelClear();
  }
  MediaHandlerEnd();
  ModelEnd();
  EndColorConv();
  AccessEnd();
  return fps;
}

double ffmpegTranscode() {
  const std::string cmd = "ffmpeg -v error -y -i '" + source() +
                          "' -c:v libx264 -preset veryfast -profile:v main -level 4.1 -b:v " +
                          std::to_string(kVideoKbit * 1024) + " -pix_fmt yuv420p -c:a aac -b:a " +
                          std::to_string(kAudioKbit * 1024) + " '" + folder() + "/ffmpeg.mp4'";
  const auto start = Clock::now();
  if (std::system(cmd.c_str()) != 0) return 0;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return kSeconds * kRate / seconds;
}

void BM_Render1080p30VersusFfmpeg(benchmark::State& state) {
  if (source().empty()) {
    state.SkipWithError("could not generate the source (is the ffmpeg tool installed?)");
    return;
  }
  double ours = 0, limit = 0;
  for (auto _ : state) {
    ours = renderProject();
    limit = ffmpegTranscode();
  }
  state.counters["fps"] = ours;
  state.counters["ffmpeg_fps"] = limit;
  state.counters["ratio"] = limit > 0 ? ours / limit : 0;
  if (ours == 0) state.SkipWithError("the output render failed");
}

} // namespace

BENCHMARK(BM_Render1080p30VersusFfmpeg)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
