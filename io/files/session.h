#pragma once
// The running session: its random identifier (which also seeds the random
// generator and names the undo snapshots) and the engine's temporary folder.
#include <cstdint>
#include <functional>
#include <string>

// Draws a new identifier and seeds the random generator with it.
uint64_t SessionBegin();
uint64_t SessionGetId();
// 16 upper-case hex digits, as the log header and the file names show it.
std::wstring SessionIdText(uint64_t sessionId);
// Chooses the temporary folder (the private one, else "/tmp/"); the result
// always ends in "/".
std::wstring SessionChooseTempFolder();
// The chosen folder, chosen on first use when the engine was not started.
std::wstring SessionTempFolder();
// The undo (which 0) or redo (which 1) snapshot of a session:
// "QV-Undo-<id>.qvp" or "QV-Redo-<id>.qvp" in the temporary folder.
std::wstring UndoSnapshotPath(uint64_t sessionId, int which);
// The project as it stood after its latest change ("QV-Recover-<id>.qvp"),
// and beside it the project's own file and name ("QV-Recover-<id>.txt"):
// what the next start recovers when the session dies.
std::wstring RecoverySnapshotFile(uint64_t sessionId);
std::wstring RecoveryIdentityFile(uint64_t sessionId);
// Removes every file named after a session that `whose` accepts (the four
// above, and any of them a write cut short left half-written); the number
// of files removed.
int SessionRemoveFiles(const std::function<bool(uint64_t sessionId)>& whose);

// The temporary folder belongs to one running engine: another process never
// rotates, ends or recovers its log, snapshots or undo files. The owner holds
// a lock on "QV-Session.lock" there, which the kernel drops however the
// process ends. 0: this process owns the folder (again); 1: the folder
// cannot be locked, and the caller must check the previous session's
// process itself; kErrAlreadyRunning: another process owns it.
int SessionClaimTempFolder();
void SessionReleaseTempFolder();
// True while this process holds the lock: no other process uses the folder.
bool SessionOwnsTempFolder();
