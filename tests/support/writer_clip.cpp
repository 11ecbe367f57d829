#include "writer_clip.h"

#include <dirent.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "base/log.h"
#include "base/text.h"
#include "media/output_handler.h"
#include "platform/ffmpeg/writer_facade.h"

WriterTestDir::WriterTestDir() {
  if (const char* previous = std::getenv("TMPDIR")) previousTmp_ = previous;
  std::string pattern = (std::filesystem::temp_directory_path() / "qv-writer-test-XXXXXX").string();
  if (char* made = mkdtemp(pattern.data())) path_ = made;
  setenv("TMPDIR", path_.c_str(), 1);
  LogOpen(std::filesystem::path(path_).wstring().c_str());
}

WriterTestDir::~WriterTestDir() {
  LogClose();
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  if (previousTmp_.empty()) unsetenv("TMPDIR");
  else setenv("TMPDIR", previousTmp_.c_str(), 1);
}

std::string WriterTestDir::Log() const {
  std::ifstream in(path_ + "/QV2-log.csv", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> WriterTestDir::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("QV2-log", 0) != 0) names.push_back(name);
  }
  return names;
}

Rgb FrameColour(uint32_t n) {
  return Rgb{static_cast<int>((n * 37) % 200 + 28), static_cast<int>((n * 91) % 200 + 28),
             static_cast<int>((n * 53) % 200 + 28)};
}

namespace {

Rgb TopDownPixel(const ClipSpec& spec, uint32_t n, int x, int y) {
  if (y < spec.height / 4) {
    const int bit = x * 8 / spec.width;
    return ((n >> (7 - bit)) & 1) ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
  }
  if (y < spec.height * 3 / 4) return FrameColour(n);
  return Rgb{0, 0, 255};
}

} // namespace

void DrawFrame(const ClipSpec& spec, uint32_t n, std::vector<uint8_t>& bottomUp) {
  bottomUp.assign(static_cast<size_t>(spec.width) * spec.height * 4, 0);
  for (int y = 0; y < spec.height; ++y) {
    uint8_t* row = bottomUp.data() + static_cast<size_t>(spec.height - 1 - y) * spec.width * 4;
    for (int x = 0; x < spec.width; ++x) {
      const Rgb c = TopDownPixel(spec, n, x, y);
      row[x * 4 + 0] = static_cast<uint8_t>(c.b);
      row[x * 4 + 1] = static_cast<uint8_t>(c.g);
      row[x * 4 + 2] = static_cast<uint8_t>(c.r);
      row[x * 4 + 3] = 255;
    }
  }
}

uint32_t FillChunk(const ClipSpec& spec, uint32_t n, std::vector<uint8_t>& pcm) {
  const auto first = static_cast<int64_t>(std::llround(n * spec.sampleRate / spec.chunkRate));
  const auto next = static_cast<int64_t>(std::llround((n + 1) * spec.sampleRate / spec.chunkRate));
  const int64_t frames = next - first;
  const int bytesPerSample = spec.bits / 8;
  pcm.resize(static_cast<size_t>(frames) * spec.channels * bytesPerSample);
  size_t at = 0;
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(first + i) / spec.sampleRate;
    const double v = (t >= spec.toneStart && t < spec.toneEnd) ? 0.5 * std::sin(2 * M_PI * spec.toneHz * t) : 0.0;
    for (int c = 0; c < spec.channels; ++c) {
      if (spec.bits == 8) {
        pcm[at++] = static_cast<uint8_t>(std::lround(128 + v * 127));
      } else {
        const auto s = static_cast<int16_t>(std::lround(v * 32767));
        pcm[at++] = static_cast<uint8_t>(s & 0xFF);
        pcm[at++] = static_cast<uint8_t>((s >> 8) & 0xFF);
      }
    }
  }
  return static_cast<uint32_t>(pcm.size());
}

