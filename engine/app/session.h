#pragma once
// The running session: its random identifier (which also seeds the random
// generator and names the undo snapshots) and the engine's temporary folder.
#include <cstdint>
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
