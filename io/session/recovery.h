#pragma once
// Crash recovery: the start-up scan of the previous session, the status the
// main window asks for, the crash report and reopening the previous
// session's recovery snapshot.
#include <string>

#include "io/files/recovery_snapshot.h"

constexpr int kRecoveryCrashed = 1000;
constexpr int kRecoveryStillRunning = 1001;

// Engine start, before the new session log replaces the previous one: reads
// that log and keeps what the report needs.
void RecoveryReadPreviousLog(const std::wstring& tempFolder);
// Engine start on a folder it could not lock: true when the previous
// session did not end cleanly and its process still runs.
bool RecoveryPreviousStillRunning();
// Engine start, after the system check: decides the previous session's
// state from what was read and removes the files of every ended session
// with nothing to offer; returns the state (0, 1000 or 1001).
int RecoveryScan();
// 1000 crashed and recoverable, 1001 still running and recoverable, else 0.
int RecoveryStatus();
// Sends the kept report (only when send is non-zero and the previous session
// crashed) and frees it in every case; 0, -1 or the HTTP client's code.
int RecoverySubmitReport(int send, const wchar_t* description);
// Opens the previous session's recovery snapshot, which becomes this
// session's (with the project's file and name); ProjectOpen's result, -1
// when there is none.
int RecoveryApply();
// The previous session's recovery snapshot when the scan found one, else
// empty.
std::wstring RecoverySnapshotPath();
// The file and name of the project in that snapshot (empty for a project
// never saved, or when there is no snapshot).
ProjectIdentity RecoveryProjectIdentity();
// The start-up question about a crashed session's snapshot opens: the log
// names that snapshot until the answer, so a start after a kill offers it.
void RecoveryQuestionOpen();
// The user answered and the answer is carried out: the snapshot asked about
// is deleted and the log says no start needs to offer it any more.
void RecoveryQuestionAnswered();
// The recovery question went unanswered (the program ended under it): the
// engine end hands the crashed session's snapshot on to the next start.
void RecoveryKeepForNextStart();
// Engine end: drops the kept state. A crashed session's snapshots are
// deleted, as no later start can offer them again, unless the question went
// unanswered: then the recovery snapshot becomes this session's own and true
// comes back, so this session must end without its clean-end line.
bool RecoveryEnd();

// Clears the undo state and opens a project file (the project files).
int ProjectOpen(const wchar_t* path);
