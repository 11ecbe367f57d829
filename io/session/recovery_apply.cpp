// Kept apart from the scan so that only callers of RecoveryApply need the
// project files linked.
#include "base/error.h"
#include "base/log.h"
#include "io/files/recovery_snapshot.h"
#include "io/session/recovery.h"

int RecoveryApply() {
  LogPrintf(L"Recovering previous session...");
  std::wstring snapshot = RecoverySnapshotPath();
  int result = snapshot.empty() ? -1 : ProjectOpen(snapshot.c_str());
  // Opening emptied this session's snapshot: the recovered work is unsaved
  // work of this session now, and a kill from here on must keep it.
  if (result >= 0 && (RecoverySetProjectIdentity(RecoveryProjectIdentity()) != 0 || RecoverySnapshotSave() != 0))
    LogPrintf(L"Could not keep the recovered project for recovery");
  return ErrorSet(result, "RecoveryApply");
}
