#include "base/error_codes.h"

#include <iterator>

#include "base/error.h"

namespace {

struct CodeText {
  int code;
  const wchar_t* text;
};

// Every code the engine records, with the text the user sees. Kept sorted by
// code (a test checks it).
constexpr CodeText kCodeTexts[] = {
    {kErrSegmentTime,
     L"The segment time must be 0 or more and lie after the start of the display object."},
    {kErrNothingToRender,
     L"The project's length is zero, so there is nothing to render. Add a video or sound input, or set "
     L"the project length, and try again."},
    {kErrOutputIsInput,
     L"The video cannot be written to this file: it is one of the project's inputs, and the video would "
     L"overwrite it. Please choose another name for the video file."},
    {kErrUnsupported, L"Unrecognized or unsupported file format"},
    {kErrNoData, L"The input has no data log."},
    {kErrNetwork, L"The network connection could not be set up."},
    {kErrStopped, L"The operation was stopped."},
    {kErrEndOfData, L"End of file"},
    {kErrValue, L"The file holds a value that is out of range."},
    {kErrNewer, L"The file was made by a newer release of the program."},
    {kErrHeader, L"The file is not of the expected kind."},
    {kErrIntegrity, L"The file is damaged (integrity check failed)."},
    {kErrWrite, L"Unable to write file"},
    {kErrRead, L"Unable to read file"},
    {kErrOpen, L"Unable to open file"},
    {kErrIndex, L"Index out of range"},
    {kErrTableFull, L"The table is full."},
    {kErrNoThread, L"Unable to create thread"},
    {kErrNoObject, L"Object creation failed"},
    {kErrNoMemory, L"Out of memory"},
    {kErrBadArg, L"Invalid parameter"},
    {kErrTimeout, L"Timeout"},
    {kErrAlreadyRunning, L"The program is already running."},
    {kErrLocked, L"This object cannot be changed."},
    {kErrSegmentExists, L"A segment already starts at that time."},
    {kErrName, L"The name is empty or already in use."},
    {kErrNotReady, L"The engine is not ready."},
    {kErrFailed, L"The operation failed."},
    {kNoticeProjectConverted,
     L"This project was made by an older version of the program and has been converted. "
     L"It will be saved under a new name."},
    {kNoticeProjectConvertedNoTimeline,
     L"This project was made by an older version of the program and has been converted "
     L"without its timeline. It will be saved under a new name."},
    {kNoticeMultiPart, L"This file is part of a multi-file set."},
    {kNoticeRecoveryCrashed, L"Previous session appears to have crashed and is recoverable."},
    {kNoticeRecoveryRunning,
     L"Previous session appears to still be running, but is also recoverable."},
};

}  // namespace

const wchar_t* ErrorTableLookup(int code) {
  for (const CodeText& entry : kCodeTexts) {
    if (entry.code == code) return entry.text;
  }
  return nullptr;
}

int ErrorTableSize() { return static_cast<int>(std::size(kCodeTexts)); }

int ErrorTableCode(int index) {
  if (index < 0 || index >= ErrorTableSize()) return 0;
  return kCodeTexts[index].code;
}
