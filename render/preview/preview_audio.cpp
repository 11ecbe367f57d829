#include "render/preview/preview_audio.h"

#include "base/error.h"
#include "base/log.h"

#include <SDL2/SDL.h>

#include <mutex>

namespace {

constexpr double kMaxQueuedSeconds = 0.5; // latency bound: late sound is dropped

struct PreviewAudio {
  std::mutex mutex;
  SDL_AudioDeviceID device = 0;
  AudioFormat format{};
  bool subsystem = false;
};

PreviewAudio& state() {
  static PreviewAudio audio;
  return audio;
}

} // namespace

int PreviewAudioOpen(const AudioFormat& format) {
  PreviewAudioClose();
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (!a.subsystem) {
    // SDL would otherwise turn SIGINT and SIGTERM into quit events that
    // nobody reads, and the program could not be ended from outside.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      LogPrintf(L"Preview sound unavailable: %S", SDL_GetError());
      return ErrorSet(kErrNoObject, "PreviewAudioOpen");
    }
    a.subsystem = true;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = static_cast<int>(format.nSamplesPerSec);
  want.format = format.wBitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
  want.channels = static_cast<Uint8>(format.nChannels);
  want.samples = 1024;
  want.callback = nullptr; // queued: SDL's own thread feeds the device
  a.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (a.device == 0) {
    LogPrintf(L"Preview sound device not opened: %S", SDL_GetError());
    return ErrorSet(kErrNoObject, "PreviewAudioOpen");
  }
  a.format = format;
  SDL_PauseAudioDevice(a.device, 0);
  return ErrorSet(kOk, "PreviewAudioOpen");
}

void PreviewAudioClose() {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (a.device) SDL_CloseAudioDevice(a.device);
  a.device = 0;
  if (a.subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  a.subsystem = false;
}

void PreviewAudioQueue(const uint8_t* pcm, uint32_t bytes) {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (!a.device || !pcm || bytes == 0) return;
  const double limit = kMaxQueuedSeconds * a.format.nAvgBytesPerSec;
  if (SDL_GetQueuedAudioSize(a.device) + bytes > limit) return;
  SDL_QueueAudio(a.device, pcm, bytes);
}

void PreviewAudioClear() {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (a.device) SDL_ClearQueuedAudio(a.device);
}

void PreviewAudioPause(bool pause) {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (a.device) SDL_PauseAudioDevice(a.device, pause ? 1 : 0);
}

bool PreviewAudioIsOpen() {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  return a.device != 0;
}

uint32_t PreviewAudioQueued() {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  return a.device ? SDL_GetQueuedAudioSize(a.device) : 0;
}
