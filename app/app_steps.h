#pragma once
// The steps of engine start and end that belong to other parts of the
// engine; each logs itself. Start steps return 0 or a negative code.
int AppStepUtilitiesInit();
void AppStepUtilitiesEnd();
int AppStepDispObjBuffersInit();
void AppStepDispObjBuffersEnd();
int AppStepColourInit();
void AppStepColourEnd();
int AppStepMediaHandlersInit();
void AppStepMediaHandlersEnd();
int AppStepPreviewInit();
void AppStepPreviewEnd();
int AppStepRenderWorkersInit();
// Stops a running render loop; called before the end takes write access,
// which the loop needs (read access) to finish its frame.
void AppStepRenderStop();
void AppStepRenderWorkersEnd();
int AppStepUndoInit();
int AppStepProjectNew();
void AppStepTimelineViewEnd();
// keepSnapshots: the recovery snapshot stays for the next start.
void AppStepProjectAndUndoEnd(bool keepSnapshots);
