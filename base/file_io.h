#pragma once
// Whole-file reading with a size limit, and saving through a temporary file
// in the target's folder that is flushed and renamed over the target, so a
// failed or interrupted save never destroys the previous file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a regular file (links followed) of at most maxBytes. 0; -80 when it
// cannot be opened or is no regular file; -81 when it is larger than
// maxBytes or cannot be read to its end.
int FileReadAll(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& out);

// Reads at most the first maxBytes of a regular file into out and gives
// its whole size. 0, -80 as above, -81 on a read error.
int FileReadHead(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& out,
                 uint64_t* fileSize);

// A file being written: created as a hidden temporary beside the target,
// renamed over the target by Commit. Dropped without Commit, the temporary
// is removed and the target stays as it was.
class AtomicFile {
public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // 0, or -82 when no temporary can be created in the target's folder.
  int Create(const std::wstring& target);
  // 0, or -82 (the file is then dropped).
  int Write(const void* data, size_t size);
  // Overwrites bytes already written (a header whose sizes are known only
  // at the end); 0, or -82 (the file is then dropped).
  int WriteAt(uint64_t offset, const void* data, size_t size);
  // Flushes, closes and renames over the target; 0 or -82. Without
  // durable the data is not forced to the disk first: the rename still
  // protects against a crash of the process, not against a power cut.
  int Commit(bool durable = true);
  void Drop();
  bool IsOpen() const { return fd_ >= 0; }

private:
  int fd_ = -1;
  std::string temp_;
  std::string target_;
};

// Create, Write and Commit in one; 0 or -82.
int FileWriteAtomic(const std::wstring& path, const void* data, size_t size, bool durable = true);

// The name of the file whose write a process that died midway left this
// temporary for (".<name>.XXXXXX" gives "<name>"); empty for any other name.
std::string AtomicFileTargetName(const std::string& fileName);
