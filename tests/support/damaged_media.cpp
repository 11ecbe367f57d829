#include "support/damaged_media.h"

#include <cmath>
#include <cstdio>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

struct Found {
  int64_t pos = -1;
  int size = 0;
  DamagedPacket packet;
};

Found FindPacket(const std::string& path, bool video, double time) {
  Found best;
  AVFormatContext* fmt = nullptr;
  if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return best;
  const int index = avformat_find_stream_info(fmt, nullptr) >= 0
                        ? av_find_best_stream(fmt, video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)
                        : -1;
  AVPacket* pkt = av_packet_alloc();
  double bestGap = 1e9;
  while (index >= 0 && pkt && av_read_frame(fmt, pkt) >= 0) {
    const AVStream* st = fmt->streams[pkt->stream_index];
    if (pkt->stream_index == index && pkt->pos >= 0 && pkt->pts != AV_NOPTS_VALUE &&
        !(video && (pkt->flags & AV_PKT_FLAG_KEY))) {
      const double t = pkt->pts * av_q2d(st->time_base);
      if (std::fabs(t - time) < bestGap) {
        bestGap = std::fabs(t - time);
        best.pos = pkt->pos;
        best.size = pkt->size;
        best.packet.Time = t;
        best.packet.Duration = pkt->duration * av_q2d(st->time_base);
      }
    }
    av_packet_unref(pkt);
  }
  av_packet_free(&pkt);
  avformat_close_input(&fmt);
  return best;
}

} // namespace

DamagedPacket DamagePacket(const std::string& path, bool video, double time, int keep) {
  const Found found = FindPacket(path, video, time);
  if (found.pos < 0 || found.size <= keep) return {};
  FILE* f = std::fopen(path.c_str(), "r+b");
  if (!f) return {};
  // Bytes that no decoder takes for a packet of its own: a fixed noise.
  std::vector<unsigned char> junk(static_cast<size_t>(found.size - keep));
  uint32_t state = 12345;
  for (unsigned char& b : junk) {
    state = state * 1103515245u + 12345u;
    b = static_cast<unsigned char>(state >> 24);
  }
  const bool ok = std::fseek(f, static_cast<long>(found.pos + keep), SEEK_SET) == 0 &&
                  std::fwrite(junk.data(), 1, junk.size(), f) == junk.size();
  return std::fclose(f) == 0 && ok ? found.packet : DamagedPacket{};
}