namespace {

int Prepare(const ClipSpec& spec) {
  if (spec.viaOutputHandler) OutputHandlerPutPrepare(kOutputHandlerMpeg4);
  else MediaMacAvPutPrepare();
  return 0;
}

// Frame n as packed 4:2:0 planes (Y, Cb, Cr), as the render loop hands them.
void DrawPlanes(const ClipSpec& spec, uint32_t n, std::vector<uint8_t>& yuv) {
  std::vector<uint8_t> bottomUp;
  DrawFrame(spec, n, bottomUp);
  const int w = spec.width, h = spec.height;
  yuv.resize(static_cast<size_t>(w) * h * 3 / 2);
  SwsContext* sws = sws_getContext(w, h, AV_PIX_FMT_BGRA, w, h, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr,
                                   nullptr);
  const uint8_t* in[1] = {bottomUp.data() + static_cast<size_t>(h - 1) * w * 4};
  const int inStride[1] = {-w * 4};
  uint8_t* out[3] = {yuv.data(), yuv.data() + static_cast<size_t>(w) * h,
                     yuv.data() + static_cast<size_t>(w) * h * 5 / 4};
  const int outStride[3] = {w, w / 2, w / 2};
  sws_scale(sws, in, inStride, 0, h, out, outStride);
  sws_freeContext(sws);
}

// A buffer of the 4:2:0 rotation. Its last owner paints it black and
// green before it goes: a picture the writer encoded without holding it
// comes out in those colours, not its own.
std::shared_ptr<std::vector<uint8_t>> RotationBuffer() {
  return std::shared_ptr<std::vector<uint8_t>>(new std::vector<uint8_t>, [](std::vector<uint8_t>* bytes) {
    std::fill(bytes->begin(), bytes->end(), uint8_t{0});
    delete bytes;
  });
}

int PutChunk(const ClipSpec& spec, uint32_t n, std::vector<uint8_t>& soundBuffer) {
  Prepare(spec);
  std::vector<uint8_t> chunk;
  const uint32_t length = FillChunk(spec, n, chunk);
  std::copy(chunk.begin(), chunk.end(), soundBuffer.begin());
  return spec.viaOutputHandler ? OutputHandlerPutAudio(kOutputHandlerMpeg4, n, length)
                               : MediaMacAvPutAudio(n, length);
}

} // namespace

int OpenAndFeed(const ClipSpec& spec, const std::string& path, std::vector<uint8_t>& frameBuffer,
                std::vector<uint8_t>& soundBuffer, int* putErrors, uint32_t stopAfterFrames) {
  tagBITMAPINFOHEADER format{};
  format.biSize = 40;
  format.biWidth = spec.width;
  format.biHeight = spec.height;
  format.biPlanes = 1;
  format.biBitCount = 32;
  AudioFormat sound = AudioFormatFor(3, spec.sampleRate);
  sound.nChannels = spec.channels;
  sound.wBitsPerSample = spec.bits;
  sound.nBlockAlign = static_cast<uint16_t>(spec.channels * spec.bits / 8);
  sound.nAvgBytesPerSec = sound.nBlockAlign * spec.sampleRate;
  frameBuffer.assign(static_cast<size_t>(spec.width) * spec.height * 4, 0);
  const double chunkFrames = spec.chunkRate >= 1 ? spec.sampleRate / spec.chunkRate : spec.sampleRate;
  soundBuffer.assign(static_cast<size_t>(chunkFrames + 2) * sound.nBlockAlign, 0);
  const std::wstring widePath = Utf8ToWide(path);
  const int opened =
      spec.viaOutputHandler
          ? OutputHandlerOpen(widePath.c_str(), kOutputHandlerMpeg4, &format, &sound, spec.videoKbit,
                              spec.audioKbit, frameBuffer.data(), soundBuffer.data(),
                              static_cast<uint32_t>(soundBuffer.size()), spec.frameRate, spec.chunkRate)
          : MediaMacAvCreate(widePath.c_str(), &format, &sound, spec.videoKbit, spec.audioKbit,
                             frameBuffer.data(), soundBuffer.data(), static_cast<uint32_t>(soundBuffer.size()),
                             spec.frameRate, spec.chunkRate);
  if (opened != 0) return opened;
  int errors = 0;
  uint32_t nextChunk = 0;
  std::vector<uint8_t> picture;
  const uint32_t frames = std::min(spec.frames, stopAfterFrames);
  // Drawn beforehand, so that handing them over outruns the encoder.
  std::vector<std::vector<uint8_t>> drawn(spec.planes ? frames : 0);
  for (uint32_t i = 0; i < drawn.size(); ++i) DrawPlanes(spec, i, drawn[i]);
  // The rotation goes when feeding ends, before the output is finished:
  // the writer holds the pictures it has not encoded yet.
  std::vector<std::shared_ptr<std::vector<uint8_t>>> planes(kWriterPlanesHeld + 1);
  for (auto& buffer : planes) buffer = RotationBuffer();
  size_t nextPlanes = 0;
  for (uint32_t i = 0; i < frames; ++i) {
    while (nextChunk < spec.chunks && nextChunk / spec.chunkRate <= i / spec.frameRate + 1e-9)
      errors += PutChunk(spec, nextChunk++, soundBuffer) != 0;
    Prepare(spec);
    if (spec.planes && (spec.bgraEvery == 0 || i % spec.bgraEvery != spec.bgraEvery - 1)) {
      const std::shared_ptr<std::vector<uint8_t>>& buffer = planes[nextPlanes];
      nextPlanes = (nextPlanes + 1) % planes.size();
      *buffer = drawn[i];
      const SharedPlanes handed(buffer, buffer->data());
      errors += (spec.viaOutputHandler ? OutputHandlerPutFramePlanes(kOutputHandlerMpeg4, i, handed)
                                       : MediaMacAvPutFramePlanes(i, handed)) != 0;
      continue;
    }
    DrawFrame(spec, i, picture);
    std::copy(picture.begin(), picture.end(), frameBuffer.begin());
    errors += (spec.viaOutputHandler ? OutputHandlerPutFrame(kOutputHandlerMpeg4, i) : MediaMacAvPutFrame(i)) != 0;
  }
  if (stopAfterFrames == UINT32_MAX)
    while (nextChunk < spec.chunks) errors += PutChunk(spec, nextChunk++, soundBuffer) != 0;
  if (putErrors) *putErrors = errors;
  return 0;
}

