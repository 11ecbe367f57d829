#include "app/app_steps.h"

#include "base/log.h"
#include "io/files/project_files.h"
#include "io/files/recovery_snapshot.h"
#include "io/files/undo.h"
#include "model/model.h"
#include "model/project.h"
#include "media/input_handler.h"
#include "platform/media/colour_convert.h"
#include "render/compositor/compositor.h"
#include "render/loop/render.h"
#include "render/preview/previews_init.h"
#include "render/preview/timeline_view.h"

// The text rings and utility tables are static; nothing to build or free.
int AppStepUtilitiesInit() { return 0; }
void AppStepUtilitiesEnd() {}

int AppStepDispObjBuffersInit() {
  LogPrintf(L"Display object buffers...");
  return ModelInit();
}

void AppStepDispObjBuffersEnd() {
  LogPrintf(L"Display object buffers");
  ModelEnd();
}

int AppStepColourInit() {
  LogPrintf(L"Colour conversion...");
  ColorConvInit();
  return 0; // without workers the conversion runs on the caller
}

void AppStepColourEnd() {
  LogPrintf(L"Colour conversion");
  EndColorConv();
}

int AppStepMediaHandlersInit() {
  LogPrintf(L"Media handlers...");
  return MediaHandlerInit();
}

void AppStepMediaHandlersEnd() {
  LogPrintf(L"Media handlers");
  MediaHandlerEnd();
}

int AppStepPreviewInit() {
  LogPrintf(L"Previews...");
  return PreviewsInit();
}

void AppStepPreviewEnd() {
  LogPrintf(L"Previews");
  PreviewsEnd();
}

int AppStepRenderWorkersInit() {
  LogPrintf(L"Render workers...");
  return RenderWorkersInit();
}

void AppStepRenderStop() {
  LogPrintf(L"Stopping render loop");
  RenderStop(2000);
}

void AppStepRenderWorkersEnd() {
  LogPrintf(L"Render workers");
  RenderEnd();
  RenderWorkersEnd();
}

// Snapshot names come from the session id; nothing to create until the
// first checkpoint or change.
int AppStepUndoInit() {
  LogPrintf(L"Undo files...");
  RecoverySnapshotStart();
  return 0;
}

int AppStepProjectNew() {
  LogPrintf(L"Empty project...");
  int code = ProjectNew();
  return code < 0 ? code : 0;
}

void AppStepTimelineViewEnd() {
  LogPrintf(L"Timeline view");
  TimelineViewEnd();
}

void AppStepProjectAndUndoEnd(bool keepSnapshots) {
  LogPrintf(L"Project and undo files");
  ModelCloseInputs();
  ModelClear();
  UndoEnd();
  RecoverySnapshotEnd(keepSnapshots);
}
