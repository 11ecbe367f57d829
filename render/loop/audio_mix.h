#pragma once
// The sound of one frame's span: every sounding input mixed with its own
// and its object's volume, balance and channel mode, in the project's
// audio type and rate.
#include "platform/media/media_formats.h"

#include <cstdint>
#include <vector>

struct SoundGains {
  uint32_t volume = 100;  // input volume percent
  uint32_t balance = 100; // 100 centre, below left, above right
  uint32_t channelMode = 0;
  uint32_t objectVolume = 100;  // the display object's volume percent
  uint32_t objectBalance = 100; // 0 left, 100 centre, 200 right
};

// Adds 16-bit PCM (1 or 2 channels at its own rate) into a stereo
// accumulator of outFrames frames at outRate, resampled linearly.
void MixPcmInto(const int16_t* pcm, uint32_t frames, uint32_t channels, uint32_t rate,
                const SoundGains& gains, std::vector<int32_t>* stereo, uint32_t outFrames,
                uint32_t outRate);
// The stereo accumulator converted to the format (8-bit unsigned or 16-bit
// signed, mono or stereo), clipped; into out, resized to the byte count.
void MixToFormat(const std::vector<int32_t>& stereo, const AudioFormat& format,
                 std::vector<uint8_t>* out);
// The project's sound for outFrames sample frames from the time. Callers
// hold read access. Returns the bytes written into out.
uint32_t RenderMixAudio(double time, uint32_t outFrames, const AudioFormat& format,
                        std::vector<uint8_t>* out, uint32_t volumePercent = 100);
