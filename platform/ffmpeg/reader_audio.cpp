// Sound delivery of the first reader: spans of 16-bit interleaved PCM read
// forwards from the sound stream, resampled and mixed down by libswresample
// when the track is not already in the delivered format.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "base/error.h"
#include "base/log.h"
#include "base/util.h"
#include "platform/ffmpeg/reader.h"

namespace {
constexpr std::chrono::milliseconds kOpenTimeout{20000};
constexpr uint32_t kMinRate = 4000;
constexpr uint32_t kMaxRate = 384000;
// Timestamps in whole milliseconds (Matroska) wander by up to one; a gap
// between sound buffers counts as a hole only beyond this.
constexpr double kHoleSlack = 0.004;
} // namespace

int MediaMacAV::SetupAudio(const std::string& path) {
  int rc = audio_.Open(path, AVMEDIA_TYPE_AUDIO, kOpenTimeout, static_cast<int>(track_));
  if (rc != kOk) return rc;
  AVCodecContext* c = audio_.Codec();
  AudioFormat& f = audioFormat_;
  f = {};
  f.wFormatTag = 1;
  f.nChannels = 2;
  f.nSamplesPerSec = 44100;
  f.wBitsPerSample = 16;
  f.cbSize = 18;
  int rate = c->sample_rate;
  int channels = c->ch_layout.nb_channels;
  f.nSamplesPerSec = static_cast<uint32_t>(rate > 0 ? rate : 0);
  if (f.nSamplesPerSec < kMinRate) {
    LogPrintf(L"MediaMacAV: Unsupported audio sample rate (%d Hz). Using default. Audio may be junk", rate);
    f.nSamplesPerSec = kMinRate;
  } else if (f.nSamplesPerSec > kMaxRate) {
    f.nSamplesPerSec = kMaxRate;
  }
  f.nChannels = static_cast<uint16_t>(channels);
  if (channels < 1 || channels > 2) {
    LogPrintf(L"MediaMacAV: Unsupported audio channel count (%d). Using best guess. Audio may be junk", channels);
    f.nChannels = channels < 1 ? 1 : 2;
  }
  f.nBlockAlign = static_cast<uint16_t>(f.wBitsPerSample / 8 * f.nChannels);
  f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
  hasAudio_ = 1;
  // Sound that does not decode (random bytes taken for some format) is none.
  if (!ReadAudioChunk()) {
    hasAudio_ = 0;
    ResetAudio();
    audio_.Close();
    return kErrFailed;
  }
  ResetAudio();
  audio_.SeekTo(0.0);
  if (!hasVideo_ || mediaLength_ <= 0.0) mediaLength_ = audio_.Duration();
  freshAudioSeekTime_ = audioPosition_ = 0.0;
  audioAtEnd_ = false;
  LogDebug(L"MediaMacAV: Audio: %d Hz, %d-bit, %d channels", static_cast<int>(f.nSamplesPerSec),
           static_cast<int>(f.wBitsPerSample), static_cast<int>(f.nChannels));
  return kOk;
}

void MediaMacAV::ResetAudio() {
  swr_free(&swr_);
  swrInRate_ = swrInChannels_ = 0;
  swrInFormat_ = -1;
  audioChunk_.clear();
  loadedAudioTime_ = -1.0;
}

void MediaMacAV::SeekAudioLocked(double t) {
  if (!hasAudio_) return;
  if (freshAudioSeekTime_ == t && !audioAtEnd_) return;
  ResetAudio();
  audio_.SeekTo(t);
  freshAudioSeekTime_ = audioPosition_ = t;
  audioAtEnd_ = false;
}

int MediaMacAV::ConfigureResampler(const AVFrame* frame) {
  int channels = frame->ch_layout.nb_channels;
  if (swr_ && swrInRate_ == frame->sample_rate && swrInFormat_ == frame->format && swrInChannels_ == channels)
    return kOk;
  swr_free(&swr_);
  AVChannelLayout in{}, out{};
  if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) av_channel_layout_default(&in, channels);
  else av_channel_layout_copy(&in, &frame->ch_layout);
  av_channel_layout_default(&out, audioFormat_.nChannels);
  int rc = swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_S16, static_cast<int>(audioFormat_.nSamplesPerSec), &in,
                               static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&in);
  av_channel_layout_uninit(&out);
  if (rc < 0 || swr_init(swr_) < 0) {
    swr_free(&swr_);
    return kErrFailed;
  }
  swrInRate_ = frame->sample_rate;
  swrInFormat_ = frame->format;
  swrInChannels_ = channels;
  return kOk;
}

