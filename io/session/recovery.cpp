#include "io/session/recovery.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <deque>
#include <mutex>
#include <new>

#include "base/error.h"
#include "base/identity.h"
#include "base/log.h"
#include "base/text.h"
#include "io/files/session.h"
#include "io/net/http_client.h"
#include "io/session/previous_session.h"

namespace {

constexpr size_t kCrashExtractMaxLines = 2000;
constexpr int32_t kReportTimeoutMs = 30000;

struct RecoveryState {
  std::mutex mutex;
  PreviousSessionLog previous;
  std::deque<std::string> crashExtract;
  std::wstring tempFolder;
  std::wstring snapshotPath;
  uint64_t snapshotId = 0; // the session the snapshot is named after
  int status = 0;
  bool reportKept = false; // until sent or discarded once
  bool keepForNextStart = false;
  bool questionOpen = false;
};

RecoveryState& State() {
  static RecoveryState state;
  return state;
}

bool fileExists(const std::wstring& path) { return access(WideToUtf8(path).c_str(), F_OK) == 0; }

void appendLines(std::string& text, const std::deque<std::string>& lines) {
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
}

// The form the vendor's report page takes: the product, the user's words and
// the previous session's log with any crash extract.
std::string reportForm(const RecoveryState& state, const wchar_t* description) {
  std::string desc = "User Desc: " + (description != nullptr ? WideToUtf8(description) : std::string("(null)"));
  std::string log = "Session ID: " + WideToUtf8(SessionIdText(state.previous.sessionId)) +
                    "\nProcess ID: " + std::to_string(state.previous.processId) + "\n\n";
  appendLines(log, state.previous.lines);
  if (!state.crashExtract.empty()) {
    log += "\nQV-Crash.log:\n";
    appendLines(log, state.crashExtract);
  }
  return "app=" + UrlEncode(WideToUtf8(GetAppName())) + "&version=" + UrlEncode(WideToUtf8(GetAppVersion())) +
         "&build=" + UrlEncode(WideToUtf8(GetAppBuildString())) + "&desc=" + UrlEncode(desc) +
         "&log=" + UrlEncode(log);
}

void freeReport(RecoveryState& state) {
  state.reportKept = false;
  std::deque<std::string>().swap(state.previous.lines);
  std::deque<std::string>().swap(state.crashExtract);
}

// The next start reads only this session's log, so the snapshot it can
// offer is the one named after this session. This session's own snapshot,
// if it kept one, is newer and wins.
bool handOnSnapshot(const RecoveryState& state) {
  const std::string from = WideToUtf8(RecoverySnapshotFile(state.snapshotId));
  const std::string to = WideToUtf8(RecoverySnapshotFile(SessionGetId()));
  if (access(to.c_str(), F_OK) == 0) return false;
  if (rename(from.c_str(), to.c_str()) != 0) {
    LogPrintf(L"Could not keep the previous session's project for the next start (%s)",
              Utf8ToWide(std::strerror(errno)).c_str());
    return false;
  }
  rename(WideToUtf8(RecoveryIdentityFile(state.snapshotId)).c_str(),
         WideToUtf8(RecoveryIdentityFile(SessionGetId())).c_str());
  return true;
}

// Every file of the session asked about, and of the session killed under
// the question (the blank project it had kept as its own). A snapshot
// handed on is named after this session by now and stays.
void dropSnapshots(const RecoveryState& state) {
  SessionRemoveFiles([&state](uint64_t id) { return id == state.snapshotId || id == state.previous.sessionId; });
}

// Files of sessions that ended and left nothing a start can offer: a kill
// leaves the undo files and the project's name behind, and work that a
// start opened on a file did not ask about is no later start's to offer.
// The session offered, and the one killed while asking about it, keep
// theirs until the answer. Without the folder's lock only the previous
// session is known to be gone: the start has checked its process.
void dropEndedSessions(const RecoveryState& state) {
  const uint64_t own = SessionGetId();
  const bool offered = state.status == kRecoveryCrashed;
  const bool owner = SessionOwnsTempFolder();
  const PreviousSessionLog& previous = state.previous;
  const int removed = SessionRemoveFiles([&](uint64_t id) {
    if (id == own || (offered && (id == state.snapshotId || id == previous.sessionId))) return false;
    return owner || (previous.hasSessionId && id == previous.sessionId);
  });
  if (removed > 0) LogPrintf(L"Removed %d files of ended sessions", removed);
}

} // namespace

void RecoveryReadPreviousLog(const std::wstring& tempFolder) {
  PreviousSessionLog previous = ReadPreviousSessionLog(WideToUtf8(tempFolder + L"QV2-log.csv"), kReportMaxLines);
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.previous = std::move(previous);
  state.crashExtract.clear();
  state.tempFolder = tempFolder;
  state.snapshotPath.clear();
  state.snapshotId = 0;
  state.status = 0;
  state.reportKept = state.previous.found;
  state.keepForNextStart = false;
  state.questionOpen = false;
}

