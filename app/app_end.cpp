#include <optional>

#include "app/app.h"
#include "app/app_state.h"
#include "app/app_steps.h"
#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "base/sync.h"
#include "io/files/session.h"
#include "io/net/http_client.h"
#include "io/net/transfer.h"
#include "io/session/crash_extract.h"
#include "io/session/previous_session.h"
#include "io/session/recovery.h"

namespace {

// Everything that works on the model tables stops under write access, so no
// reader sees a half-ended engine. True when a snapshot stays for the next
// start's recovery.
bool endServices(bool keepRecovery) {
  bool kept = keepRecovery;
  if (AppReached(AppLevel::kRenderWorkers)) AppStepRenderStop();
  std::optional<WriteAccess> access;
  if (AppReached(AppLevel::kLocks)) access.emplace("AppEnd");
  if (AppReached(AppLevel::kRenderWorkers)) {
    LogPrintf(L"Render...");
    AppStepRenderWorkersEnd();
  }
  if (AppReached(AppLevel::kPreview)) {
    LogPrintf(L"Preview...");
    AppStepPreviewEnd();
  }
  if (AppReached(AppLevel::kLocks)) {
    LogPrintf(L"Timeline view...");
    AppStepTimelineViewEnd();
  }
  if (AppReached(AppLevel::kPreviousScanned)) {
    LogPrintf(L"Project and undo...");
    if (AppReached(AppLevel::kUndo)) AppStepProjectAndUndoEnd(keepRecovery);
    if (RecoveryEnd()) kept = true;
  }
  if (AppReached(AppLevel::kMediaHandlers)) {
    LogPrintf(L"Media handlers...");
    AppStepMediaHandlersEnd();
  }
  if (AppReached(AppLevel::kColour)) {
    LogPrintf(L"Colour conversion...");
    AppStepColourEnd();
  }
  if (AppReached(AppLevel::kNetwork)) {
    LogPrintf(L"Network...");
    TransferEnd();
    NetEnd();
  }
  if (AppReached(AppLevel::kDispObjBuffers)) {
    LogPrintf(L"Display objects...");
    AppStepDispObjBuffersEnd();
  }
  return kept;
}

// Without keepRecovery the log ends with the line the next start takes for
// a clean end; with it, the recovery snapshot stays and that line is left out,
// so the next start offers the project back.
int endEngine(bool keepRecovery) {
  if (AppGetLevel() == AppLevel::kStopped) return 0;
  if (AppReached(AppLevel::kLog)) LogPrintf(L"[App End]");
  // An unanswered recovery question keeps a snapshot too.
  keepRecovery = endServices(keepRecovery);
  if (AppReached(AppLevel::kLocks)) {
    LogPrintf(L"Locks...");
    AccessEnd();
  }
  if (AppReached(AppLevel::kLog)) {
    // The last line: the next start reads it as a clean end.
    if (keepRecovery) LogPrintf(L"[App End] Unsaved changes kept for recovery");
    else LogPrintf(L"%s", kSessionEndLine);
    LogClose();
  }
  if (AppReached(AppLevel::kSession)) CrashExtractRemove();
  AppStepUtilitiesEnd();
  SyncEnd();
  AppSetLevel(AppLevel::kStopped);
  // Last: a start waiting for the folder may take it from here on.
  SessionReleaseTempFolder();
  return ErrorSet(0, keepRecovery ? "AppEndKeepingRecovery" : "AppEnd");
}

} // namespace

int AppEnd() { return endEngine(false); }

int AppEndKeepingRecovery() { return endEngine(true); }
