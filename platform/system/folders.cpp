#include "platform/system/folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <string>

#include "base/text.h"

namespace {

// The log, the undo snapshots and the crash extract have fixed names, so they
// must not sit directly in the shared /tmp where another user could plant a
// link under one of those names.
std::string tempBase() {
  const char* env = std::getenv("TMPDIR");
  std::string base = (env != nullptr && env[0] == '/') ? env : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base;
}

std::string privateFolderPath(const std::string& base) { return base + "/quelvatron-" + std::to_string(geteuid()); }

// Opens the folder without following a link and makes sure only we can use it.
bool privateFolderIsSafe(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool safe = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid();
  if (safe && (st.st_mode & 077) != 0) {
    safe = fchmod(fd, 0700) == 0 && fstat(fd, &st) == 0 && (st.st_mode & 077) == 0;
  }
  close(fd);
  return safe;
}

// Empty when unusable; baseFailed tells a base we cannot create in from a
// folder that is there but not safely ours.
std::string usablePrivateFolder(const std::string& base, bool& baseFailed) {
  std::string path = privateFolderPath(base);
  baseFailed = mkdir(path.c_str(), 0700) != 0 && errno != EEXIST;
  if (baseFailed) return {};
  return privateFolderIsSafe(path) ? path : std::string();
}

// A missing or unwritable TMPDIR falls back to our folder in /tmp; a folder
// that is there but not safely ours is refused outright.
std::string privateTempFolder() {
  std::string base = tempBase();
  bool baseFailed = false;
  std::string path = usablePrivateFolder(base, baseFailed);
  if (path.empty() && baseFailed && base != "/tmp") path = usablePrivateFolder("/tmp", baseFailed);
  return path;
}

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != 0) return home;
  struct passwd* pw = getpwuid(getuid());
  return (pw != nullptr && pw->pw_dir != nullptr) ? pw->pw_dir : "";
}

std::string expandHome(std::string value, const std::string& home) {
  if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
  else if (value.rfind("${HOME}", 0) == 0) value = home + value.substr(7);
  else if (value.rfind("~/", 0) == 0) value = home + value.substr(1);
  return value;
}

// The documents entry of the user's XDG folder list, expanded; empty if none.
std::string documentsFromUserDirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string configDir = (config != nullptr && config[0] == '/') ? config : home + "/.config";
  std::ifstream file(configDir + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=";
  while (std::getline(file, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    std::string value = line.substr(start + key.size());
    if (value.size() >= 2 && value.front() == '"') {
      size_t close = value.find('"', 1);
      value = value.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return expandHome(value, home);
  }
  return {};
}

std::string documentsFolder() {
  std::string home = homeFolder();
  const char* env = std::getenv("XDG_DOCUMENTS_DIR");
  if (env != nullptr && env[0] != 0) return expandHome(env, home);
  std::string fromFile = documentsFromUserDirs(home);
  if (!fromFile.empty()) return fromFile;
  return home.empty() ? std::string() : home + "/Documents";
}

} // namespace

uint32_t GetTempFolder(uint32_t length, wchar_t* buffer) {
  if (buffer == nullptr || length == 0) return 0;
  std::string path = privateTempFolder();
  if (path.empty()) return 0;
  std::wstring wide = Utf8ToWide(path);
  size_t count = std::min<size_t>(wide.size(), length - 1);
  std::wmemcpy(buffer, wide.data(), count);
  buffer[count] = 0;
  return static_cast<uint32_t>(count + 1);
}

namespace {
constexpr size_t kDocumentsFolderChars = 2048;
wchar_t DocumentsFolderBuffer[kDocumentsFolderChars];
} // namespace

const wchar_t* GetDocumentsFolder() {
  std::wstring wide = Utf8ToWide(documentsFolder());
  size_t count = std::min(wide.size(), kDocumentsFolderChars - 1);
  std::wmemcpy(DocumentsFolderBuffer, wide.data(), count);
  DocumentsFolderBuffer[count] = 0;
  DocumentsFolderBuffer[kDocumentsFolderChars - 1] = 0;
  return DocumentsFolderBuffer;
}
