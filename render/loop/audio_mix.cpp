#include "render/loop/audio_mix.h"

#include "model/dispobj_table.h"
#include "model/input_table.h"
#include "model/input_timing.h"
#include "render/loop/input_time.h"
#include "render/loop/media_bridge.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Left and right gains in 1/65536 for a balance of 0..200 (100 centre).
void balanceGains(uint32_t balance, double* left, double* right) {
  const double b = std::min<uint32_t>(balance, 200);
  *left = b > 100 ? (200 - b) / 100 : 1.0;
  *right = b < 100 ? b / 100 : 1.0;
}

// std::lround for the sample range, without the library call it costs at
// every sample: truncate, then step away from zero from a half on (x minus
// its truncation is exact in double).
int32_t roundSample(double x) {
  int64_t i = static_cast<int64_t>(x);
  const double rest = x - static_cast<double>(i);
  if (rest >= 0.5) ++i;
  else if (rest <= -0.5) --i;
  return static_cast<int32_t>(i);
}

// The input whose stream carries the input's sound: the outermost joined
// video or audio that holds it, else the input itself.
uint32_t soundSourceOf(uint32_t input) {
  for (uint32_t depth = 0; depth < kMaxInputs; ++depth) {
    const MainStruct* main = InputTableMain(input);
    const MainStruct* join = main ? InputTableMain(main->ParentJoin) : nullptr;
    if (!join || (join->Type != kInputJoinVideo && join->Type != kInputJoinAudio)) break;
    input = main->ParentJoin;
  }
  return input;
}

// The first sample of the span, counted from `position`, whose middle lies
// at or after the project time (0 to frames).
uint32_t sampleFrom(double time, double origin, int64_t position, uint32_t rate, uint32_t frames) {
  const double q = std::ceil((time - origin) * rate - static_cast<double>(position) - 0.5);
  if (!(q > 0)) return 0;
  return q >= frames ? frames : static_cast<uint32_t>(q);
}

} // namespace

void MixFramesInto(const int16_t* pcm, uint32_t frames, uint32_t channels, const SoundGains& g,
                   std::vector<int32_t>* stereo, uint32_t at) {
  if (!pcm || !stereo || frames == 0 || channels == 0 || channels > 2) return;
  const size_t end = (static_cast<size_t>(at) + frames) * 2;
  if (stereo->size() < end) stereo->resize(end, 0);
  double inL, inR, objL, objR;
  balanceGains(g.balance, &inL, &inR);
  balanceGains(g.objectBalance, &objL, &objR);
  const double volume = g.volume / 100.0 * g.objectVolume / 100.0;
  const double gainL = volume * inL * objL, gainR = volume * inR * objR;
  if (gainL == 0 && gainR == 0) return;
  for (uint32_t i = 0; i < frames; ++i) {
    double l = pcm[static_cast<size_t>(i) * channels];
    double r = pcm[static_cast<size_t>(i) * channels + (channels == 2 ? 1 : 0)];
    switch (g.channelMode) {
    case 1: std::swap(l, r); break;
    case 2: r = l; break;
    case 3: l = r; break;
    case 4: l = r = (l + r) / 2; break;
    default: break;
    }
    (*stereo)[2 * (at + i)] += roundSample(l * gainL);
    (*stereo)[2 * (at + i) + 1] += roundSample(r * gainR);
  }
}

void MixToFormat(const std::vector<int32_t>& stereo, const AudioFormat& format,
                 std::vector<uint8_t>* out) {
  const size_t frames = stereo.size() / 2;
  const uint32_t channels = format.nChannels == 1 ? 1 : 2;
  const bool wide = format.wBitsPerSample == 16;
  out->assign(frames * channels * (wide ? 2 : 1), 0);
  size_t o = 0;
  for (size_t i = 0; i < frames; ++i) {
    int32_t values[2] = {stereo[2 * i], stereo[2 * i + 1]};
    if (channels == 1) values[0] = (values[0] + values[1]) / 2;
    for (uint32_t c = 0; c < channels; ++c) {
      const int32_t v = std::clamp(values[c], -32768, 32767);
      if (wide) {
        const int16_t s = static_cast<int16_t>(v);
        std::memcpy(out->data() + o, &s, 2); // little-endian like the machine
        o += 2;
      } else {
        (*out)[o++] = static_cast<uint8_t>((v >> 8) + 128);
      }
    }
  }
}

