#pragma once
// Engine start and end. AppInit starts the engine services in a fixed order
// and returns 1, or a negative code recorded for ErrorShowLast (a non-zero
// apiMode fails with -1). After a failed start, AppEnd still ends whatever
// was started. AppEnd stops the engine in the reverse order and closes the
// session log with the line the next start looks for.
int AppInit(int apiMode);
int AppEnd();
// AppEnd for an end the user did not choose (the desktop session ending)
// while the project has unsaved changes: the recovery snapshot stays and the log
// does not end as a clean end does, so the next start offers the project
// back as after a crash.
int AppEndKeepingRecovery();
