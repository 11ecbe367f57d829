#include "engine/app/app_steps.h"

#include "engine/base/log.h"

// The text rings and utility tables are static; nothing to build or free.
int AppStepUtilitiesInit() { return 0; }
void AppStepUtilitiesEnd() {}

int AppStepDispObjBuffersInit() {
  LogPrintf(L"Display object buffers...");
  return 0; // DispObjInit: temporary-object lock and parameter buffers
}

void AppStepDispObjBuffersEnd() {} // DispObjEnd

int AppStepColourInit() {
  LogPrintf(L"Colour conversion...");
  return 0; // ColorConvInit
}

void AppStepColourEnd() {} // EndColorConv

int AppStepMediaHandlersInit() {
  LogPrintf(L"Media handlers...");
  return 0; // MediaHandlerInit (media/input_handler.h)
}

void AppStepMediaHandlersEnd() {} // MediaHandlerEnd

int AppStepPreviewInit() {
  LogPrintf(L"Previews...");
  return 0; // MainPreview and simple-preview tables
}

void AppStepPreviewEnd() {} // MainPreviewEnd and the simple previews

int AppStepRenderWorkersInit() {
  LogPrintf(L"Render workers...");
  return 0; // RenderFrameStartThreads
}

void AppStepRenderWorkersEnd() {} // render worker threads and buffers

int AppStepUndoInit() {
  LogPrintf(L"Undo files...");
  return 0; // UndoInit: snapshot names from the session id
}

int AppStepProjectNew() {
  LogPrintf(L"Empty project...");
  return 0; // ProjectNew
}

void AppStepTimelineViewEnd() {} // TimelineViewEnd

void AppStepProjectAndUndoEnd() {} // project tables and UndoEnd (deletes this session's snapshots)
