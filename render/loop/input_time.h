#pragma once
// When an input plays in the project: project time to the input's own time.
#include <cstdint>

// True when the input has started at the project time and (unless it is a
// still image) has not ended; *inputTime receives the time inside its file.
// Callers hold the access lock.
bool InputPlaysAt(uint32_t input, double projectTime, double* inputTime);
// The input's time for the project time, whether or not it plays then.
double InputTimeAt(uint32_t input, double projectTime);
// The project time from which the input plays, and the one at which it has
// stopped: [*from, *to), infinite for a free still image. A member of a
// join plays for its span in the join and no longer, as the join's own
// picture and sound have it. False when it never plays.
bool InputPlaySpan(uint32_t input, double* from, double* to);
