// Exporting a display object as a style file and applying one to an object.
#include <cstring>
#include <string>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/file_io.h"
#include "base/log.h"
#include "base/text.h"
#include "io/files/picture24.h"
#include "io/files/style.h"
#include "io/files/style_format.h"
#include "io/files/style_preview.h"
#include "io/files/written_files.h"
#include "model/dispobj_internal.h"
#include "model/dispobjs.h"
#include "model/model_text.h"
#include "model/param_check.h"
#include "model/record_check.h"
#include "model/timeline_apply.h"

namespace {

// The file name without folder and extension: the name the style goes by.
std::u16string StyleName(const std::wstring& path) {
  std::wstring name = path.substr(path.find_last_of(L'/') == std::wstring::npos ? 0 : path.find_last_of(L'/') + 1);
  const size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  return WideToUtf16(name);
}

// The bitmap block goes where the object's edits go at the current time:
// the segment in force, else the base.
void PutBitmap(uint32_t object, const std::vector<uint8_t>& bitmap, const DispStruct& record) {
  DispObjEntry& entry = *DispTableEntry(object);
  const int s = SegmentInForce(entry, DispTableTime());
  if (s < 0) {
    entry.Bitmap = bitmap;
  } else {
    DispSegment& segment = entry.Segments[s];
    segment.Mask |= kSegBitmap;
    SegmentTakeFields(segment, record, kSegBitmap);
    segment.Bitmap = bitmap;
  }
}

int ApplyStyle(uint32_t object, const StyleImage& style, const std::wstring& path, uint32_t mode) {
  DispObjEntry& entry = *DispTableEntry(object);
  const DispStruct& from = style.Object.Base;
  if (entry.Base.Type != from.Type) {
    LogPrintf(L"Incorrect object header ID");
    return -84;
  }
  const std::vector<uint8_t>& param = style.Object.Param;
  if (!param.empty() && !entry.Param.empty() && entry.Param.size() != param.size()) return -81;
  DispStruct record = entry.Current;
  FieldCopy(record.Style, kNameLength, StyleName(path));
  RecordCopyFields(record, from, kSegBitmap);
  if (mode == kStyleApplyPlace) RecordCopyFields(record, from, kSegPosition | kSegSize);
  int code = DispRecordEdit(object, record);
  if (code != 0) return code;
  PutBitmap(object, style.Object.Bitmap, record);
  if (!param.empty()) {
    if (entry.Param.size() == param.size()) code = DispParamEdit(object, param.data());
    else entry.Param = param; // a scripted object without a block yet
  }
  DispTableSync(object);
  return code;
}

int ReadStyle(const wchar_t* path, StyleImage& style, RecordFault& fault) {
  std::vector<uint8_t> bytes;
  const int code = FileReadAll(path, kMaxStyleBytes, bytes);
  return code != 0 ? code : StyleDecode(bytes.data(), bytes.size(), style, &fault);
}

int ImportStyle(uint32_t object, const wchar_t* path, uint32_t mode, RecordFault& fault) {
  if (path == nullptr || path[0] == 0) return -21;
  if (mode != kStyleApply && mode != kStyleApplyPlace && mode != kStyleTest && mode != kStylePreviewOnly)
    return -21;
  StyleImage style;
  int code = ReadStyle(path, style, fault);
  if (code != 0) return code;
  if (mode == kStylePreviewOnly) {
    StylePreviewStore(style.Preview);
    return 0;
  }
  ChangeAccess access("DispObjImportStyle");
  if (object == kNoDispObj && mode != kStyleTest) {
    object = DispTableAppend();
    if (object == kNoDispObj) return -40;
    DispTableInitObject(object, style.Object.Base.Type, kNoInput);
    FieldCopy(DispTableEntry(object)->Base.Name, kNameLength,
              DispUniqueName(FieldString(style.Object.Base.Name, kNameLength)));
    DispTableSync(object);
    code = ApplyStyle(object, style, path, mode);
    if (code != 0) {
      std::vector<bool> remove(kMaxDispObjs, false);
      remove[object] = true;
      DispTableErase(remove);
      return code;
    }
    return static_cast<int>(object);
  }
  if (object != kNoDispObj) {
    code = DispCheckIndex(object, false);
    if (code != 0) return code;
  }
  if (mode == kStyleTest) {
    if (object != kNoDispObj && DispTableEntry(object)->Base.Type != style.Object.Base.Type) {
      LogPrintf(L"Incorrect object header ID");
      return -84;
    }
    return 0;
  }
  return ApplyStyle(object, style, path, mode);
}

} // namespace

int DispObjImportStyle(uint32_t object, const wchar_t* path, uint32_t mode) {
  // A new object's index is the answer, not a result code: the routine
  // succeeded, and a caller that shows the last result shows nothing.
  RecordFault fault;
  const int result = ImportStyle(object, path, mode, fault);
  ErrorSetDetail(result < 0 ? result : kOk, "DispObjImportStyle", RecordFaultText(fault));
  return result;
}

int DispObjExportStyle(uint32_t object, const wchar_t* path) {
  if (path == nullptr || path[0] == 0) return ErrorSet(-21, "DispObjExportStyle");
  StyleImage style;
  {
    ReadAccess access("DispObjExportStyle");
    const int code = DispCheckIndex(object, false);
    if (code != 0) return ErrorSet(code, "DispObjExportStyle");
    const DispStruct& current = DispTableEntry(object)->Current;
    style.Object.Base = current;
    DispStructClamp(style.Object.Base);
    if (current.Param != nullptr) style.Object.Param.assign(current.Param, current.Param + current.ParamSize);
    ParamClamp(current.Type, style.Object.Param.data(), style.Object.Param.size());
    if (current.Bitmap != nullptr)
      style.Object.Bitmap.assign(current.Bitmap, current.Bitmap + current.BitmapSize);
    style.Preview = Picture24Render(object, kStylePreviewSide, kStylePreviewSide);
  }
  std::vector<uint8_t> bytes;
  int code = StyleEncode(style, bytes);
  if (code == 0) code = FileWriteAtomic(path, bytes.data(), bytes.size());
  ErrorSet(code, "DispObjExportStyle");
  if (code == 0) WrittenFileNotify(WrittenFileKind::kStyle, path);
  return code;
}
