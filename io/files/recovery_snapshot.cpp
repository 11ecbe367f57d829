#include "io/files/recovery_snapshot.h"

#include <unistd.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "base/access_lock.h"
#include "base/file_io.h"
#include "base/log.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/session.h"

namespace {

constexpr size_t kMaxIdentityBytes = 16384;

// Serialises writers: two threads' changes must not interleave the files.
std::mutex snapshotMutex;
std::atomic<bool> started{false};
uint64_t snapshotWrites = 0; // under snapshotMutex

void changed() {
  if (RecoverySnapshotSave() != 0) LogPrintf(L"Could not keep the latest change for recovery");
}

std::string identityText(const ProjectIdentity& identity) {
  return "File: " + WideToUtf8(identity.file) + "\nName: " + WideToUtf8(identity.name) + "\n";
}

std::wstring lineValue(const std::string& text, const std::string& key) {
  const size_t at = text.find(key);
  if (at == std::string::npos) return {};
  const size_t start = at + key.size();
  return Utf8ToWide(text.substr(start, text.find('\n', start) - start));
}

} // namespace

void RecoverySnapshotStart() {
  started = true;
  AccessSetChangeHook(changed);
}

void RecoverySnapshotEnd(bool keep) {
  AccessSetChangeHook(nullptr);
  started = false;
  if (keep) return;
  std::lock_guard<std::mutex> lock(snapshotMutex);
  unlink(WideToUtf8(RecoverySnapshotFile(SessionGetId())).c_str());
  unlink(WideToUtf8(RecoveryIdentityFile(SessionGetId())).c_str());
}

int RecoverySnapshotSave() {
  if (!started) return 0;
  std::lock_guard<std::mutex> lock(snapshotMutex);
  ++snapshotWrites;
  return ProjectSaveFile(RecoverySnapshotFile(SessionGetId()), "RecoverySnapshotSave", false);
}

uint64_t RecoverySnapshotWrites() {
  std::lock_guard<std::mutex> lock(snapshotMutex);
  return snapshotWrites;
}

void RecoverySnapshotSaved(uint64_t writes) {
  std::lock_guard<std::mutex> lock(snapshotMutex);
  if (writes == snapshotWrites) unlink(WideToUtf8(RecoverySnapshotFile(SessionGetId())).c_str());
}

void RecoverySnapshotDiscard() {
  AccessForgetChange();
  std::lock_guard<std::mutex> lock(snapshotMutex);
  unlink(WideToUtf8(RecoverySnapshotFile(SessionGetId())).c_str());
}

int RecoverySetProjectIdentity(const ProjectIdentity& identity) {
  if (!started) return 0;
  const std::string text = identityText(identity);
  std::lock_guard<std::mutex> lock(snapshotMutex);
  return FileWriteAtomic(RecoveryIdentityFile(SessionGetId()), text.data(), text.size(), false);
}

ProjectIdentity RecoveryReadProjectIdentity(uint64_t sessionId) {
  std::vector<uint8_t> bytes;
  if (FileReadAll(RecoveryIdentityFile(sessionId), kMaxIdentityBytes, bytes) != 0) return {};
  const std::string text = "\n" + std::string(bytes.begin(), bytes.end());
  return {lineValue(text, "\nFile: "), lineValue(text, "\nName: ")};
}
