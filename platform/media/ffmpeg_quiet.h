#pragma once
// FFmpeg prints every failed probe of the user's files on the console; the
// outcome goes to the session log instead, so only fatal messages remain.
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

inline void FfmpegQuietLogs() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_FATAL); });
}
