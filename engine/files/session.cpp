#include "engine/files/session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <random>

#include "base/error.h"
#include "base/text.h"
#include "platform/system/folders.h"

namespace {

std::mutex sessionMutex;
uint64_t sessionId = 0;
std::wstring tempFolder;
int folderLock = -1;
std::wstring lockedFolder;

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

std::wstring RecoverySnapshotFile(uint64_t id) { return SessionTempFolder() + L"QV-Recover-" + SessionIdText(id) + L".qvp"; }

std::wstring RecoveryIdentityFile(uint64_t id) { return SessionTempFolder() + L"QV-Recover-" + SessionIdText(id) + L".txt"; }

int SessionClaimTempFolder() {
  const std::wstring folder = SessionTempFolder();
  std::lock_guard<std::mutex> lock(sessionMutex);
  if (folderLock >= 0 && lockedFolder == folder) return 0;
  if (folderLock >= 0) close(folderLock);
  folderLock = -1;
  const std::string path = WideToUtf8(folder + L"QV-Session.lock");
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return 1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool taken = errno == EWOULDBLOCK;
    close(fd);
    return taken ? kErrAlreadyRunning : 1;
  }
  // For whoever looks: the owner's process id.
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(fd, 0) != 0 || write(fd, pid.data(), pid.size()) < 0) {
    // The lock alone counts.
  }
  folderLock = fd;
  lockedFolder = folder;
  return 0;
}

void SessionReleaseTempFolder() {
  std::lock_guard<std::mutex> lock(sessionMutex);
  if (folderLock >= 0) close(folderLock);
  folderLock = -1;
  lockedFolder.clear();
}
