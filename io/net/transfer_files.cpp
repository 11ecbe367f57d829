#include "io/net/transfer_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "base/error.h"
#include "base/text.h"
#include "platform/system/folders.h"

namespace {

constexpr size_t kNameMaxBytes = 200;
constexpr size_t kExtensionMaxBytes = 16;
constexpr int kMaxNumberedNames = 9999;

// One code point of UTF-8 at text[at]: its value and length, or -1 for a
// malformed, over-long or surrogate sequence.
int32_t decodeUtf8(const std::string& text, size_t at, size_t& length) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  length = 1;
  if (lead < 0x80) return lead;
  int extra = lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2 : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
  if (extra < 0 || at + static_cast<size_t>(extra) >= text.size()) return -1;
  int32_t value = lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) return -1;
    value = (value << 6) | (next & 0x3F);
  }
  static constexpr int32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return -1;
  length = static_cast<size_t>(extra) + 1;
  return value;
}

// Characters that have no place in a file name we make: controls, the
// names reserved by other systems the file may be copied to, and the
// direction overrides that can disguise an extension.
bool unwanted(int32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
  if (c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*') return true;
  return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string lastComponent(const std::string& name) {
  size_t slash = name.find_last_of("/\\");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string cleanCharacters(const std::string& name) {
  std::string clean;
  for (size_t at = 0; at < name.size();) {
    size_t length = 1;
    int32_t c = decodeUtf8(name, at, length);
    if (c < 0 || unwanted(c)) {
      clean.push_back('_');
    } else {
      clean.append(name, at, length);
    }
    at += length;
  }
  return clean;
}

std::string trimDotsAndBlanks(const std::string& name) {
  size_t first = name.find_first_not_of(". ");
  if (first == std::string::npos) return {};
  size_t last = name.find_last_not_of(". ");
  return name.substr(first, last - first + 1);
}

// The stem cut to fit beside the extension, never inside a character.
std::string cutToLength(const std::string& name) {
  if (name.size() <= kNameMaxBytes) return name;
  size_t dot = name.find_last_of('.');
  std::string extension;
  if (dot != std::string::npos && dot > 0 && name.size() - dot <= kExtensionMaxBytes) extension = name.substr(dot);
  size_t keep = kNameMaxBytes - extension.size();
  while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
  return trimDotsAndBlanks(name.substr(0, keep)) + extension;
}

// "x.mp4", then "x (2).mp4", "x (3).mp4"...
std::string numberedName(const std::string& name, int number) {
  if (number <= 1) return name;
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return name + " (" + std::to_string(number) + ")";
  return name.substr(0, dot) + " (" + std::to_string(number) + ")" + name.substr(dot);
}

bool writeAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Gives the temporary its name only when nothing has that name yet; where
// the file system cannot rename that way, a hard link does the same.
int nameWithoutReplacing(int folder, const std::string& temp, const std::string& name) {
  if (renameat2(folder, temp.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (linkat(folder, temp.c_str(), folder, name.c_str(), 0) != 0) return errno;
  unlinkat(folder, temp.c_str(), 0);
  return 0;
}

} // namespace

std::string TransferFolderPath() {
  std::string documents = StrWToUtf8(GetDocumentsFolder());
  return documents.empty() ? std::string() : documents + "/Quelvatron";
}

std::string TransferSafeName(const std::string& sentName, PushKind kind) {
  std::string name = cutToLength(trimDotsAndBlanks(cleanCharacters(lastComponent(sentName))));
  if (!name.empty()) return name;
  return kind == PushKind::kVideo ? "Received Video" : "Received Data";
}

ReceiveFolder::~ReceiveFolder() {
  if (fd_ >= 0) close(fd_);
}

int ReceiveFolder::Open(const std::string& path) {
  if (path.empty()) return kErrOpen;
  std::error_code ignored;
  std::filesystem::create_directories(path, ignored);
  fd_ = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return kErrOpen;
  path_ = path;
  return kOk;
}

uint64_t ReceiveFolder::FreeBytes() const {
  struct statvfs info{};
  if (fd_ < 0 || fstatvfs(fd_, &info) != 0) return 0;
  return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}

ReceivedFile::~ReceivedFile() { Drop(); }

int ReceivedFile::Create(const ReceiveFolder& folder, const std::string& safeName) {
  Drop();
  std::random_device random;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    char temp[64];
    std::snprintf(temp, sizeof temp, ".qv-receive-%08x.part", random());
    fd_ = openat(folder.fd(), temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd_ >= 0) temp_ = temp;
    else if (errno != EEXIST) break;
  }
  if (fd_ < 0) return kErrWrite;
  folderFd_ = folder.fd();
  folderPath_ = folder.path();
  name_ = safeName;
  return kOk;
}

int ReceivedFile::Write(const uint8_t* data, size_t size) {
  if (fd_ < 0) return kErrWrite;
  if (writeAll(fd_, data, size)) return kOk;
  Drop();
  return kErrWrite;
}

int ReceivedFile::Commit(std::string& finalPath) {
  if (fd_ < 0) return kErrWrite;
  bool flushed = fsync(fd_) == 0;
  bool closed = close(fd_) == 0;
  fd_ = -1;
  if (!flushed || !closed) {
    Drop();
    return kErrWrite;
  }
  for (int number = 1; number <= kMaxNumberedNames; ++number) {
    std::string name = numberedName(name_, number);
    int error = nameWithoutReplacing(folderFd_, temp_, name);
    if (error == EEXIST) continue;
    if (error != 0) break;
    temp_.clear();
    committed_ = name;
    finalPath = folderPath_ + "/" + name;
    return kOk;
  }
  Drop();
  return kErrWrite;
}

void ReceivedFile::Remove() {
  if (!committed_.empty()) unlinkat(folderFd_, committed_.c_str(), 0);
  committed_.clear();
}

void ReceivedFile::Drop() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty() && folderFd_ >= 0) unlinkat(folderFd_, temp_.c_str(), 0);
  temp_.clear();
}
