#include "platform/media/camera_meta.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "base/error.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/media/ffmpeg_quiet.h"

namespace {

constexpr int kProbePackets = 64;
constexpr size_t kMaxSentence = 120;

AvInputPtr OpenFile(const std::string& path) {
  FfmpegQuietLogs();
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return nullptr;
  AvInputPtr fmt(raw);
  if (avformat_find_stream_info(fmt.get(), nullptr) < 0) return nullptr;
  return fmt;
}

bool IsTextOrData(const AVStream* st) {
  AVMediaType t = st->codecpar->codec_type;
  return t == AVMEDIA_TYPE_SUBTITLE || t == AVMEDIA_TYPE_DATA;
}

// "$" + talker and type (5 upper-case letters or digits), fields, "*hh".
size_t SentenceLength(const uint8_t* p, size_t left) {
  if (left < 10 || p[0] != '$') return 0;
  for (int i = 1; i <= 5; ++i)
    if (!std::isupper(p[i]) && !std::isdigit(p[i])) return 0;
  if (p[6] != ',') return 0;
  size_t n = 7;
  while (n < left && n < kMaxSentence && p[n] != '*' && p[n] >= 0x20 && p[n] < 0x7F) ++n;
  if (n + 3 > left || p[n] != '*' || !std::isxdigit(p[n + 1]) || !std::isxdigit(p[n + 2])) return 0;
  return n + 3;
}

// The GPS text stream: the first text or data stream whose first packets
// hold NMEA sentences.
int FindGpsStream(AVFormatContext* fmt) {
  std::vector<int> candidates(fmt->nb_streams, 0);
  bool any = false;
  for (unsigned i = 0; i < fmt->nb_streams; ++i) {
    candidates[i] = IsTextOrData(fmt->streams[i]) ? 1 : 0;
    any |= candidates[i] != 0;
    if (!candidates[i]) fmt->streams[i]->discard = AVDISCARD_ALL;
  }
  if (!any) return -1;
  AVPacket* pkt = av_packet_alloc();
  if (!pkt) return -1;
  int found = -1;
  for (int n = 0; n < kProbePackets && found < 0 && av_read_frame(fmt, pkt) >= 0; ++n) {
    std::string scratch;
    if (candidates[pkt->stream_index] && CollectNmeaSentences(pkt->data, static_cast<size_t>(pkt->size), &scratch) > 0)
      found = pkt->stream_index;
    av_packet_unref(pkt);
  }
  av_packet_free(&pkt);
  return found;
}

} // namespace

int CollectNmeaSentences(const uint8_t* data, size_t size, std::string* out) {
  if (!data) return 0;
  int count = 0;
  for (size_t i = 0; i < size;) {
    size_t n = SentenceLength(data + i, size - i);
    if (n == 0) {
      ++i;
      continue;
    }
    out->append(reinterpret_cast<const char*>(data + i), n);
    out->append("\r\n");
    ++count;
    i += n;
  }
  return count;
}

bool ParseIso6709(const char* text, double* latitude, double* longitude) {
  if (!text || (text[0] != '+' && text[0] != '-')) return false;
  char* end = nullptr;
  double lat = std::strtod(text, &end);
  if (end == text || (*end != '+' && *end != '-')) return false;
  const char* lonText = end;
  double lon = std::strtod(lonText, &end);
  if (end == lonText) return false;
  if (!(lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0)) return false;
  *latitude = lat;
  *longitude = lon;
  return true;
}

bool CameraMetaRead(const std::string& pathUtf8, CameraMeta* meta) {
  *meta = CameraMeta{false, -1, false, 0.0, 0.0};
  AvInputPtr fmt = OpenFile(pathUtf8);
  if (!fmt) return false;
  const AVDictionaryEntry* e = av_dict_get(fmt->metadata, "location", nullptr, 0);
  if (!e) e = av_dict_get(fmt->metadata, "com.apple.quicktime.location.ISO6709", nullptr, 0);
  if (e && ParseIso6709(e->value, &meta->Latitude, &meta->Longitude)) meta->HasLocation = true;
  meta->GpsStream = FindGpsStream(fmt.get());
  meta->HasGpsText = meta->GpsStream >= 0;
  return true;
}

int CameraMetaExtractNmea(const std::string& pathUtf8, std::string* nmea) {
  AvInputPtr fmt = OpenFile(pathUtf8);
  if (!fmt) return kErrOpen;
  int stream = FindGpsStream(fmt.get());
  if (stream < 0) return kErrNoData;
  fmt = OpenFile(pathUtf8); // from the start again, after the probe
  if (!fmt || stream >= static_cast<int>(fmt->nb_streams)) return kErrOpen;
  for (unsigned i = 0; i < fmt->nb_streams; ++i)
    fmt->streams[i]->discard = static_cast<int>(i) == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
  AVPacket* pkt = av_packet_alloc();
  if (!pkt) return kErrNoMemory;
  nmea->clear();
  int count = 0;
  while (av_read_frame(fmt.get(), pkt) >= 0) {
    if (pkt->stream_index == stream) count += CollectNmeaSentences(pkt->data, static_cast<size_t>(pkt->size), nmea);
    av_packet_unref(pkt);
  }
  av_packet_free(&pkt);
  return count > 0 ? kOk : kErrNoData;
}
