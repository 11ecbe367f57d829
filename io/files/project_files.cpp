#include "io/files/project_files.h"

#include <memory>
#include <vector>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/file_io.h"
#include "base/log.h"
#include "io/files/project_format.h"
#include "io/files/recovery_snapshot.h"
#include "io/files/undo.h"
#include "model/model.h"

int ProjectLoadFile(const std::wstring& path, const char* who, RecordFault* fault) {
  std::vector<uint8_t> bytes;
  int code = FileReadAll(path, kMaxProjectBytes, bytes);
  if (code != 0) return code;
  auto image = std::make_unique<ProjectImage>();
  code = ProjectDecode(bytes.data(), bytes.size(), *image);
  if (code == 0) code = ProjectValidate(*image, fault);
  if (code != 0) return code;
  bytes = std::vector<uint8_t>();
  WriteAccess access(who);
  ProjectImageInstall(*image);
  return 0;
}

int ProjectSaveFile(const std::wstring& path, const char* who, bool durable) {
  auto image = std::make_unique<ProjectImage>();
  {
    ReadAccess access(who);
    ProjectImageCapture(*image);
  }
  std::vector<uint8_t> bytes;
  int code = ProjectEncode(*image, bytes);
  image.reset();
  if (code == 0) code = FileWriteAtomic(path, bytes.data(), bytes.size(), durable);
  return code;
}

int ProjectNew() {
  WriteAccess access("ProjectNew");
  ModelCloseInputs();
  ModelClear();
  RecoverySnapshotDiscard();
  return ErrorSet(0, "ProjectNew");
}

int ProjectOpen(const wchar_t* path) {
  if (path == nullptr || path[0] == 0) return ErrorSet(-21, "ProjectOpen");
  LogPrintf(L"Opening project '%s'", path);
  RecordFault fault;
  const int code = ProjectLoadFile(path, "ProjectOpen", &fault);
  // A file that did not open leaves the project, and so its undo and its
  // recovery, as it was.
  if (code == 0) {
    UndoReset();
    RecoverySnapshotDiscard();
  }
  return ErrorSetDetail(code, "ProjectOpen", RecordFaultText(fault));
}

int ProjectSave(const wchar_t* path) {
  if (path == nullptr || path[0] == 0) return ErrorSet(-21, "ProjectSave");
  LogPrintf(L"Saving project '%s'", path);
  return ErrorSet(ProjectSaveFile(path, "ProjectSave"), "ProjectSave");
}
