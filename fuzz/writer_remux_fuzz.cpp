// The writer's merge reads its two temporary files back; on arbitrary bytes
// it must end in a status, never crash, hang or read out of bounds.
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "platform/ffmpeg/writer_remux.h"
#include "support/temp_folder.h"

namespace {

// Goes at the end of a run that found nothing.
std::string FuzzFolder() { return ProcessScratchFolder("qv-remux-fuzz"); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  av_log_set_level(AV_LOG_QUIET);
  const std::string input = FuzzFolder() + "/input.mp4";
  const std::string output = FuzzFolder() + "/output.mp4";
  FILE* file = std::fopen(input.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::atomic<bool> cancel{false};
  std::string reason;
  RemuxVideoAndAudio(input, input, output, cancel, reason);
  unlink(output.c_str());
  return 0;
}
