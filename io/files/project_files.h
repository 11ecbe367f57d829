#pragma once
// Opening and saving project files. ProjectOpen (declared with the recovery
// routines in io/session/recovery.h) and ProjectSave are the facade; the
// two helpers below serve undo snapshots, which must not reset the undo
// state, under the caller's routine name.
#include <string>

#include "model/record_check.h"

// Closes the current project and starts an empty one (its recovery
// snapshot goes with it).
int ProjectNew();
// Clears the undo state and opens a project file: 0, or a negative code
// with the open project left exactly as it was.
int ProjectOpen(const wchar_t* path);
// Writes the project file; 0 or -82 (a previous file stays intact).
int ProjectSave(const wchar_t* path);

// Reads, checks and installs a project file; 0 or a negative code (-86
// with the number out of range named in fault). Takes write access under
// the given name only once the file has passed.
int ProjectLoadFile(const std::wstring& path, const char* who, RecordFault* fault = nullptr);
// Copies the model under read access and writes it; 0 or -82. Undo
// snapshots pass durable false: they are taken before every edit and only
// have to outlive a crash of the process.
int ProjectSaveFile(const std::wstring& path, const char* who, bool durable = true);
