#include "io/files/written_files.h"

#include <mutex>

#include "base/error.h"

namespace {

std::mutex g_mutex;
WrittenFileListener g_listener;

} // namespace

void WrittenFileInstall(WrittenFileListener listener) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_listener = std::move(listener);
}

void WrittenFileNotify(WrittenFileKind kind, const std::wstring& path) {
  WrittenFileListener listener;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    listener = g_listener;
  }
  if (!listener) return;
  // A listener that reads the folder again runs engine routines of its
  // own; the writer's caller still reads the writer's result afterwards.
  const int code = ErrorGetLast();
  char location[64] = {};
  ErrorGetLastLocation(location, sizeof location);
  listener(kind, path);
  ErrorSet(code, location);
}
