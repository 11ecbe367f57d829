// Sequential 1080p decoding to the engine's 32-bit frames against plain
// FFmpeg decoding of the same file (the ratio is printed as a counter), and
// colour conversion in megapixels per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "base/text.h"
#include "platform/ffmpeg/reader.h"
#include "platform/media/colour_convert.h"
#include "support/temp_folder.h"

namespace {

constexpr int kFrames = 120;
constexpr double kRate = 30.0;

const std::string& Clip() {
  static const std::string path = [] {
    const std::string dir = MakeTempFolder("qv-media-bench");
    if (dir.empty()) std::abort();
    std::string p = dir + "/clip1080.mp4";
    std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1920x1080:rate=30 -frames:v " +
                      std::to_string(kFrames) + " -c:v libx264 -preset veryfast -pix_fmt yuv420p " + p;
    if (std::system(cmd.c_str()) != 0) std::abort();
    return p;
  }();
  return path;
}

// Plain FFmpeg: demux and decode every frame, no conversion.
void PlainDecode(benchmark::State& state) {
  Clip(); // made before the clock runs
  for (auto _ : state) {
    AVFormatContext* fmt = nullptr;
    avformat_open_input(&fmt, Clip().c_str(), nullptr, nullptr);
    avformat_find_stream_info(fmt, nullptr);
    const AVCodec* codec = nullptr;
    int index = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(dec, fmt->streams[index]->codecpar);
    dec->thread_count = 0;
    avcodec_open2(dec, codec, nullptr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int frames = 0;
    while (av_read_frame(fmt, pkt) >= 0) {
      if (pkt->stream_index == index) avcodec_send_packet(dec, pkt);
      av_packet_unref(pkt);
      while (avcodec_receive_frame(dec, frame) == 0) ++frames;
    }
    avcodec_send_packet(dec, nullptr);
    while (avcodec_receive_frame(dec, frame) == 0) ++frames;
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&fmt);
    benchmark::DoNotOptimize(frames);
  }
  state.counters["fps"] = benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate);
}

// The reader: every frame by time into its 32-bit bitmap.
void ReaderDecode(benchmark::State& state) {
  Clip();
  ColorConvInit();
  for (auto _ : state) {
    MediaMacAV reader;
    reader.Open(Utf8ToWide(Clip()));
    for (int i = 0; i < kFrames; ++i) {
      reader.PrepareFrame(i / kRate);
      reader.GetFrame(i / kRate);
      benchmark::DoNotOptimize(reader.BitmapData());
    }
  }
  state.counters["fps"] = benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate);
  EndColorConv();
}

void ColourConvert2vuy(benchmark::State& state) {
  ColorConvInit();
  const uint32_t w = 1920, h = 1080;
  std::vector<uint8_t> src(w * h * 2, 128);
  std::vector<uint8_t> dst(w * h * 4);
  for (auto _ : state) ColorConv(kColor2vuy, src.data(), dst.data(), w, h, 0, 0);
  state.counters["MPixels/s"] =
      benchmark::Counter(w * h / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  EndColorConv();
}

} // namespace

BENCHMARK(PlainDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReaderDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ColourConvert2vuy)->Unit(benchmark::kMillisecond)->UseRealTime();
