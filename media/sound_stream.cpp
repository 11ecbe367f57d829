#include "media/sound_stream.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// A source that stands further than this from where the stream has carried
// it was moved (its offset or trim edited while playing): start anew.
constexpr double kMovedSeconds = 0.002;
// Source frames read beyond what the resampler needs at least, so that its
// filter has what follows and a span is made in one pull.
constexpr uint32_t kPullMargin = 16;
// Handed-out samples are dropped from the front of the queue past this.
constexpr size_t kCompactAt = 1 << 16;

} // namespace

void SoundStream::Reset() {
  started_ = false;
  resampler_.Close();
  ready_.clear();
  readyAt_ = 0;
  readyHeard_ = false;
}

bool SoundStream::Follows(int64_t position, uint32_t outRate, const SoundSource& source, double sourceTime) const {
  if (!started_ || position != position_ || outRate != outRate_ || source.rate != source_.rate ||
      source.channels != source_.channels || source.playRate != source_.playRate)
    return false;
  const double carried = startSource_ + static_cast<double>(position - startPosition_) * ratio_;
  return std::fabs(sourceTime * source.rate - carried) <= kMovedSeconds * source.rate;
}

void SoundStream::Restart(int64_t position, uint32_t outRate, const SoundSource& source, double sourceTime) {
  Reset();
  started_ = true;
  outRate_ = outRate;
  source_ = source;
  const double sourceRate = source.rate * source.playRate;
  ratio_ = sourceRate / outRate;
  direct_ = std::fabs(sourceRate - outRate) < 1e-9 * outRate;
  startPosition_ = position;
  startSource_ = sourceTime * source.rate;
  next_ = direct_ ? std::llround(startSource_) : static_cast<int64_t>(std::floor(startSource_));
  if (direct_) return;
  // Whole-number rates for the resampler: a play rate other than 1 is kept
  // to a hundredth of a hertz, so the stream does not drift from the picture.
  int scale = source.playRate == 1.0 ? 1 : 100;
  while (scale > 1 && (sourceRate * scale > INT_MAX / 2 || static_cast<double>(outRate) * scale > INT_MAX / 2))
    scale /= 10;
  const long long in = std::llround(sourceRate * scale);
  if (in < 1 || in > INT_MAX || resampler_.Open(source.channels, static_cast<int>(in),
                                                static_cast<int>(outRate) * scale) != 0)
    resampler_.Close(); // an impossible rate: the stream stays silent
}

bool SoundStream::Pull(uint32_t count, const Reader& read) {
  const uint32_t channels = source_.channels;
  samples_.assign(static_cast<size_t>(count) * channels, 0);
  int64_t first = next_;
  uint32_t at = 0;
  if (first < 0) { // before the source's start: silence
    at = static_cast<uint32_t>(std::min<int64_t>(-first, count));
    first += at;
  }
  bool heard = false;
  while (at < count) {
    const int16_t* pcm = nullptr;
    uint32_t got = read(first, count - at, &pcm);
    if (got == 0 || !pcm) break; // the end of the sound
    got = std::min(got, count - at);
    std::memcpy(samples_.data() + static_cast<size_t>(at) * channels, pcm, static_cast<size_t>(got) * channels * 2);
    at += got;
    first += got;
    heard = true;
  }
  next_ += count;
  return heard;
}

bool SoundStream::Read(int64_t position, uint32_t count, uint32_t outRate, const SoundSource& source,
                       double sourceTime, const Reader& read, std::vector<int16_t>* out) {
  if (!out) return false;
  const uint32_t channels = source.channels;
  out->assign(static_cast<size_t>(count) * std::clamp<uint32_t>(channels, 1, 2), 0);
  if (count == 0 || channels < 1 || channels > 2 || source.rate == 0 || outRate == 0 ||
      !(source.playRate > 0) || !std::isfinite(sourceTime) || !read)
    return false;
  if (!Follows(position, outRate, source, sourceTime)) Restart(position, outRate, source, sourceTime);
  position_ = position + count;
  if (direct_) {
    const bool heard = Pull(count, read);
    std::copy(samples_.begin(), samples_.end(), out->begin());
    return heard;
  }
  if (!resampler_.IsOpen()) return false;
  const size_t want = static_cast<size_t>(count) * channels;
  bool heard = readyHeard_ && ready_.size() > readyAt_;
  for (int idle = 0; ready_.size() - readyAt_ < want;) {
    const size_t missing = (want - (ready_.size() - readyAt_)) / channels;
    const auto pull = static_cast<uint32_t>(std::ceil(static_cast<double>(missing) * ratio_)) + kPullMargin;
    readyHeard_ = Pull(pull, read);
    heard = heard || readyHeard_;
    const size_t had = ready_.size();
    if (resampler_.Push(samples_.data(), pull, &ready_) != 0) return false;
    // The filter holds back only a few frames: a resampler that gives
    // nothing time after time never will.
    idle = ready_.size() == had ? idle + 1 : 0;
    if (idle > 8) return false;
  }
  std::copy_n(ready_.begin() + static_cast<std::ptrdiff_t>(readyAt_), want, out->begin());
  readyAt_ += want;
  if (readyAt_ >= kCompactAt) {
    ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(readyAt_));
    readyAt_ = 0;
  }
  return heard;
}
