#pragma once
// The sound of the project span by span: every sounding input mixed with its
// own and its object's volume, balance and channel mode, in the project's
// audio type and rate, from the sample where it starts to the one where it
// stops. Each source reaches the mix as one unbroken stream for as long as
// the spans follow each other (media/sound_stream.h). A member of a joined
// video or audio sounds through its join's stream, cut to its own stretch:
// shown by an object of its own it sounds as the join does, running on into
// the next member without a seam, and a join and its members all shown
// still sound once.
#include "platform/media/media_formats.h"

#include <cstdint>
#include <map>
#include <vector>

#include "media/sound_stream.h"

struct SoundGains {
  uint32_t volume = 100;  // input volume percent
  uint32_t balance = 100; // 100 centre, below left, above right
  uint32_t channelMode = 0;
  uint32_t objectVolume = 100;  // the display object's volume percent
  uint32_t objectBalance = 100; // 0 left, 100 centre, 200 right
};

// Adds frames of 16-bit PCM (1 or 2 channels, at the mix's rate) into a
// stereo accumulator from its frame `at` on (grown to hold them).
void MixFramesInto(const int16_t* pcm, uint32_t frames, uint32_t channels, const SoundGains& gains,
                   std::vector<int32_t>* stereo, uint32_t at = 0);
// The stereo accumulator converted to the format (8-bit unsigned or 16-bit
// signed, mono or stereo), clipped; into out, resized to the byte count.
void MixToFormat(const std::vector<int32_t>& stereo, const AudioFormat& format,
                 std::vector<uint8_t>* out);

class SoundMixer {
public:
  // The project's sound for `frames` sample frames from sample `position`
  // of this mix, whose sample 0 lies at project time `origin`. Spans mixed
  // one after the other (position following on) join without a seam.
  // Callers hold read access. Returns the bytes written into out.
  uint32_t Mix(double origin, int64_t position, uint32_t frames, const AudioFormat& format,
               std::vector<uint8_t>* out, uint32_t volumePercent = 100);
  // Every input's stream starts anew with the next span.
  void Reset() {
    streams_.clear();
    spans_.clear();
  }

private:
  // One source's sound for the span being mixed, and which of its samples
  // have been mixed in already.
  struct SpanSound {
    uint64_t span = 0;  // the span it was read for (kept between spans for its buffers)
    bool heard = false; // the source gave sound for the span
    uint32_t channels = 0;
    std::vector<int16_t> pcm;
    std::vector<uint8_t> mixed;
  };
  SpanSound* sourceSound(uint32_t source, double time, int64_t position, uint32_t frames, uint32_t outRate);

  std::map<uint32_t, SoundStream> streams_; // by source input
  std::map<uint32_t, SpanSound> spans_;     // by source input
  uint64_t span_ = 0;                       // counts the spans mixed
  std::vector<int32_t> stereo_;
};

// The project's sound for one span on its own, from the time. Callers hold
// read access. Returns the bytes written into out.
uint32_t RenderMixAudio(double time, uint32_t outFrames, const AudioFormat& format,
                        std::vector<uint8_t>* out, uint32_t volumePercent = 100);