// Decodes the next sound buffer into audioChunk_; false at the end.
bool MediaMacAV::ReadAudioChunk() {
  audioChunk_.clear();
  loadedAudioTime_ = -1.0;
  for (int tries = 0; tries < 64; ++tries) {
    DecodedFrame f = audio_.Next();
    if (!f) return false;
    const AVFrame* frame = f.Frame.get();
    if (frame->nb_samples <= 0 || frame->sample_rate <= 0 || ConfigureResampler(frame) != kOk) continue;
    int capacity = swr_get_out_samples(swr_, frame->nb_samples);
    if (capacity <= 0) continue;
    audioChunk_.resize(static_cast<size_t>(capacity) * audioFormat_.nBlockAlign);
    uint8_t* out[1] = {audioChunk_.data()};
    int n = swr_convert(swr_, out, capacity, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (n <= 0) continue;
    audioChunk_.resize(static_cast<size_t>(n) * audioFormat_.nBlockAlign);
    loadedAudioTime_ = f.Time;
    audioPosition_ = f.Time + static_cast<double>(n) / audioFormat_.nSamplesPerSec;
    return true;
  }
  return false;
}

int MediaMacAV::GetAudio(double t, double length) {
  constexpr const char* kName = "-[MediaMacAV GetAudio:Length:]";
  std::lock_guard<std::mutex> lock(audioLock_);
  if (!hasAudio_) return ErrorSet(kErrBadArg, kName);
  if (t >= mediaLength_ || length < 0.0) {
    audioDataLength_ = 0;
    audioData_ = nullptr;
    return ErrorSet(kErrEndOfData, "*NO LOG*");
  }
  if (t + length >= mediaLength_) length = mediaLength_ - t;
  int64_t bytes = RoundToIntF(static_cast<float>(audioFormat_.nAvgBytesPerSec * length));
  if (bytes <= 0) {
    audioDataLength_ = 0;
    audioData_ = nullptr;
    return ErrorSet(kErrEndOfData, "*NO LOG*");
  }
  const int64_t align = audioFormat_.nBlockAlign;
  bytes = (bytes + align - 1) / align * align;
  if (lastAudioTime_ == t && audioDataLength_ == bytes && !audioBlock_.empty()) {
    audioData_ = audioBlock_.data();
    return ErrorSet(kOk, kName);
  }
  audioDataLength_ = 0;
  audioData_ = nullptr;
  lastAudioTime_ = -1.0;
  if (static_cast<uint64_t>(bytes) > audioBlock_.size()) {
    try {
      audioBlock_.assign(static_cast<size_t>(bytes), 0);
    } catch (const std::bad_alloc&) {
      audioBlock_.clear();
      LogPrintf(L"MediaMacAV: Unable to allocate %d bytes of memory in GetAudio(%.03f, %.04f)", static_cast<int>(bytes),
                t, length);
      return ErrorSet(kErrNoMemory, kName);
    }
  }
  bool fresh = freshAudioSeekTime_ == t;
  // Sound already read past t, whether a buffer is held or the sound has
  // run out, is read again from a seek.
  const bool behind = loadedAudioTime_ > t + 1e-5 || (loadedAudioTime_ < 0.0 && audioPosition_ > t + 1e-5);
  if (!fresh && behind) {
    LogDebug(L"MediaMacAV-GetAudio(%.03f,%.03f): Seek; LoadedAudioTime: %.03f", t, length, loadedAudioTime_);
    SeekAudioLocked(t);
    fresh = true;
  }
  int rc = FillAudio(t, length, static_cast<uint32_t>(bytes), fresh);
  return ErrorSet(rc, kName);
}

int MediaMacAV::FillAudio(double t, double length, uint32_t bytes, bool fresh) {
  const uint32_t align = audioFormat_.nBlockAlign;
  uint8_t* block = audioBlock_.data();
  uint32_t filled = 0;
  bool copied = false;
  for (int i = 0;; ++i) {
    bool reuse = i == 0 && loadedAudioTime_ >= 0.0 && t >= loadedAudioTime_ && !audioChunk_.empty();
    if (!(i == 0 && fresh)) freshAudioSeekTime_ = -1.0;
    // Where the stream stood before this buffer: one that starts after t
    // when nothing past t had been read is a hole in the sound (a damaged
    // packet passed over), not a reason to seek.
    const double before = reuse ? -1.0 : audioPosition_;
    if (!reuse) {
      if (audioAtEnd_) break; // already logged when the sound ran out
      if (!ReadAudioChunk()) {
        LogPrintf(L"Failed to get sample in GetAudio(%.03f,%.03f); i = %d; MediaReader.status = %d (End %d)", t, length,
                  i, 1, 0);
        audioAtEnd_ = true;
        break;
      }
    }
    int64_t offset = 0;
    if (!copied) {
      const bool late = loadedAudioTime_ > t + 1e-5, early = t > loadedAudioTime_ + 3.0;
      const bool hole = late && before >= 0.0 && before <= t + 1e-5;
      if (((late && !hole) || early) && !fresh) {
        LogDebug(L"MediaMacAV-GetAudio(%.03f,%.03f): Seek; LoadedAudioTime: %.03f", t, length, loadedAudioTime_);
        SeekAudioLocked(t);
        fresh = true;
        filled = 0;
        i = -1;
        continue;
      }
      if (late && !hole && filled == 0)
        LogPrintf(L"Unable to get exact start time for GetAudio(%.03f,%.03f); i = %d", t, length, i);
      offset = RoundToIntF(static_cast<float>((t - loadedAudioTime_) * audioFormat_.nAvgBytesPerSec));
      offset -= offset % align;
      if (offset < 0) {
        if (filled == 0) {
          uint32_t silence = static_cast<uint32_t>(std::min<int64_t>(-offset, bytes));
          std::memset(block, 0, silence); // 16-bit sound: silence is zero
          filled = silence;
          if (filled >= bytes) break;
        } else {
          LogPrintf(L"Negative DataOffset(%d) in GetAudio(%.03f,%.03f); i = %d, AudioDataLength = %d, LengthBytes = %d, Copying = %d",
                    static_cast<int>(offset), t, length, i, static_cast<int>(filled), static_cast<int>(bytes), 0);
        }
        offset = 0;
      }
    } else {
      filled = FillHole(t, filled, bytes);
      if (filled >= bytes) break;
    }
    int64_t n = std::min<int64_t>(bytes - filled, static_cast<int64_t>(audioChunk_.size()) - offset);
    if (n > 0) {
      std::memcpy(block + filled, audioChunk_.data() + offset, static_cast<size_t>(n));
      filled += static_cast<uint32_t>(n);
      copied = true;
    }
    if (filled >= bytes) break;
  }
  lastAudioTime_ = t;
  audioData_ = block;
  audioDataLength_ = filled;
  return kOk;
}

// A buffer that starts later than the sound copied so far ends: the span of
// the packets lost in between is silence, so the sound after it stays in
// time. Returns the new fill.
uint32_t MediaMacAV::FillHole(double t, uint32_t filled, uint32_t bytes) {
  const uint32_t align = audioFormat_.nBlockAlign;
  const double copiedEnd = t + static_cast<double>(filled) / audioFormat_.nAvgBytesPerSec;
  if (loadedAudioTime_ - copiedEnd < kHoleSlack) return filled;
  int64_t hole = RoundToIntF(static_cast<float>((loadedAudioTime_ - copiedEnd) * audioFormat_.nAvgBytesPerSec));
  hole -= hole % align;
  const uint32_t silence = static_cast<uint32_t>(std::min<int64_t>(hole, bytes - filled));
  std::memset(audioBlock_.data() + filled, 0, silence);
  return filled + silence;
}
