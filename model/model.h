#pragma once
// Start, end and reset of the model tables.
#include <cstdint>

// Display-object buffers and the temporary object's lock; called by AppInit
// after the access lock is up. 0 or a negative code.
int ModelInit();
// Frees every block; called by AppEnd before the locks go.
void ModelEnd();
// Empties inputs, display objects, segments and project settings (the
// default speed unit is kept). The caller holds the write access and has
// closed the inputs' media first (ModelCloseInputs).
void ModelClear();
// Closes the media slot of every input (media layer), table left as is.
void ModelCloseInputs();
