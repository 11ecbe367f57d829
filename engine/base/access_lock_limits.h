#pragma once
// The wait limits of the access lock, in ms: writer gate 5000, readers
// draining 5000, reader lock 2000. Tests shorten them to reach the time-out
// paths without waiting seconds; the engine never changes them.
void AccessSetWaitLimits(int writerGateMs, int readerDrainMs, int readerLockMs);
void AccessResetWaitLimits();
