#include "io/files/session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <mutex>
#include <random>
#include <vector>

#include "base/error.h"
#include "base/file_io.h"
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

namespace {

constexpr size_t kIdDigits = 16;

// The session a file of the temporary folder is named after, when it is
// one of that session's own (read back through the names above, so that
// no other file can pass for one).
bool sessionOfFile(const std::string& fileName, uint64_t& id) {
  const std::string interrupted = AtomicFileTargetName(fileName);
  const std::string name = interrupted.empty() ? fileName : interrupted;
  const size_t dot = name.rfind('.');
  if (name.rfind("QV-", 0) != 0 || dot == std::string::npos || dot < 3 + kIdDigits) return false;
  const std::string digits = name.substr(dot - kIdDigits, kIdDigits);
  if (digits.find_first_not_of("0123456789ABCDEF") != std::string::npos) return false;
  id = std::strtoull(digits.c_str(), nullptr, 16);
  const std::string folder = WideToUtf8(SessionTempFolder());
  for (const std::wstring& path :
       {UndoSnapshotPath(id, 0), UndoSnapshotPath(id, 1), RecoverySnapshotFile(id), RecoveryIdentityFile(id)}) {
    if (WideToUtf8(path) == folder + name) return true;
  }
  return false;
}

} // namespace

int SessionRemoveFiles(const std::function<bool(uint64_t)>& whose) {
  const std::filesystem::path folder(WideToUtf8(SessionTempFolder()));
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    names.push_back(entries->path().filename().string());
  }
  int removed = 0;
  for (const std::string& name : names) {
    uint64_t id = 0;
    if (sessionOfFile(name, id) && whose(id) && unlink((folder / name).c_str()) == 0) ++removed;
  }
  return removed;
}

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

bool SessionOwnsTempFolder() {
  const std::wstring folder = SessionTempFolder();
  std::lock_guard<std::mutex> lock(sessionMutex);
  return folderLock >= 0 && lockedFolder == folder;
}

void SessionReleaseTempFolder() {
  std::lock_guard<std::mutex> lock(sessionMutex);
  if (folderLock >= 0) close(folderLock);
  folderLock = -1;
  lockedFolder.clear();
}
