#pragma once
// How long a wait for the access lock goes before it is logged (and logged
// again): 5000 ms. Tests shorten it to reach the logging without waiting
// seconds; the engine never changes it.
void AccessSetWaitLogInterval(int ms);
void AccessResetWaitLogInterval();

// How many writes ended while the calling thread's last outermost read or
// write waited for its turn: the lock's fairness in turns, which no busy
// machine can blur the way it blurs waiting times.
int AccessLastWaitWrites();

// How many writers (or readers) wait for their turn now, so a test can order
// its threads by the lock's own state rather than by sleeping.
int AccessWaiting(bool writers);
