#include "platform/media/sound_resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include "base/error.h"

SoundResampler::~SoundResampler() { Close(); }

void SoundResampler::Close() {
  swr_free(&swr_);
  channels_ = 0;
}

int SoundResampler::Open(uint32_t channels, int inRate, int outRate) {
  Close();
  if (channels < 1 || channels > 2 || inRate <= 0 || outRate <= 0) return kErrBadArg;
  AVChannelLayout layout{};
  av_channel_layout_default(&layout, static_cast<int>(channels));
  const int status = swr_alloc_set_opts2(&swr_, &layout, AV_SAMPLE_FMT_S16, outRate, &layout,
                                         AV_SAMPLE_FMT_S16, inRate, 0, nullptr);
  av_channel_layout_uninit(&layout);
  if (status < 0 || swr_init(swr_) < 0) {
    swr_free(&swr_);
    return kErrFailed;
  }
  channels_ = channels;
  return kOk;
}

int SoundResampler::Push(const int16_t* pcm, uint32_t frames, std::vector<int16_t>* out) {
  if (!swr_ || !out || (frames > 0 && !pcm)) return kErrBadArg;
  if (frames == 0) return kOk;
  const int capacity = swr_get_out_samples(swr_, static_cast<int>(frames));
  if (capacity < 0) return kErrFailed;
  const size_t had = out->size();
  out->resize(had + static_cast<size_t>(capacity) * channels_);
  uint8_t* target[1] = {reinterpret_cast<uint8_t*>(out->data() + had)};
  const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(pcm)};
  const int made = swr_convert(swr_, target, capacity, source, static_cast<int>(frames));
  out->resize(had + static_cast<size_t>(made > 0 ? made : 0) * channels_);
  return made < 0 ? kErrFailed : kOk;
}
