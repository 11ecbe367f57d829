// Writing a template: records are gathered in memory while the window adds
// them and the file is written whole, through a temporary, on close.
#include <memory>
#include <mutex>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/file_io.h"
#include "base/log.h"
#include "io/files/picture24.h"
#include "io/files/template_format.h"
#include "io/files/templates.h"
#include "io/files/written_files.h"
#include "model/dispobj_internal.h"
#include "model/input_internal.h"
#include "model/input_table.h"
#include "model/model_text.h"
#include "model/param_check.h"
#include "model/record_check.h"

namespace {

struct Export {
  AtomicFile file;
  TemplateImage image;
  std::wstring path;
};

std::mutex g_mutex;
std::unique_ptr<Export> g_export;

// The kind of input a template names: joins count as what they join.
uint8_t TemplateType(uint8_t type) {
  switch (type) {
  case kInputVideo:
  case kInputJoinVideo: return kInputVideo;
  case kInputAudio:
  case kInputJoinAudio: return kInputAudio;
  case kInputImage: return kInputImage;
  case kInputData:
  case kInputJoinData: return kInputData;
  default: return 0;
  }
}

} // namespace

int TemplateExportOpen(const wchar_t* path) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_export.reset();
  if (path == nullptr || path[0] == 0) return ErrorSet(-21, "TemplateExportOpen");
  auto started = std::make_unique<Export>();
  const int code = started->file.Create(path);
  if (code != 0) return ErrorSet(code, "TemplateExportOpen");
  started->path = path;
  {
    ReadAccess access("TemplateExportOpen");
    started->image.Thumbnail = Picture24Render(kNoDispObj, kThumbWidth, kThumbHeight);
  }
  g_export = std::move(started);
  LogPrintf(L"Export Template '%s'", path);
  return ErrorSet(0, "TemplateExportOpen");
}

int TemplateExportAddInput(uint32_t input, const char16_t* name) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_export || name == nullptr) return ErrorSet(-21, "TemplateExportAddInput");
  ReadAccess access("TemplateExportAddInput");
  int code = InputCheckIndex(input);
  if (code != 0) return ErrorSet(code, "TemplateExportAddInput");
  TemplateInput record;
  record.Type = TemplateType(InputTableMain(input)->Type);
  if (record.Type == 0) return ErrorSet(-21, "TemplateExportAddInput");
  if (g_export->image.Inputs.size() >= kMaxTemplateInputs) return ErrorSet(-40, "TemplateExportAddInput");
  record.Original = static_cast<uint8_t>(input);
  FieldCopy(record.Name, kNameLength, name);
  g_export->image.Inputs.push_back(record);
  return ErrorSet(0, "TemplateExportAddInput");
}

int TemplateExportAddDispObj(uint32_t object, const char16_t* name) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_export || name == nullptr) return ErrorSet(-21, "TemplateExportAddDispObj");
  ReadAccess access("TemplateExportAddDispObj");
  int code = DispCheckIndex(object, false);
  if (code != 0) return ErrorSet(code, "TemplateExportAddDispObj");
  if (g_export->image.Objects.size() >= kMaxDispObjs) return ErrorSet(-40, "TemplateExportAddDispObj");
  const DispObjEntry& entry = *DispTableEntry(object);
  TemplateObject record;
  record.Original = object;
  record.Object.Used = true;
  record.Object.Base = entry.Base;
  record.Object.Param = entry.Param;
  record.Object.Bitmap = entry.Bitmap;
  FieldCopy(record.Object.Base.Name, kNameLength, name);
  DispStructClamp(record.Object.Base);
  ParamClamp(record.Object.Base.Type, record.Object.Param.data(), record.Object.Param.size());
  g_export->image.Objects.push_back(std::move(record));
  return ErrorSet(0, "TemplateExportAddDispObj");
}

int TemplateExportClose() {
  std::unique_ptr<Export> done;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_export) return ErrorSet(-21, "TemplateExportClose");
    done = std::move(g_export);
  }
  std::vector<uint8_t> bytes;
  int code = TemplateEncode(done->image, bytes);
  if (code == 0) code = done->file.Write(bytes.data(), bytes.size());
  if (code == 0) code = done->file.Commit();
  ErrorSet(code, "TemplateExportClose");
  if (code == 0) WrittenFileNotify(WrittenFileKind::kTemplate, done->path);
  return code;
}

void TemplateExportAbort() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_export) LogPrintf(L"Template export abandoned");
  g_export.reset();
  ErrorSet(0, "TemplateExportAbort");
}
