#pragma once
// The engine's status codes and its record of the last result.
// 0 success, negative error, positive notice for the user.
#include <cstdint>
#include <string>

enum QvCode : int {
  kOk = 0,
  kErrFailed = -1,
  kErrNotReady = -2,
  kErrName = -10,          // name empty or already used
  kErrSegmentExists = -11, // a segment already starts at that time
  kErrLocked = -12,        // the object cannot be changed
  kErrAlreadyRunning = -13, // another process owns the engine's folder
  kErrTimeout = -20,
  kErrBadArg = -21, // no object, index 255 / 0xFFFFFFFF, null pointer
  kErrNoMemory = -22,
  kErrNoObject = -23, // platform object not created
  kErrNoThread = -24,
  kErrTableFull = -40,
  kErrIndex = -41,
  kErrOpen = -80,
  kErrRead = -81,
  kErrWrite = -82,
  kErrIntegrity = -83,
  kErrHeader = -84,
  kErrNewer = -85,
  kErrValue = -86, // a file holds a number outside what its field allows
  kErrEndOfData = -89,
  kErrNetwork = -120,
  kErrNoData = -140, // the input has no data log / unsupported handler
  kErrUnsupported = -141,
  kErrOutputIsInput = -142,   // the output file is one of the project's inputs
  kErrNothingToRender = -143, // the project's length is zero
  kErrSegmentTime = -200,
  kErrStopped = -99, // a stop request handed through a result channel
  // Notices: shown with the information icon.
  kNoticeProjectConverted = 92,             // version-1 project, with its timeline
  kNoticeProjectConvertedNoTimeline = 93,   // version-1 project, timeline dropped
  kNoticeMultiPart = 150,                   // the file is one part of a recording set
  kNoticeRecoveryCrashed = 1000,            // previous session crashed, recoverable
  kNoticeRecoveryRunning = 1001,            // previous session still running
};

// Records the code as the calling thread's last result together with the routine's
// name (at most 63 characters kept) and logs "[Code] %d '%S'" for a non-zero
// code unless the name is "*NO LOG*". Returns the code.
int ErrorSet(int code, const char* routineName);
int ErrorGetLast();
// ErrorSet with a line saying what exactly was wrong (which field of a file,
// with its value); logged, and shown under the code's text. ErrorSet clears it.
int ErrorSetDetail(int code, const char* routineName, const std::wstring& detail);
const wchar_t* ErrorGetLastDetail();
// Copies the routine name of the last result (at most size - 1 bytes).
void ErrorGetLastLocation(char* buffer, uint32_t size);
// The code's text from the one table of the engine, or a generic
// "Unknown error (%d)" text kept in a ring buffer.
const wchar_t* ErrorGetText(int code);
// Shows the code's text through the message box; ErrorShowLast adds, for
// errors, "Error Code: %d" and "Location: " with the routine's name.
void ErrorShow(int code);
void ErrorShowAt(int code, const char* location);
void ErrorShowLast();
// Logs "[Disp] '%s'" and shows the text with those message-box flags.
void MessageShow(const wchar_t* text, int flags);
