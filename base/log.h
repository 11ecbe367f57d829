#pragma once
// The session log: "QV2-log.csv" in the engine's temporary folder, one line
// per message ("local date time","message", its line breaks written as \r
// and \n), rotated at each start to "QV2-log-old.csv".
//
// Formats are printf-like with two engine conventions: "%s" takes engine
// wide text (const wchar_t*) and "%S" takes narrow UTF-8 text (const char*).
// Messages are cut at 4095 characters.
#include <cstdarg>
#include <functional>
#include <string>

// Rotates the previous log and opens a new one in the folder; 0 or -80.
int LogOpen(const wchar_t* folder);
void LogClose();
void LogPrintf(const wchar_t* format, ...);
void LogPrintfV(const wchar_t* format, va_list args);
// Debug level: formatted, then dropped.
void LogDebug(const wchar_t* format, ...);
// Full paths of the current and previous log (empty before LogOpen).
const wchar_t* LogGetPath();
const wchar_t* LogGetOldPath();
// Writes both logs into "QV-LogOutput.txt" (at most 1,000,000 bytes) in the
// temporary folder and opens it with the installed viewer, else in the
// desktop's text viewer (xdg-open, or the program named by $QV_LOG_VIEWER);
// 0 or a code (of the writing: opening is the viewer's to report).
int ShowLog();
// How ShowLog opens the file: the user interface installs a viewer that
// tells the user when the file cannot be opened. Null puts the default back.
using ShowLogViewer = std::function<void(const std::wstring& path)>;
void ShowLogViewerInstall(ShowLogViewer viewer);
// Path of the diagnostic file ShowLog writes (empty before LogOpen).
const wchar_t* LogGetOutputPath();
