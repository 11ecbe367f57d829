#pragma once
// Where files received over the network land, and how: only in the
// program's folder under the user's documents, under a cleaned name, never
// over an existing file, and only once the whole transfer has arrived.
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/net/transfer_protocol.h"

// "<documents>/Quelvatron" (UTF-8); empty when there is no documents folder.
std::string TransferFolderPath();

// A sender's file name made safe to use inside the folder: its last path
// component only, valid UTF-8, no control or reserved characters, no
// leading dots or blanks, at most 200 bytes with its extension kept; a name
// with nothing left becomes "Received Video" or "Received Data".
std::string TransferSafeName(const std::string& sentName, PushKind kind);

// The folder, opened once for a transfer; every file is made relative to
// it, so a link put in place of a name can never redirect a write.
class ReceiveFolder {
public:
  ReceiveFolder() = default;
  ~ReceiveFolder();
  ReceiveFolder(const ReceiveFolder&) = delete;
  ReceiveFolder& operator=(const ReceiveFolder&) = delete;

  // Creates the folder when needed; 0 or -80.
  int Open(const std::string& path);
  // Bytes an ordinary user may still write there (0 when unknown).
  uint64_t FreeBytes() const;
  const std::string& path() const { return path_; }
  int fd() const { return fd_; }

private:
  int fd_ = -1;
  std::string path_;
};

// One received file (its folder must outlive it): written to a hidden temporary in the folder and given
// its name only by Commit, which never replaces a file that exists ("x.mp4"
// taken: "x (2).mp4", and so on). Dropped or destroyed before Commit, the
// temporary is removed.
class ReceivedFile {
public:
  ReceivedFile() = default;
  ~ReceivedFile();
  ReceivedFile(const ReceivedFile&) = delete;
  ReceivedFile& operator=(const ReceivedFile&) = delete;

  // 0, or -82 when no temporary can be made.
  int Create(const ReceiveFolder& folder, const std::string& safeName);
  // 0 or -82.
  int Write(const uint8_t* data, size_t size);
  // Flushes and names the file; 0 with its full path, or -82.
  int Commit(std::string& finalPath);
  // Removes a committed file again (the rest of its transfer failed).
  void Remove();
  void Drop();
  const std::string& name() const { return name_; }

private:
  int folderFd_ = -1;
  int fd_ = -1;
  std::string folderPath_;
  std::string name_;
  std::string temp_;
  std::string committed_;
};
