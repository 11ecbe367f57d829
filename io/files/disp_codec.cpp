#include "io/files/disp_codec.h"

#include <cstring>

#include "model/disp_presets.h"
#include "model/dispobj_internal.h"
#include "model/model_text.h"
#include "model/param_check.h"

void PutDispRecord(ByteWriter& out, const DispStruct& record) { out.raw(&record, kDispRecordBytes); }

bool GetDispRecord(ByteReader& in, DispStruct& record) {
  record = DispStruct{};
  return in.raw(&record, kDispRecordBytes);
}

void PutDispObject(ByteWriter& out, const DispObjEntry& entry) {
  PutDispRecord(out, entry.Base);
  out.block(entry.Param);
  out.block(entry.Bitmap);
}

bool GetDispObject(ByteReader& in, DispObjEntry& entry) {
  entry = DispObjEntry{};
  entry.Used = true;
  return GetDispRecord(in, entry.Base) && in.block(entry.Param, sizeof(EnhParam)) &&
         in.block(entry.Bitmap, in.remaining());
}

bool BitmapBlockValid(const std::vector<uint8_t>& block) {
  if (block.empty()) return true;
  if (block.size() < sizeof(DispBitmapHeader)) return false;
  DispBitmapHeader header;
  std::memcpy(&header, block.data(), sizeof(header));
  if (header.Width == 0 || header.Height == 0 || header.Width > kMaxBitmapSide ||
      header.Height > kMaxBitmapSide)
    return false;
  const uint64_t pixels = static_cast<uint64_t>(header.Width) * header.Height * 4;
  return block.size() == sizeof(DispBitmapHeader) + pixels;
}

bool ParamBlockValid(uint32_t type, const std::vector<uint8_t>& block) {
  return block.empty() || block.size() == DispParamSizeForType(type);
}

bool DispObjectCheck(DispObjEntry& entry, RecordFault* fault) {
  DispStruct& base = entry.Base;
  if (!DispTypeKnown(base.Type) || base.Type == kDispSpeedo || base.Type == kDispTacho) return false;
  if (const RecordFault found = DispStructCheck(base)) {
    if (fault != nullptr) *fault = found;
    return false;
  }
  if (!ParamBlockValid(base.Type, entry.Param) || !BitmapBlockValid(entry.Bitmap)) return false;
  if (const RecordFault found = ParamCheck(base.Type, entry.Param.data(), entry.Param.size())) {
    if (fault != nullptr) *fault = found;
    return false;
  }
  FieldTerminate(base.Name, kNameLength);
  FieldTerminate(base.Style, kNameLength);
  if (!entry.Param.empty())
    ParamSanitize(base.Type, entry.Param.data(), static_cast<uint32_t>(entry.Param.size()));
  base.ParamSize = 0;
  base.Param = nullptr;
  base.BitmapSize = 0;
  base.Bitmap = nullptr;
  return true;
}