SoundMixer::SpanSound* SoundMixer::sourceSound(uint32_t source, double time, int64_t position, uint32_t frames,
                                               uint32_t outRate) {
  SpanSound& span = spans_[source];
  if (span.span == span_) return span.heard ? &span : nullptr;
  span.span = span_;
  span.heard = false;
  const MainStruct* main = InputTableMain(source);
  AudioFormat in{};
  if (!main || !MediaBridgeGetAudioFormat(source, &in)) return nullptr;
  const SoundSource from{in.nSamplesPerSec, in.nChannels, InputPlayRate(*main)};
  const double rate = in.nSamplesPerSec;
  // Whole samples go to the reader as exact times, which it turns back
  // into the same whole samples.
  const SoundStream::Reader read = [source, rate](int64_t first, uint32_t want, const int16_t** pcm) {
    const uint8_t* data = nullptr;
    AudioFormat got{};
    const uint32_t bytes = MediaBridgeGetAudio(source, static_cast<double>(first) / rate, want / rate, &data, &got);
    *pcm = reinterpret_cast<const int16_t*>(data);
    return got.nBlockAlign ? bytes / got.nBlockAlign : 0;
  };
  span.heard = streams_[source].Read(position, frames, outRate, from, InputTimeAt(source, time), read, &span.pcm);
  span.channels = in.nChannels;
  span.mixed.assign(frames, 0);
  return span.heard ? &span : nullptr;
}

uint32_t SoundMixer::Mix(double origin, int64_t position, uint32_t frames, const AudioFormat& format,
                         std::vector<uint8_t>* out, uint32_t volumePercent) {
  if (!out || format.nSamplesPerSec == 0) return 0;
  const uint32_t outRate = format.nSamplesPerSec;
  const double time = origin + static_cast<double>(position) / outRate;
  stereo_.assign(static_cast<size_t>(frames) * 2, 0);
  ++span_;
  const uint32_t count = DispTableCount();
  for (uint32_t i = 0; i < count && i < kMaxDispObjs; ++i) {
    const DispObjEntry* entry = DispTableEntry(i);
    if (!entry || !entry->Used) continue;
    const DispStruct& obj = entry->Current;
    if ((obj.Type != kDispVideo && obj.Type != kDispAudio) || !obj.Active || obj.InputID == kNoInput) continue;
    const uint32_t input = obj.InputID;
    double from = 0, to = 0;
    if (!InputPlaySpan(input, &from, &to)) continue;
    const uint32_t first = sampleFrom(std::max(from, static_cast<double>(obj.OffsetTime)), origin, position, outRate,
                                      frames);
    const uint32_t end = sampleFrom(to, origin, position, outRate, frames);
    const AdjustStruct* adjust = InputTableAdjust(input);
    if (first >= end || !adjust) continue;
    SpanSound* span = sourceSound(soundSourceOf(input), time, position, frames, outRate);
    if (!span) continue;
    SoundGains g;
    g.volume = adjust->Volume * volumePercent / 100;
    g.balance = adjust->Balance;
    g.channelMode = adjust->ChannelMode;
    g.objectVolume = obj.AudioVolume;
    g.objectBalance = obj.AudioBalance;
    // An input shown twice still sounds once: each sample goes in with the
    // first object that shows it.
    for (uint32_t q = first; q < end;) {
      if (span->mixed[q]) {
        ++q;
        continue;
      }
      uint32_t run = q;
      while (run < end && !span->mixed[run]) span->mixed[run++] = 1;
      MixFramesInto(span->pcm.data() + static_cast<size_t>(q) * span->channels, run - q, span->channels, g,
                    &stereo_, q);
      q = run;
    }
  }
  MixToFormat(stereo_, format, out);
  return static_cast<uint32_t>(out->size());
}

uint32_t RenderMixAudio(double time, uint32_t outFrames, const AudioFormat& format,
                        std::vector<uint8_t>* out, uint32_t volumePercent) {
  SoundMixer mixer;
  return mixer.Mix(time, 0, outFrames, format, out, volumePercent);
}
