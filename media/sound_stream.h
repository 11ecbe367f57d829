#pragma once
// One source's sound read span by span as an unbroken stream at the rate of
// whoever reads it (the render's mix, a join's own format). A span that
// follows the last one continues it: the source is read on from the whole
// sample where the last read ended (no position is worked out again from a
// rounded time), and a rate change keeps its resampler between spans, so
// the joins between spans cannot be heard. Only a span that does not follow
// (a seek, a skip, the source moved or changed) starts the stream anew.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/media/sound_resampler.h"

// The source as the stream reads it: 16-bit interleaved PCM at its own
// rate, played at a rate of its own (seconds of source per second of the
// stream).
struct SoundSource {
  uint32_t rate = 0;
  uint32_t channels = 0; // 1 or 2
  double playRate = 1.0;
};

class SoundStream {
public:
  // Reads count frames of the source from its sample `first` (negative:
  // before its start): the frames delivered, fewer at the end of the sound,
  // with *pcm pointing at them until the next read.
  using Reader = std::function<uint32_t(int64_t first, uint32_t count, const int16_t** pcm)>;

  // The span of count frames at outRate that starts at sample `position` of
  // the reader's own numbering, where the source stands at sourceTime
  // (seconds of the source): into out, with the source's channels. False
  // when the source gave nothing for it (out is silence then).
  bool Read(int64_t position, uint32_t count, uint32_t outRate, const SoundSource& source, double sourceTime,
            const Reader& read, std::vector<int16_t>* out);
  // The next span starts the stream anew.
  void Reset();

private:
  bool Follows(int64_t position, uint32_t outRate, const SoundSource& source, double sourceTime) const;
  void Restart(int64_t position, uint32_t outRate, const SoundSource& source, double sourceTime);
  // Source frames [next_, next_ + count) into samples_, silence where the
  // source has none; true when it gave any.
  bool Pull(uint32_t count, const Reader& read);

  bool started_ = false;
  int64_t position_ = 0;     // the stream sample the next span should start at
  uint32_t outRate_ = 0;
  SoundSource source_;
  double ratio_ = 1.0;       // source samples per stream sample
  bool direct_ = true;       // same rate: samples pass unchanged
  int64_t startPosition_ = 0; // where the stream began, and the source then
  double startSource_ = 0;
  int64_t next_ = 0;          // the source sample read next
  SoundResampler resampler_;
  std::vector<int16_t> samples_; // one pull of source frames
  std::vector<int16_t> ready_;   // resampled, not yet handed out
  size_t readyAt_ = 0;           // samples of ready_ already handed out
  bool readyHeard_ = false;      // ready_ holds sound the source gave
};
