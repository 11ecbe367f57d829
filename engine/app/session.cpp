#include "engine/app/session.h"

#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <random>

#include "platform/system/folders.h"

namespace {

std::mutex sessionMutex;
uint64_t sessionId = 0;
std::wstring tempFolder;

constexpr uint32_t kTempFolderChars = 1024;

std::wstring chooseTempFolder() {
  wchar_t buffer[kTempFolderChars] = {};
  std::wstring folder = GetTempFolder(kTempFolderChars, buffer) != 0 ? buffer : L"/tmp/";
  if (folder.empty() || folder.back() != L'/') folder.push_back(L'/');
  return folder;
}

} // namespace

uint64_t SessionBegin() {
  std::random_device device;
  uint64_t id = (static_cast<uint64_t>(device()) << 32) ^ device();
  std::lock_guard<std::mutex> lock(sessionMutex);
  sessionId = id;
  std::srand(static_cast<unsigned>(id ^ (id >> 32)));
  return id;
}

uint64_t SessionGetId() {
  std::lock_guard<std::mutex> lock(sessionMutex);
  return sessionId;
}

std::wstring SessionIdText(uint64_t id) {
  wchar_t text[24];
  std::swprintf(text, 24, L"%016llX", static_cast<unsigned long long>(id));
  return text;
}

std::wstring SessionChooseTempFolder() {
  std::wstring folder = chooseTempFolder();
  std::lock_guard<std::mutex> lock(sessionMutex);
  tempFolder = folder;
  return folder;
}

std::wstring SessionTempFolder() {
  {
    std::lock_guard<std::mutex> lock(sessionMutex);
    if (!tempFolder.empty()) return tempFolder;
  }
  return SessionChooseTempFolder();
}

std::wstring UndoSnapshotPath(uint64_t id, int which) {
  return SessionTempFolder() + (which == 0 ? L"QV-Undo-" : L"QV-Redo-") + SessionIdText(id) + L".qvp";
}
