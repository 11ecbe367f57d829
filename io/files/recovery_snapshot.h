#pragma once
// What the next start recovers if this session dies: the project as it
// stood after its latest change, and the project's own file and name kept
// beside it (the project file itself carries neither).
//
// The snapshot is written after every change, once the change's write
// access has ended, before the changing routine returns: a kill right after
// a change keeps it. It is replaced atomically and never synced to disk,
// since it only has to outlive the process. A save of the project to its
// file removes it: saved work is no work to recover.
#include <cstdint>
#include <string>

struct ProjectIdentity {
  std::wstring file; // empty for a project never saved
  std::wstring name;
};

// Engine start and end: changes write snapshots between the two. At the end
// the files are deleted unless keep is set (an end that must offer the
// project back).
void RecoverySnapshotStart();
void RecoverySnapshotEnd(bool keep);
// Writes the current project as this session's snapshot; 0 or -82.
[[nodiscard]] int RecoverySnapshotSave();
// The project was emptied or replaced by a file: nothing to recover.
void RecoverySnapshotDiscard();
// Snapshots written so far: a save of the project takes the count before
// it reads the project.
uint64_t RecoverySnapshotWrites();
// The project was saved to its file as it stood when the count was taken:
// unless a change has been kept since, nothing is left to recover.
void RecoverySnapshotSaved(uint64_t writes);
// Keeps the project's file and name for recovery; 0 or -82.
[[nodiscard]] int RecoverySetProjectIdentity(const ProjectIdentity& identity);
// The identity a session kept; an empty one when it kept none.
ProjectIdentity RecoveryReadProjectIdentity(uint64_t sessionId);