int RecoveryScan() {
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const PreviousSessionLog& previous = state.previous;
  state.status = 0;
  if (!previous.found || !previous.hasSessionId) {
    LogPrintf(L"Previous session: no log to check");
  } else if (previous.endedCleanly) {
    LogPrintf(L"Previous session %s ended cleanly", SessionIdText(previous.sessionId).c_str());
  } else {
    // The start owns the folder, so the process that wrote the log is gone.
    uint64_t snapshotId = previous.sessionId;
    std::wstring snapshot = RecoverySnapshotFile(snapshotId);
    LogPrintf(L"Previous session %s (process %d) did not end cleanly", SessionIdText(previous.sessionId).c_str(),
              static_cast<int>(previous.processId));
    // Killed under the recovery question, it left the project it was asking
    // about where it was: that is the work to offer now, not the blank
    // project it had started with.
    std::wstring asked = previous.hasPendingRecovery ? RecoverySnapshotFile(previous.pendingRecoveryId) : L"";
    if (!asked.empty() && fileExists(asked)) {
      snapshotId = previous.pendingRecoveryId;
      snapshot = asked;
      LogPrintf(L"It was asking whether to recover session %s", SessionIdText(snapshotId).c_str());
    }
    if (fileExists(snapshot)) {
      state.snapshotPath = snapshot;
      state.snapshotId = snapshotId;
      state.status = kRecoveryCrashed;
    }
  }
  // A crash extract belongs to the session that just ended; later starts
  // must not report it again.
  if (!state.tempFolder.empty()) {
    std::string extract = WideToUtf8(state.tempFolder + L"QV-Crash.log");
    if (state.status != 0) state.crashExtract = ReadLastLines(extract, kCrashExtractMaxLines);
    unlink(extract.c_str());
  }
  dropEndedSessions(state);
  if (state.status == 0) freeReport(state);
  return state.status;
}

int RecoveryStatus() {
  int status;
  {
    RecoveryState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    status = state.status;
  }
  if (status == kRecoveryCrashed) LogPrintf(L"Previous session appears to have crashed and is recoverable.");
  if (status == kRecoveryStillRunning) {
    LogPrintf(L"Previous session appears to still be running, but is also recoverable.");
  }
  return ErrorSet(status, "RecoveryStatus");
}

int RecoverySubmitReport(int send, const wchar_t* description) {
  RecoveryState& state = State();
  std::unique_lock<std::mutex> lock(state.mutex);
  int code = 0;
  if (send != 0 && state.status == kRecoveryCrashed && state.reportKept) {
    std::string form;
    try {
      form = reportForm(state, description);
    } catch (const std::bad_alloc&) {
      code = -1;
    }
    freeReport(state);
    lock.unlock();
    if (code == 0) {
      std::string base = NetGetServerBase();
      std::string reply;
      LogPrintf(L"Sending crash report (%d bytes)", static_cast<int>(form.size()));
      code = base.empty() ? kErrNetwork : HttpPostForm(base + "BugMail.php", form, kReportTimeoutMs, reply);
    }
  } else {
    freeReport(state);
  }
  return ErrorSet(code, "RecoverySubmitReport");
}

bool RecoveryPreviousStillRunning() {
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.previous.found && !state.previous.endedCleanly && ProcessIsThisProgram(state.previous.processId);
}

ProjectIdentity RecoveryProjectIdentity() {
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.snapshotPath.empty() ? ProjectIdentity() : RecoveryReadProjectIdentity(state.snapshotId);
}

std::wstring RecoverySnapshotPath() {
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.snapshotPath;
}

void RecoveryQuestionOpen() {
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.status != kRecoveryCrashed) return;
  state.questionOpen = true;
  LogPrintf(L"%s%s", kRecoveryAskingLine, SessionIdText(state.snapshotId).c_str());
}

void RecoveryQuestionAnswered() {
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.questionOpen) return;
  state.questionOpen = false;
  // Recovered work is this session's own snapshot by now; declined work is
  // gone by the user's word. Either way no later start may offer it.
  dropSnapshots(state);
  state.snapshotPath.clear();
  LogPrintf(L"%s", kRecoveryAnsweredLine);
}

void RecoveryKeepForNextStart() {
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.status != kRecoveryCrashed) return;
  state.keepForNextStart = true;
  LogPrintf(L"Recovery question unanswered: the previous session's project is kept for the next start");
}

bool RecoveryEnd() {
  RecoveryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  bool handedOn = false;
  if (state.status == kRecoveryCrashed && state.snapshotId != 0) {
    if (state.keepForNextStart) handedOn = handOnSnapshot(state);
    dropSnapshots(state);
  }
  freeReport(state);
  state.previous = PreviousSessionLog();
  state.snapshotPath.clear();
  state.snapshotId = 0;
  state.status = 0;
  state.keepForNextStart = false;
  state.questionOpen = false;
  return handedOn;
}
