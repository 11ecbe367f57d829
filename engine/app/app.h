#pragma once
// Engine start and end. AppInit starts the engine services in a fixed order
// and returns 1, or a negative code recorded for ErrorShowLast (a non-zero
// apiMode fails with -1). After a failed start, AppEnd still ends whatever
// was started. AppEnd stops the engine in the reverse order and closes the
// session log with the line the next start looks for.
int AppInit(int apiMode);
int AppEnd();
