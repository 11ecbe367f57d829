#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/error.h"
#include "base/text.h"

namespace {

constexpr const char* kTempSuffix = ".XXXXXX";

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A renamed file is only durable once its folder entry is.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

} // namespace

namespace {

// Opens a regular file without blocking on a FIFO; -80 otherwise.
int OpenRegular(const std::string& name, uint64_t* size) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    close(fd);
    return -1;
  }
  *size = static_cast<uint64_t>(info.st_size);
  return fd;
}

bool ReadFully(int fd, uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = read(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done == size;
}

int ReadPart(const std::wstring& path, size_t maxBytes, bool whole, std::vector<uint8_t>& out,
             uint64_t* fileSize) {
  out.clear();
  uint64_t size = 0;
  const int fd = OpenRegular(WideToUtf8(path), &size);
  if (fd < 0) return kErrOpen;
  if (fileSize != nullptr) *fileSize = size;
  if (whole && size > maxBytes) {
    close(fd);
    return kErrRead;
  }
  const size_t wanted = static_cast<size_t>(size < maxBytes ? size : maxBytes);
  try {
    out.resize(wanted);
  } catch (const std::exception&) {
    close(fd);
    return kErrNoMemory;
  }
  const bool ok = ReadFully(fd, out.data(), wanted);
  close(fd);
  if (!ok) {
    out.clear();
    return kErrRead;
  }
  return kOk;
}

} // namespace

int FileReadAll(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& out) {
  return ReadPart(path, maxBytes, true, out, nullptr);
}

int FileReadHead(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& out,
                 uint64_t* fileSize) {
  return ReadPart(path, maxBytes, false, out, fileSize);
}

AtomicFile::~AtomicFile() { Drop(); }

int AtomicFile::Create(const std::wstring& target) {
  Drop();
  target_ = WideToUtf8(target);
  if (target_.empty() || target_.back() == '/') return kErrWrite;
  const size_t slash = target_.find_last_of('/');
  const std::string folder = FolderOf(target_);
  const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  std::string pattern = folder + "/." + base + kTempSuffix;
  fd_ = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return kErrWrite;
  temp_ = pattern;
  // Keep the permissions an existing target had.
  struct stat info {};
  if (stat(target_.c_str(), &info) == 0 && S_ISREG(info.st_mode)) fchmod(fd_, info.st_mode & 07777);
  else fchmod(fd_, 0644);
  return kOk;
}

int AtomicFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (fd_ < 0) return kErrWrite;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = pwrite(fd_, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Drop();
      return kErrWrite;
    }
    p += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return kOk;
}

int AtomicFile::Write(const void* data, size_t size) {
  if (fd_ < 0) return kErrWrite;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Drop();
      return kErrWrite;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return kOk;
}

int AtomicFile::Commit(bool durable) {
  if (fd_ < 0) return kErrWrite;
  const bool flushed = !durable || fsync(fd_) == 0;
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  if (!flushed || !closed || rename(temp_.c_str(), target_.c_str()) != 0) {
    unlink(temp_.c_str());
    temp_.clear();
    return kErrWrite;
  }
  temp_.clear();
  if (durable) SyncFolder(FolderOf(target_));
  return kOk;
}

void AtomicFile::Drop() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

int FileWriteAtomic(const std::wstring& path, const void* data, size_t size, bool durable) {
  AtomicFile file;
  int code = file.Create(path);
  if (code == kOk) code = file.Write(data, size);
  if (code == kOk) code = file.Commit(durable);
  return code;
}

std::string AtomicFileTargetName(const std::string& fileName) {
  const size_t suffix = std::char_traits<char>::length(kTempSuffix);
  if (fileName.size() <= suffix + 1 || fileName[0] != '.' || fileName[fileName.size() - suffix] != '.') return {};
  return fileName.substr(1, fileName.size() - suffix - 1);
}
