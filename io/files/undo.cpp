#include "io/files/undo.h"

#include <unistd.h>

#include <mutex>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/session.h"

namespace {

constexpr int kUndoFile = 0;
constexpr int kRedoFile = 1;

struct UndoState {
  std::mutex mutex;
  bool checkpoint = false;
  int next = kUndoFile; // the snapshot the next toggle reopens
};

UndoState& State() {
  static UndoState state;
  return state;
}

std::wstring Snapshot(int which) { return UndoSnapshotPath(SessionGetId(), which); }

} // namespace

int UndoSave() {
  UndoState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const int code = ProjectSaveFile(Snapshot(kUndoFile), "UndoSave", false);
  if (code == 0) {
    state.checkpoint = true;
    state.next = kUndoFile;
  }
  return ErrorSet(code, "UndoSave");
}

int UndoToggle() {
  UndoState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.checkpoint) return ErrorSet(-1, "UndoToggle");
  // The whole swap under one write access: nobody sees the project between
  // the save and the reopen.
  ChangeAccess access("UndoToggle");
  const int other = state.next == kUndoFile ? kRedoFile : kUndoFile;
  int code = ProjectSaveFile(Snapshot(other), "UndoToggle", false);
  if (code == 0) code = ProjectLoadFile(Snapshot(state.next), "UndoToggle");
  if (code == 0) state.next = other;
  return ErrorSet(code, "UndoToggle");
}

void UndoReset() {
  UndoState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.checkpoint = false;
  state.next = kUndoFile;
}

void UndoEnd() {
  UndoReset();
  unlink(WideToUtf8(Snapshot(kUndoFile)).c_str());
  unlink(WideToUtf8(Snapshot(kRedoFile)).c_str());
}
