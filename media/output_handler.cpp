#include "media/output_handler.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "base/util.h"
#include "model/input_table.h"
#include "platform/ffmpeg/writer_facade.h"
#include "platform/ffmpeg/writer_files.h"

namespace {

std::atomic<int> multiTaskMode{kOutputModeFullSpeed};
// Milliseconds of the last frame handed over under a throttle, 0 for none.
std::atomic<uint64_t> previousFrameMs{0};
// The render loop waits in a pause: nothing more is written until it ends.
std::atomic<bool> heldByPause{false};

constexpr uint32_t kPauseStepMs = 250;
constexpr uint64_t kShortSleepMs = 10;
constexpr uint64_t kMinGapMs = 20;
constexpr uint64_t kLongGapMs = 1002;
constexpr uint64_t kLongSleepMs = 500;

void SleepFor(uint64_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Gives the desktop time between frames: half the time the last frame took
// (so the render uses about two thirds of the machine), or a pause.
void Throttle() {
  const int mode = multiTaskMode.load();
  if (mode == kOutputModeFullSpeed) return;
  if (mode == kOutputModePaused) {
    heldByPause = true;
    while (multiTaskMode.load() == kOutputModePaused) SleepFor(kPauseStepMs);
    heldByPause = false;
  } else {
    const uint64_t previous = previousFrameMs.load();
    const uint64_t gap = previous != 0 ? TimeGetMs() - previous : 0;
    if (previous == 0 || gap < kMinGapMs) SleepFor(kShortSleepMs);
    else SleepFor(gap >= kLongGapMs ? kLongSleepMs : gap / 2);
  }
  previousFrameMs = TimeGetMs();
}

// Writing over an input of the project would destroy it while it is read.
bool IsProjectInput(const wchar_t* path) {
  const std::string target = WideToUtf8(path);
  ReadAccess access("OutputHandlerOpen");
  bool found = false;
  for (uint32_t i = 0; i < InputTableCount() && !found; ++i) {
    const MainStruct* main = InputTableMain(i);
    if (main == nullptr || main->FilePath[0] == 0) continue;
    size_t length = 0;
    while (length < static_cast<size_t>(kPathLength) && main->FilePath[length] != 0) ++length;
    const std::string input = WideToUtf8(Utf16ToWide(std::u16string(main->FilePath, length)));
    found = input == target || IsSameExistingFile(input, target);
  }
  return found;
}

} // namespace

int OutputHandlerOpen(const wchar_t* path, uint32_t handler, const tagBITMAPINFOHEADER* frameFormat,
                      const AudioFormat* soundFormat, uint32_t videoKBitrate, uint32_t audioKBitrate,
                      const void* frameBuffer, const void* soundBuffer, uint32_t soundBufferLength,
                      double frameRate, double audioChunkRate) {
  LogPrintf(L"Open output video file (handler %d) '%s'", static_cast<int>(handler), path ? path : L"");
  int result = 0;
  if (handler != kOutputHandlerMpeg4) {
    result = ErrorSet(-140, "OutputHandlerOpen");
  } else if (path != nullptr && IsProjectInput(path)) {
    LogPrintf(L"Output video file is an input of the project: '%s'", path);
    result = ErrorSet(kErrOutputIsInput, "OutputHandlerOpen");
  } else {
    previousFrameMs = 0;
    result = MediaMacAvCreate(path, frameFormat, soundFormat, videoKBitrate, audioKBitrate, frameBuffer,
                              soundBuffer, soundBufferLength, frameRate, audioChunkRate);
  }
  LogPrintf(L"Open output video file: result code %d", result);
  return result;
}

int OutputHandlerPutFrame(uint32_t handler, uint32_t frame) {
  Throttle();
  if (handler != kOutputHandlerMpeg4) return ErrorSet(-140, "OutputHandlerPutFrame");
  return MediaMacAvPutFrame(frame);
}

int OutputHandlerPutFramePlanes(uint32_t handler, uint32_t frame, SharedPlanes yuv420) {
  Throttle();
  if (handler != kOutputHandlerMpeg4) return ErrorSet(-140, "OutputHandlerPutFramePlanes");
  return MediaMacAvPutFramePlanes(frame, std::move(yuv420));
}

int OutputHandlerPutAudio(uint32_t handler, uint32_t chunk, uint32_t length) {
  if (handler != kOutputHandlerMpeg4) return ErrorSet(-140, "OutputHandlerPutAudio");
  return MediaMacAvPutAudio(chunk, length);
}

void OutputHandlerPutPrepare(uint32_t handler) {
  if (handler == kOutputHandlerMpeg4) MediaMacAvPutPrepare();
}

int OutputHandlerFinish(uint32_t handler) {
  LogPrintf(L"Finish writing for output video file (handler %d)", static_cast<int>(handler));
  if (handler != kOutputHandlerMpeg4) return 0;
  return MediaMacAvFinishWriting();
}

void OutputHandlerClose(uint32_t handler) {
  LogPrintf(L"Close output video file (handler %d)", static_cast<int>(handler));
  OutputHandlerSetMultiTaskMode(kOutputModeFullSpeed);
  if (handler == kOutputHandlerMpeg4) MediaMacAvCreateClose();
}

std::wstring OutputHandlerFailureText(uint32_t handler) {
  return handler == kOutputHandlerMpeg4 ? MediaMacAvFailureText() : std::wstring();
}

void OutputHandlerSetMultiTaskMode(int mode) {
  if (multiTaskMode.exchange(mode) != mode) LogPrintf(L"Set output handler multi-task mode to %d", mode);
}

int OutputHandlerGetMultiTaskMode() { return multiTaskMode.load(); }

bool OutputHandlerIsHeldByPause() { return heldByPause.load(); }
