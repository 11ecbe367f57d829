#pragma once
// 16-bit interleaved sound from one rate to another as one stream
// (libswresample): the filter's state and phase carry over from one push to
// the next, so sound pushed in pieces comes out as if pushed whole.
#include <cstdint>
#include <vector>

struct SwrContext;

class SoundResampler {
public:
  SoundResampler() = default;
  ~SoundResampler();
  SoundResampler(const SoundResampler&) = delete;
  SoundResampler& operator=(const SoundResampler&) = delete;

  // 1 or 2 channels, kept as they are; any positive rates (a ratio that is
  // not a whole-number one is given by scaling both). 0 or a negative code.
  int Open(uint32_t channels, int inRate, int outRate);
  void Close();
  bool IsOpen() const { return swr_ != nullptr; }

  // Resamples `frames` frames of pcm and appends what comes out to out
  // (some input stays inside, for the filter, until more follows). 0 or a
  // negative code.
  int Push(const int16_t* pcm, uint32_t frames, std::vector<int16_t>* out);

private:
  SwrContext* swr_ = nullptr;
  uint32_t channels_ = 0;
};
