#include "render/preview/preview_audio.h"

#include "base/error.h"
#include "base/log.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <mutex>

namespace {

constexpr double kMaxQueuedSeconds = 0.5; // latency bound: late sound is dropped
// The device takes this much at a time: a whole number of milliseconds at
// the usual rates, short enough to start quickly.
constexpr int kDeviceBlocksPerSecond = 50;
// Sound queued before the device starts (or starts again after running
// dry): the render loop hands over a frame's sound at a time, on the
// frame's beat rather than the device's, so the queue needs this much in
// hand or the device would find it empty between two frames and play gaps.
constexpr double kPrerollSeconds = 0.1;

struct PreviewAudio {
  std::mutex mutex;
  SDL_AudioDeviceID device = 0;
  AudioFormat format{};
  bool subsystem = false;
  bool waitingForPreroll = false; // playing, the device held until the queue fills
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
  want.samples = static_cast<Uint16>(std::clamp<uint32_t>(format.nSamplesPerSec / kDeviceBlocksPerSecond, 64, 4096));
  want.callback = nullptr; // queued: SDL's own thread feeds the device
  a.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (a.device == 0) {
    LogPrintf(L"Preview sound device not opened: %S", SDL_GetError());
    return ErrorSet(kErrNoObject, "PreviewAudioOpen");
  }
  a.format = format;
  a.waitingForPreroll = true;
  return ErrorSet(kOk, "PreviewAudioOpen");
}

void PreviewAudioClose() {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (a.device) SDL_CloseAudioDevice(a.device);
  a.device = 0;
  a.waitingForPreroll = false;
  if (a.subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  a.subsystem = false;
}

void PreviewAudioQueue(const uint8_t* pcm, uint32_t bytes) {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (!a.device || !pcm || bytes == 0) return;
  const uint32_t queued = SDL_GetQueuedAudioSize(a.device);
  if (queued + bytes > kMaxQueuedSeconds * a.format.nAvgBytesPerSec) return;
  // Ran dry (the render fell behind): hold the device until the queue has
  // its lead again, one gap rather than a crackle at every frame.
  if (!a.waitingForPreroll && queued == 0 && SDL_GetAudioDeviceStatus(a.device) == SDL_AUDIO_PLAYING) {
    SDL_PauseAudioDevice(a.device, 1);
    a.waitingForPreroll = true;
  }
  SDL_QueueAudio(a.device, pcm, bytes);
  if (a.waitingForPreroll && queued + bytes >= kPrerollSeconds * a.format.nAvgBytesPerSec) {
    SDL_PauseAudioDevice(a.device, 0);
    a.waitingForPreroll = false;
  }
}

void PreviewAudioClear() {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (a.device) SDL_ClearQueuedAudio(a.device);
}

void PreviewAudioPause(bool pause) {
  PreviewAudio& a = state();
  std::lock_guard lock(a.mutex);
  if (!a.device) return;
  // Resuming starts the device once the queue holds its lead.
  if (pause) SDL_PauseAudioDevice(a.device, 1);
  a.waitingForPreroll = !pause;
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
