#include "platform/ffmpeg/ffmpeg_log.h"

#include <cstring>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include "base/log.h"

namespace {

void logFromFfmpeg(void* context, int level, const char* format, va_list args) {
  if (level > AV_LOG_WARNING) return;
  // A message may arrive in pieces; each piece of a line is logged as it
  // comes, which keeps the callback free of shared state.
  thread_local int printPrefix = 1;
  char line[1024];
  av_log_format_line2(context, level, format, args, line, sizeof(line), &printPrefix);
  size_t length = std::strlen(line);
  while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) line[--length] = 0;
  if (length > 0) LogPrintf(L"FFmpeg: %S", line);
}

} // namespace

void FfmpegLogInstall() {
  av_log_set_level(AV_LOG_WARNING);
  av_log_set_callback(logFromFfmpeg);
}

std::string AvErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}
