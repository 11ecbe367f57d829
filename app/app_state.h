#pragma once
// How far engine start got, so that engine end undoes exactly that.
enum class AppLevel : int {
  kStopped = 0,
  kSync,
  kUtilities,
  kSession,
  kLog,
  kSystemChecked,
  kPreviousScanned,
  kLocks,
  kDispObjBuffers,
  kNetwork,
  kColour,
  kMediaHandlers,
  kPreview,
  kRenderWorkers,
  kUndo,
  kProject,
};

AppLevel AppGetLevel();
void AppSetLevel(AppLevel level);
inline bool AppReached(AppLevel level) { return static_cast<int>(AppGetLevel()) >= static_cast<int>(level); }
