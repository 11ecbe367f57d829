// Kept apart from the scan so that only callers of RecoveryApply need the
// project files linked.
#include "engine/app/recovery.h"
#include "engine/base/error.h"
#include "engine/base/log.h"

int RecoveryApply() {
  LogPrintf(L"Recovering previous session...");
  std::wstring snapshot = RecoverySnapshotPath();
  int result = snapshot.empty() ? -1 : ProjectOpen(snapshot.c_str());
  return ErrorSet(result, "RecoveryApply");
}
