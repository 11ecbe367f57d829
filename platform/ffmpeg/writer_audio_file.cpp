#include "platform/ffmpeg/writer_audio_file.h"

#include <algorithm>
#include <cmath>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include "base/log.h"
#include "platform/ffmpeg/writer_settings.h"

namespace {

// Chunk boundaries drift by a sample or so when a chunk's length is
// rounded; only overlaps above this many milliseconds are worth a line.
constexpr int64_t kOverlapLogMs = 1;
// A gap longer than this in one step is a numbering fault, not a pause.
constexpr int64_t kMaxGapSeconds = 60;

} // namespace

AudioEncodeFile::~AudioEncodeFile() { release(); }

int AudioEncodeFile::encoderSampleRate() const { return encoder_ ? encoder_->sample_rate : 0; }

int AudioEncodeFile::openFile(const std::string& path) { return openContainer(path, "ipod"); }

int AudioEncodeFile::openEncoder(const AudioFormat& pcm, int32_t kbitrate) {
  pcm_ = pcm;
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
  const bool validPcm = (pcm.nChannels == 1 || pcm.nChannels == 2) &&
                        (pcm.wBitsPerSample == 8 || pcm.wBitsPerSample == 16) &&
                        pcm.nSamplesPerSec >= 4000 && pcm.nSamplesPerSec <= 384000;
  if (!codec || !format_ || !validPcm) return -23;
  encoder_ = avcodec_alloc_context3(codec);
  if (!encoder_) return -23;
  encoder_->sample_fmt = AV_SAMPLE_FMT_FLTP;
  encoder_->sample_rate = AacSampleRateFor(static_cast<int>(pcm.nSamplesPerSec), codec->supported_samplerates);
  av_channel_layout_default(&encoder_->ch_layout, pcm.nChannels);
  encoder_->bit_rate = static_cast<int64_t>(kbitrate) * 1024;
  encoder_->time_base = AVRational{1, encoder_->sample_rate};
  if (format_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (encoder_->sample_rate <= 0 || avcodec_open2(encoder_, codec, nullptr) < 0) return -23;
  return addStream();
}

int AudioEncodeFile::openConverter() {
  if (!encoder_) return -1;
  AVChannelLayout inLayout{};
  av_channel_layout_default(&inLayout, pcm_.nChannels);
  const AVSampleFormat inFormat = pcm_.wBitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
  int status = swr_alloc_set_opts2(&converter_, &encoder_->ch_layout, encoder_->sample_fmt,
                                   encoder_->sample_rate, &inLayout, inFormat,
                                   static_cast<int>(pcm_.nSamplesPerSec), 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  if (status < 0) return status;
  if ((status = swr_init(converter_)) < 0) return status;
  queue_ = av_audio_fifo_alloc(encoder_->sample_fmt, encoder_->ch_layout.nb_channels,
                               encoder_->sample_rate);
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (!queue_ || !frame_ || !packet_) return AVERROR(ENOMEM);
  return 0;
}

int AudioEncodeFile::start() { return converter_ ? writeHeader() : -82; }

int AudioEncodeFile::putChunk(const uint8_t* pcm, uint32_t bytes, double t) {
  if (!(t >= 0.0)) return -82;
  return putChunkAt(pcm, bytes, std::llround(t * static_cast<double>(pcm_.nSamplesPerSec)), t);
}

int AudioEncodeFile::putChunkAt(const uint8_t* pcm, uint32_t bytes, int64_t position, double t) {
  if (!started_ || !(t >= 0.0) || position < 0) return -82;
  const uint32_t blockAlign = static_cast<uint32_t>(pcm_.nChannels) * (pcm_.wBitsPerSample / 8);
  int64_t frames = bytes / blockAlign;
  if (frames == 0) return 0;
  if (!pcm) return -82;
  const int64_t rate = pcm_.nSamplesPerSec;
  if (position > placed_) {
    if (position - placed_ > kMaxGapSeconds * rate) {
      LogPrintf(L"Sound chunk at %0.3f s leaves a gap of %lld samples; chunk refused", t,
                static_cast<long long>(position - placed_));
      return -82;
    }
    if (const int result = placeSilence(position - placed_); result < 0) return result;
  } else if (position < placed_) {
    const int64_t overlap = placed_ - position;
    if (overlap * 1000 > kOverlapLogMs * rate)
      LogPrintf(L"Sound chunk at %0.3f s overlaps the sound before by %lld samples; overlap dropped",
                t, static_cast<long long>(overlap));
    const int64_t cut = std::min(overlap, frames);
    pcm += cut * blockAlign;
    frames -= cut;
  }
  if (frames <= 0) return 0;
  if (const int result = convert(pcm, frames); result < 0) return result;
  placed_ += frames;
  return encodeQueued(false);
}

int AudioEncodeFile::placeSilence(int64_t frames) {
  const uint32_t blockAlign = static_cast<uint32_t>(pcm_.nChannels) * (pcm_.wBitsPerSample / 8);
  const int64_t step = std::min<int64_t>(frames, pcm_.nSamplesPerSec);
  const uint8_t silentByte = pcm_.wBitsPerSample == 8 ? 0x80 : 0x00;
  std::vector<uint8_t> silence(static_cast<size_t>(step) * blockAlign, silentByte);
  for (int64_t left = frames; left > 0;) {
    const int64_t now = std::min(left, step);
    if (const int result = convert(silence.data(), now); result < 0) return result;
    placed_ += now;
    left -= now;
    if (const int result = encodeQueued(false); result < 0) return result;
  }
  return 0;
}

// PCM (or null to drain the resampler) into the encoder's queue.
int AudioEncodeFile::convert(const uint8_t* pcm, int64_t frames) {
  const int inCount = static_cast<int>(frames);
  const int outCapacity = swr_get_out_samples(converter_, inCount);
  if (outCapacity < 0) return -82;
  if (outCapacity == 0) return 0;
  uint8_t** planes = nullptr;
  if (av_samples_alloc_array_and_samples(&planes, nullptr, encoder_->ch_layout.nb_channels,
                                         outCapacity, encoder_->sample_fmt, 0) < 0)
    return -82;
  const uint8_t* input[1] = {pcm};
  const int converted = swr_convert(converter_, planes, outCapacity, pcm ? input : nullptr, pcm ? inCount : 0);
  int result = converted < 0 ? -82 : 0;
  if (converted > 0 && av_audio_fifo_write(queue_, reinterpret_cast<void**>(planes), converted) < converted)
    result = -82;
  av_freep(&planes[0]);
  av_freep(&planes);
  return result;
}

int AudioEncodeFile::encodeQueued(bool flushAll) {
  const int frameSize = encoder_->frame_size > 0 ? encoder_->frame_size : 1024;
  while (av_audio_fifo_size(queue_) >= frameSize || (flushAll && av_audio_fifo_size(queue_) > 0)) {
    const int count = std::min(frameSize, av_audio_fifo_size(queue_));
    av_frame_unref(frame_);
    frame_->nb_samples = count;
    frame_->format = encoder_->sample_fmt;
    frame_->sample_rate = encoder_->sample_rate;
    if (av_channel_layout_copy(&frame_->ch_layout, &encoder_->ch_layout) < 0) return -82;
    if (av_frame_get_buffer(frame_, 0) < 0) return -82;
    if (av_audio_fifo_read(queue_, reinterpret_cast<void**>(frame_->data), count) < count) return -82;
    frame_->pts = encodedSamples_;
    encodedSamples_ += count;
    if (const int result = sendAndWrite(frame_); result < 0) return result;
  }
  return 0;
}

int AudioEncodeFile::drain() {
  int result = convert(nullptr, 0);
  if (result == 0) result = encodeQueued(true);
  if (result == 0) result = sendAndWrite(nullptr);
  return result;
}

void AudioEncodeFile::release() {
  swr_free(&converter_);
  if (queue_) av_audio_fifo_free(queue_);
  queue_ = nullptr;
  av_frame_free(&frame_);
  releaseFile();
}
