#include "render/loop/media_bridge.h"

#include "base/error.h"
#include "model/input_table.h"
#include "media/input_handler.h"
#include "media/output_handler.h"

#include <utility>
#include <vector>

namespace {

// 24-bit frames are widened here; one buffer per thread, as the render
// thread and the main thread's simple previews may both ask.
thread_local std::vector<uint32_t> t_widened;

const uint32_t* widen24(const InputFrame& f) {
  t_widened.resize(static_cast<size_t>(f.Width) * f.Height);
  const uint8_t* in = f.Pixels;
  for (size_t i = 0; i < t_widened.size(); ++i, in += 3)
    t_widened[i] = 0xFF000000u | (uint32_t(in[2]) << 16) | (uint32_t(in[1]) << 8) | in[0];
  return t_widened.data();
}

} // namespace

bool MediaBridgeGetPicture(uint32_t input, double inputTime, InputPicture* picture) {
  InputFrame frame{};
  if (!picture || InputHandlerGetFrameRF(input, inputTime, &frame) < 0 || !frame.Pixels ||
      frame.Width == 0 || frame.Height == 0)
    return false;
  if (frame.BytesPerPixel == 4) picture->pixels = reinterpret_cast<const uint32_t*>(frame.Pixels);
  else if (frame.BytesPerPixel == 3) picture->pixels = widen24(frame);
  else return false;
  picture->width = static_cast<int>(frame.Width);
  picture->height = static_cast<int>(frame.Height);
  picture->topDown = frame.FlipVertical != 0;
  picture->turned180 = frame.FlipVertical != 0 && frame.MirrorHorizontal != 0;
  // Decoded video carries no alpha (whatever its fourth byte holds); still
  // images keep theirs (straight, premultiplied by the adjustment pass).
  const MainStruct* main = InputTableMain(input);
  picture->opaque = frame.BytesPerPixel == 3 || !main || main->Type != kInputImage;
  return true;
}

bool MediaBridgeGetPlanes(uint32_t input, double inputTime, PlanarPicture* planes) {
  return InputHandlerGetFramePlanes(input, inputTime, planes);
}

void MediaBridgePrepareFrame(uint32_t input, double inputTime) {
  InputHandlerPrepareFrame(input, inputTime);
}

bool MediaBridgeGetAudioFormat(uint32_t input, AudioFormat* format) {
  const AudioFormat* f = InputHandlerGetAudioFormat(input);
  if (!format || !f || f->wBitsPerSample != 16 || f->nChannels == 0 || f->nChannels > 2 ||
      f->nSamplesPerSec == 0)
    return false;
  *format = *f;
  return true;
}

uint32_t MediaBridgeGetAudio(uint32_t input, double start, double length, const uint8_t** data,
                             AudioFormat* format) {
  if (!data || !MediaBridgeGetAudioFormat(input, format)) return 0;
  const int bytes = InputHandlerGetAudio(input, start, length, data);
  if (bytes <= 0 || !*data) return 0;
  return static_cast<uint32_t>(bytes);
}

bool MediaBridgeWriterAvailable() { return true; }

int MediaBridgeOutputOpen(const OutputOpenArgs& a) {
  return OutputHandlerOpen(a.path.c_str(), a.handler, &a.frameFormat, &a.soundFormat, a.videoKbit,
                           a.audioKbit, a.frameBuffer, a.soundBuffer, a.soundBufferLength,
                           a.frameRate, a.audioChunkRate);
}

int MediaBridgeOutputPutFrame(uint32_t handler, uint32_t frame) {
  return OutputHandlerPutFrame(handler, frame);
}

int MediaBridgeOutputPutFramePlanes(uint32_t handler, uint32_t frame, SharedPlanes yuv420) {
  return OutputHandlerPutFramePlanes(handler, frame, std::move(yuv420));
}

int MediaBridgeOutputPutAudio(uint32_t handler, uint32_t chunk, uint32_t length) {
  return OutputHandlerPutAudio(handler, chunk, length);
}

void MediaBridgeOutputPutPrepare(uint32_t handler) { OutputHandlerPutPrepare(handler); }

int MediaBridgeOutputFinish(uint32_t handler) { return OutputHandlerFinish(handler); }

void MediaBridgeOutputClose(uint32_t handler) { OutputHandlerClose(handler); }

std::wstring MediaBridgeOutputFailureText(uint32_t handler) { return OutputHandlerFailureText(handler); }

void MediaBridgeOutputSetMultiTaskMode(uint32_t mode) {
  OutputHandlerSetMultiTaskMode(static_cast<int>(mode));
}
