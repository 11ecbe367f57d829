#pragma once
// The daily and manual release check against the vendor's release list.

// With anyRelease 0 only the release on the list's first line counts, with 1
// the larger of the first two. Returns that release number when it is newer
// than this build, 0 when it is not (or the list names no valid release),
// -1 when the list could not be read.
int GetAppUpdateAvailable(int anyRelease);
// The decision on a list already read (for tests and the check itself).
int ReleaseListNewest(const char* list, int anyRelease);
