#include "render/loop/output_render.h"

#include "base/error.h"
#include "base/log.h"
#include "model/project.h"
#include "render/loop/media_bridge.h"
#include "render/loop/render.h"
#include "render/preview/main_preview.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int32_t kStopWaitMs = 5000;
}

int OutputHandlerCreate(const wchar_t* path, uint32_t handler, uint32_t width, uint32_t height,
                        uint32_t audioType, uint32_t audioRate, uint32_t videoKbit,
                        uint32_t audioKbit, uint32_t quality, float frameRate, float overscan,
                        float start, float end) {
  if (!path || !*path) return ErrorSet(kErrBadArg, "OutputHandlerCreate");
  if (!RenderEngineReady()) return ErrorSet(kErrNotReady, "OutputHandlerCreate");
  // Nothing is opened or written for a project that would never end.
  const float length = ProjectGetLength(0);
  if (length > 0) end = std::min(end, length);
  else if (end >= kRenderToProjectEnd) return ErrorSet(kErrNothingToRender, "OutputHandlerCreate");
  LogPrintf(L"Create output video (handler %u) '%s'", handler, path);
  LogPrintf(L"Output settings: %ux%u, audio type %u at %u Hz, video %u kbit/s, audio %u kbit/s, "
            L"quality %u, %.03f fps, overscan %.01f%%, from %.03f to %.03f",
            width, height, audioType, audioRate, videoKbit, audioKbit, quality, frameRate,
            overscan, start, end);
  MediaBridgeOutputSetMultiTaskMode(0);
  PreviewStop();
  RenderOutputArgs output;
  output.path = path;
  output.handler = handler;
  output.videoKbit = videoKbit;
  output.audioKbit = audioKbit;
  int code = RenderInit(kRenderOutput, width, height, audioType, audioRate, frameRate, &output);
  if (code < 0) {
    LogPrintf(L"RenderInit() failed with code %d", code);
    return ErrorSet(code, "OutputHandlerCreate");
  }
  // Frames go to the main preview's display now and then (the progress
  // window's picture once it has set it up).
  RenderSetSinks(
      [](const uint32_t* frame, uint32_t w, uint32_t h, float) { MainPreviewShowFrame(frame, w, h); },
      nullptr);
  code = RenderStart(start, end, frameRate, quality, overscan);
  return ErrorSet(code < 0 ? code : kOk, "OutputHandlerCreate");
}

float OutputHandlerGetTime() { return RenderGetTime(); }

int OutputHandlerIsBusy() {
  return RenderGetMode() == kRenderOutput && RenderIsRunning() ? 1 : 0;
}

void OutputHandlerStop() {
  if (RenderGetMode() == kRenderOutput) RenderStop(kStopWaitMs);
}

int OutputHandlerGetResult() { return RenderGetResult(); }

std::wstring OutputHandlerGetResultText() { return RenderGetResultText(); }
