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
  audioPosition_ = 0;
  decodedEnd_ = kNoSample;
  // Sound that does not decode (random bytes taken for some format) is none.
  if (!ReadAudioChunk()) {
    hasAudio_ = 0;
    ResetAudio();
    audio_.Close();
    return kErrFailed;
  }
  // The first buffer is kept for the first request rather than read again
  // after a seek back: a decoder that starts over from a seek (MP3 and its
  // bit reservoir) loses the first few milliseconds.
  if (!hasVideo_ || mediaLength_ <= 0.0) mediaLength_ = audio_.Duration();
  freshAudioSeekTime_ = 0.0;
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
  decodedEnd_ = kNoSample;
}

void MediaMacAV::SeekAudioLocked(double t) {
  if (!hasAudio_) return;
  if (freshAudioSeekTime_ == t && !audioAtEnd_) return;
  ResetAudio();
  audio_.SeekTo(t);
  freshAudioSeekTime_ = t;
  audioPosition_ = std::llround(t * audioFormat_.nSamplesPerSec);
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
    // A buffer follows the one before it sample for sample, whatever its
    // rounded time says (Matroska keeps whole milliseconds); only a time
    // beyond the slack marks a hole.
    const double rate = audioFormat_.nSamplesPerSec;
    int64_t start = std::llround(f.Time * rate);
    if (decodedEnd_ != kNoSample && std::llabs(start - decodedEnd_) <= std::llround(kHoleSlack * rate))
      start = decodedEnd_;
    chunkBefore_ = audioPosition_;
    loadedAudioSample_ = start;
    loadedAudioTime_ = static_cast<double>(start) / rate;
    decodedEnd_ = audioPosition_ = start + n;
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
  // Bytes and the first sample in double: a rounding through float would
  // move a span that starts minutes in by a sample or more.
  int64_t bytes = std::llround(static_cast<double>(audioFormat_.nAvgBytesPerSec) * length);
  if (bytes <= 0) {
    audioDataLength_ = 0;
    audioData_ = nullptr;
    return ErrorSet(kErrEndOfData, "*NO LOG*");
  }
  const int64_t align = audioFormat_.nBlockAlign;
  bytes = (bytes + align - 1) / align * align;
  const int64_t first = std::llround(t * audioFormat_.nSamplesPerSec);
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
  const bool behind = loadedAudioTime_ >= 0.0 ? loadedAudioSample_ > first
                                              : audioPosition_ != kNoSample && audioPosition_ > first;
  if (!fresh && behind) {
    LogDebug(L"MediaMacAV-GetAudio(%.03f,%.03f): Seek; LoadedAudioTime: %.03f", t, length, loadedAudioTime_);
    SeekAudioLocked(t);
    fresh = true;
  }
  int rc = FillAudio(t, length, first, static_cast<uint32_t>(bytes), fresh);
  return ErrorSet(rc, kName);
}

int MediaMacAV::FillAudio(double t, double length, int64_t first, uint32_t bytes, bool fresh) {
  const uint32_t align = audioFormat_.nBlockAlign;
  const int64_t rate = audioFormat_.nSamplesPerSec;
  uint8_t* block = audioBlock_.data();
  uint32_t filled = 0;
  bool copied = false;
  for (int i = 0;; ++i) {
    // The held buffer serves a span inside or after it, and the first span
    // after a seek or the open, whatever it holds.
    bool reuse = i == 0 && loadedAudioTime_ >= 0.0 && !audioChunk_.empty() && (first >= loadedAudioSample_ || fresh);
    if (!(i == 0 && fresh)) freshAudioSeekTime_ = -1.0;
    // Where the stream stood before this buffer: one that starts after t
    // when nothing past t had been read is a hole in the sound (a damaged
    // packet passed over, or sound that starts late), not a reason to seek.
    const int64_t before = reuse ? chunkBefore_ : audioPosition_;
    if (!reuse) {
      if (audioAtEnd_) break; // already logged when the sound ran out
      if (!ReadAudioChunk()) {
        LogPrintf(L"Failed to get sample in GetAudio(%.03f,%.03f); i = %d; MediaReader.status = %d (End %d)", t, length,
                  i, 1, 0);
        audioAtEnd_ = true;
        break;
      }
    }
    int64_t offset = 0; // in sample frames
    if (!copied) {
      const bool late = loadedAudioSample_ > first, early = first > loadedAudioSample_ + 3 * rate;
      const bool hole = late && before != kNoSample && before <= first;
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
      offset = first - loadedAudioSample_;
      if (offset < 0) {
        if (filled == 0) {
          uint32_t silence = static_cast<uint32_t>(std::min<int64_t>(-offset * align, bytes));
          std::memset(block, 0, silence); // 16-bit sound: silence is zero
          filled = silence;
          if (filled >= bytes) break;
        } else {
          LogPrintf(L"Negative DataOffset(%d) in GetAudio(%.03f,%.03f); i = %d, AudioDataLength = %d, LengthBytes = %d, Copying = %d",
                    static_cast<int>(offset * align), t, length, i, static_cast<int>(filled), static_cast<int>(bytes), 0);
        }
        offset = 0;
      }
    } else {
      filled = FillHole(first, filled, bytes);
      if (filled >= bytes) break;
    }
    int64_t n = std::min<int64_t>(bytes - filled, static_cast<int64_t>(audioChunk_.size()) - offset * align);
    if (n > 0) {
      std::memcpy(block + filled, audioChunk_.data() + offset * align, static_cast<size_t>(n));
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
uint32_t MediaMacAV::FillHole(int64_t first, uint32_t filled, uint32_t bytes) {
  const uint32_t align = audioFormat_.nBlockAlign;
  const int64_t copiedEnd = first + filled / align;
  if (loadedAudioSample_ <= copiedEnd) return filled;
  const int64_t hole = (loadedAudioSample_ - copiedEnd) * align;
  const uint32_t silence = static_cast<uint32_t>(std::min<int64_t>(hole, bytes - filled));
  std::memset(audioBlock_.data() + filled, 0, silence);
  return filled + silence;
}
