#pragma once
// Single-level undo by snapshot files in the temporary folder, named by the
// session identifier (UndoSnapshotPath): the undo snapshot holds the
// project before the coming change; a toggle saves the current project as
// the other snapshot and reopens the saved one, so toggling again redoes.

// Saves the whole project as the undo snapshot; 0 or -82.
int UndoSave();
// Swaps the current project with the last checkpoint; 0, -1 when no
// checkpoint was taken since the project was opened, or the code of the
// failed save or open (the project then stays as it was).
int UndoToggle();
// Forgets the checkpoint (a project was opened).
void UndoReset();
// Engine end: deletes this session's snapshots.
void UndoEnd();
