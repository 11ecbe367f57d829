#pragma once
// What the previous session left behind: its log (read before the new log
// replaces it) and a crash extract, and whether its process still runs.
#include <cstdint>
#include <deque>
#include <string>

// Lines the session log header and the clean end write, found again by the
// next start.
inline constexpr const wchar_t* kSessionIdLine = L"Session ID: ";
inline constexpr const wchar_t* kProcessIdLine = L"Process ID: ";
inline constexpr const wchar_t* kSessionEndLine = L"[App End] Complete";
// While the start-up recovery question is open the log names the snapshot
// asked about, so a start after a kill can still offer it.
inline constexpr const wchar_t* kRecoveryAskingLine = L"Recovery question open for session ";
inline constexpr const wchar_t* kRecoveryAnsweredLine = L"Recovery question answered";

struct PreviousSessionLog {
  bool found = false;      // a previous log was there
  bool endedCleanly = false;
  bool hasSessionId = false;
  uint64_t sessionId = 0;
  int32_t processId = 0;
  // The session whose snapshot was being asked about when the log ended.
  bool hasPendingRecovery = false;
  uint64_t pendingRecoveryId = 0;
  std::deque<std::string> lines; // the last lines, for the crash report
};

constexpr size_t kReportMaxLines = 20000;

// Reads the log file (links refused), keeping at most maxLines last lines.
PreviousSessionLog ReadPreviousSessionLog(const std::string& path, size_t maxLines);
// The last lines of a text file (links refused); empty when missing.
std::deque<std::string> ReadLastLines(const std::string& path, size_t maxLines);
// True when the process runs and is this same program (not ourselves).
bool ProcessIsThisProgram(int32_t processId);
