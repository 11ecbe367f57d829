#include <atomic>
#include <string>

#include "app/app.h"
#include "app/app_state.h"
#include "app/app_steps.h"
#include "base/access_lock.h"
#include "base/error.h"
#include "base/identity.h"
#include "base/log.h"
#include "base/sync.h"
#include "io/files/session.h"
#include "io/net/http_client.h"
#include "io/session/crash_extract.h"
#include "io/session/previous_session.h"
#include "io/session/recovery.h"
#include "platform/system/system_info.h"

namespace {

std::atomic<int> appLevel{0};

// The step that failed has recorded its code; a step that did not gets it
// recorded here, so that ErrorShowLast names the failure.
int startFailed(int code, const char* step) {
  LogPrintf(L"[App Init] %S failed with code %d", step, code);
  if (ErrorGetLast() != code) ErrorSet(code, step);
  return code;
}

void logSessionHeader(uint64_t sessionId, const std::wstring& tempFolder) {
  LogPrintf(L"[App Init] %s %s (Build %s)", GetAppName(), GetAppVersion(), GetAppBuildString());
  LogPrintf(L"%s%s", kSessionIdLine, SessionIdText(sessionId).c_str());
  LogPrintf(L"%s%d", kProcessIdLine, static_cast<int>(GetProcessID()));
  LogPrintf(L"Temp Folder: %s", tempFolder.c_str());
  LogPrintf(L"Thread/event layer and utilities ready");
}

// Opens the session: identifier, folder (claimed, so that no other process
// uses its files meanwhile), the previous log read before the new one
// replaces it, then the new log. Nothing in the folder is touched when
// another running process owns it.
int startSession() {
  uint64_t sessionId = SessionBegin();
  std::wstring tempFolder = SessionChooseTempFolder();
  const int claim = SessionClaimTempFolder();
  if (claim < 0) return claim;
  RecoveryReadPreviousLog(tempFolder);
  if (claim > 0 && RecoveryPreviousStillRunning()) return kErrAlreadyRunning;
  AppSetLevel(AppLevel::kSession);
  // Without a log file the engine still runs; lines then go to stderr.
  int logResult = LogOpen(tempFolder.c_str());
  AppSetLevel(AppLevel::kLog);
  logSessionHeader(sessionId, tempFolder);
  if (claim > 0) LogPrintf(L"[App Init] The temporary folder could not be locked");
  if (logResult != 0) LogPrintf(L"[App Init] Session log could not be opened (%d)", logResult);
  CrashExtractInstall(tempFolder);
  return 0;
}

using StepFn = int (*)();

struct ServiceStep {
  const char* name;
  StepFn start;
  AppLevel reached;
};

int startNetwork() {
  LogPrintf(L"Network client...");
  return NetInit();
}

int startLocks() {
  LogPrintf(L"Access locks...");
  return AccessInit();
}

// Steps after the previous-session scan, in the order the engine needs them.
const ServiceStep kServiceSteps[] = {
    {"AccessInit", startLocks, AppLevel::kLocks},
    {"DispObjInit", AppStepDispObjBuffersInit, AppLevel::kDispObjBuffers},
    {"NetInit", startNetwork, AppLevel::kNetwork},
    {"ColorConvInit", AppStepColourInit, AppLevel::kColour},
    {"MediaHandlerInit", AppStepMediaHandlersInit, AppLevel::kMediaHandlers},
    {"PreviewInit", AppStepPreviewInit, AppLevel::kPreview},
    {"RenderInit", AppStepRenderWorkersInit, AppLevel::kRenderWorkers},
    {"UndoInit", AppStepUndoInit, AppLevel::kUndo},
    {"ProjectNew", AppStepProjectNew, AppLevel::kProject},
};

} // namespace

AppLevel AppGetLevel() { return static_cast<AppLevel>(appLevel.load()); }
void AppSetLevel(AppLevel level) { appLevel.store(static_cast<int>(level)); }

int AppInit(int apiMode) {
  if (apiMode != 0) return ErrorSet(-1, "AppInit");
  if (AppGetLevel() != AppLevel::kStopped) {
    LogPrintf(L"[App Init] The engine is already started");
    return ErrorSet(-1, "AppInit");
  }
  int code = SyncInit();
  if (code < 0) return startFailed(code, "SyncInit");
  AppSetLevel(AppLevel::kSync);
  AppStepUtilitiesInit();
  AppSetLevel(AppLevel::kUtilities);
  code = startSession();
  if (code < 0) return startFailed(code, "SessionClaimTempFolder");

  MacVerAtLeast108 = 0;
  MacVerAtLeast109 = 0;
  code = CheckMacVer();
  if (code < 0) return startFailed(code, "CheckMacVer");
  AppSetLevel(AppLevel::kSystemChecked);
  RecoveryScan();
  AppSetLevel(AppLevel::kPreviousScanned);

  for (const ServiceStep& step : kServiceSteps) {
    code = step.start();
    if (code < 0) return startFailed(code, step.name);
    AppSetLevel(step.reached);
  }
  LogPrintf(L"[App Init] Complete");
  ErrorSet(0, "AppInit");
  return 1;
}