int WriteClip(const ClipSpec& spec, const std::string& path) {
  std::vector<uint8_t> frameBuffer, soundBuffer;
  const int opened = OpenAndFeed(spec, path, frameBuffer, soundBuffer);
  if (opened != 0) return opened;
  int finished = 0;
  if (spec.viaOutputHandler) {
    finished = OutputHandlerFinish(kOutputHandlerMpeg4);
    OutputHandlerClose(kOutputHandlerMpeg4);
  } else {
    finished = MediaMacAvFinishWriting();
    MediaMacAvCreateClose();
  }
  return finished;
}

Rgb DecodedPicture::At(int x, int y) const {
  const uint8_t* p = bgra.data() + (static_cast<size_t>(y) * width + x) * 4;
  return Rgb{p[2], p[1], p[0]};
}

namespace {

void KeepPicture(const AVFrame* frame, const AVStream* stream, MediaProbe& probe) {
  DecodedPicture picture;
  picture.width = frame->width;
  picture.height = frame->height;
  picture.time = frame->best_effort_timestamp * av_q2d(stream->time_base);
  picture.bgra.resize(static_cast<size_t>(frame->width) * frame->height * 4);
  SwsContext* sws = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                   frame->width, frame->height, AV_PIX_FMT_BGRA,
                                   SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr,
                                   nullptr, nullptr);
  uint8_t* out[1] = {picture.bgra.data()};
  const int stride[1] = {frame->width * 4};
  sws_scale(sws, frame->data, frame->linesize, 0, frame->height, out, stride);
  sws_freeContext(sws);
  probe.pictures.push_back(std::move(picture));
}

void KeepSound(const AVFrame* frame, MediaProbe& probe) {
  const int channels = frame->ch_layout.nb_channels;
  for (int i = 0; i < frame->nb_samples; ++i) {
    float sum = 0;
    for (int c = 0; c < channels; ++c) {
      if (frame->format == AV_SAMPLE_FMT_FLTP) sum += reinterpret_cast<const float*>(frame->data[c])[i];
      else if (frame->format == AV_SAMPLE_FMT_FLT) sum += reinterpret_cast<const float*>(frame->data[0])[i * channels + c];
    }
    probe.sound.push_back(sum / static_cast<float>(channels));
  }
}

void Drain(AVCodecContext* decoder, AVFrame* frame, const AVStream* stream, MediaProbe& probe) {
  while (avcodec_receive_frame(decoder, frame) == 0) {
    if (decoder->codec_type == AVMEDIA_TYPE_VIDEO) KeepPicture(frame, stream, probe);
    else KeepSound(frame, probe);
    av_frame_unref(frame);
  }
}

