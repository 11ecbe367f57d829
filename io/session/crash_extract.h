#pragma once
// The crash extract "QV-Crash.log": on a fatal signal the engine writes the
// signal and a backtrace into the temporary folder, for the next start's
// crash report. The signal then takes its previous course.
#include <string>

void CrashExtractInstall(const std::wstring& tempFolder);
void CrashExtractRemove();
