#include "platform/ffmpeg/writer_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The umask can only be read without changing it through /proc.
mode_t ProcessUmask() {
  FILE* status = std::fopen("/proc/self/status", "r");
  mode_t mask = 022;
  if (status == nullptr) return mask;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "Umask:", 6) == 0) {
      mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8));
      break;
    }
  }
  std::fclose(status);
  return mask;
}

} // namespace

std::string CreateSiblingTempFile(const std::string& target, const char* suffix) {
  if (target.empty()) return {};
  const std::string pattern = target + ".XXXXXX" + suffix;
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemps(name.data(), static_cast<int>(std::strlen(suffix)));
  if (fd < 0) return {};
  close(fd);
  return std::string(name.data());
}

void RemoveFileQuiet(std::string& path) {
  if (path.empty()) return;
  unlink(path.c_str());
  path.clear();
}

int ReplaceFileWith(const std::string& finished, const std::string& target) {
  struct stat old {};
  const mode_t mode = stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)
                          ? (old.st_mode & 07777)
                          : (0666 & ~ProcessUmask());
  if (chmod(finished.c_str(), mode) != 0) return errno;
  if (rename(finished.c_str(), target.c_str()) != 0) return errno;
  return 0;
}

bool IsSameExistingFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