AVCodecContext* OpenDecoder(const AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  AVCodecContext* decoder = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(decoder, stream->codecpar);
  decoder->pkt_timebase = stream->time_base;
  if (avcodec_open2(decoder, codec, nullptr) < 0) avcodec_free_context(&decoder);
  return decoder;
}

} // namespace

MediaProbe ProbeMedia(const std::string& path, bool decodePictures) {
  MediaProbe probe;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return probe;
  if (avformat_find_stream_info(format, nullptr) < 0) {
    avformat_close_input(&format);
    return probe;
  }
  probe.opened = true;
  probe.duration = format->duration > 0 ? format->duration / static_cast<double>(AV_TIME_BASE) : 0;
  std::vector<AVCodecContext*> decoders(format->nb_streams, nullptr);
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVStream* stream = format->streams[i];
    const AVCodecParameters* par = stream->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
      ++probe.videoStreams;
      probe.videoCodec = par->codec_id;
      probe.profile = par->profile;
      probe.level = par->level;
      probe.width = par->width;
      probe.height = par->height;
      probe.timeScale = stream->time_base.den;
      if (decodePictures) decoders[i] = OpenDecoder(stream);
    } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
      ++probe.audioStreams;
      probe.audioCodec = par->codec_id;
      probe.sampleRate = par->sample_rate;
      probe.channels = par->ch_layout.nb_channels;
      decoders[i] = OpenDecoder(stream);
    }
  }
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  while (av_read_frame(format, packet) >= 0) {
    AVCodecContext* decoder = decoders[packet->stream_index];
    if (decoder && avcodec_send_packet(decoder, packet) >= 0)
      Drain(decoder, frame, format->streams[packet->stream_index], probe);
    av_packet_unref(packet);
  }
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    if (!decoders[i]) continue;
    avcodec_send_packet(decoders[i], nullptr);
    Drain(decoders[i], frame, format->streams[i], probe);
    avcodec_free_context(&decoders[i]);
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  avformat_close_input(&format);
  return probe;
}

uint32_t ReadFrameNumber(const DecodedPicture& picture) {
  uint32_t n = 0;
  const int y = picture.height / 8;
  for (int bit = 0; bit < 8; ++bit) {
    const int x = (2 * bit + 1) * picture.width / 16;
    const Rgb c = picture.At(x, y);
    n = (n << 1) | ((c.r + c.g + c.b) / 3 > 128 ? 1u : 0u);
  }
  return n;
}

int ReadIndexBlocks(const DecodedPicture& p) {
  constexpr int kBits = 8; // kIndexBits of media_fixtures.h
  int index = 0;
  const int blockW = p.width / kBits;
  for (int bit = 0; bit < kBits; ++bit)
    if (p.At(bit * blockW + blockW / 2, p.height / 4).g > 128) index |= 1 << bit;
  return index;
}

double ToneFrequency(const std::vector<float>& sound, int rate, double from, double to) {
  const size_t first = static_cast<size_t>(from * rate);
  const size_t last = std::min(sound.size(), static_cast<size_t>(to * rate));
  if (last <= first + 1) return 0;
  int crossings = 0;
  for (size_t i = first + 1; i < last; ++i)
    if ((sound[i - 1] < 0) != (sound[i] < 0)) ++crossings;
  return crossings / 2.0 / (static_cast<double>(last - first) / rate);
}

double SoundRms(const std::vector<float>& sound, int rate, double from, double to) {
  const size_t first = static_cast<size_t>(std::max(0.0, from) * rate);
  const size_t last = std::min(sound.size(), static_cast<size_t>(to * rate));
  if (last <= first) return 0;
  double sum = 0;
  for (size_t i = first; i < last; ++i) sum += static_cast<double>(sound[i]) * sound[i];
  return std::sqrt(sum / static_cast<double>(last - first));
}

double SoundOnset(const std::vector<float>& sound, int rate, double from, float level) {
  for (size_t i = static_cast<size_t>(from * rate); i < sound.size(); ++i)
    if (std::fabs(sound[i]) > level) return static_cast<double>(i) / rate;
  return -1;
}
