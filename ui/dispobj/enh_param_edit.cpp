#include "ui/dispobj/enh_param_edit.h"

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "base/util.h"
#include "model/dispobjs.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr size_t kScriptTextBytes = kScriptBytes - 1; // the last byte stays the terminator

bool isContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

} // namespace

bool EnhParamLoad(uint32_t index, EnhParam& param, DispStruct& common) {
  const DispStruct* found = DispObjGet(index);
  if (found == nullptr) {
    if (index != kNoDispObj) ErrorShowLast();
    return false;
  }
  common = *found;
  if (common.Type != kDispEnhanced || common.ParamSize != sizeof(EnhParam)) {
    MessageShow(L"This scripted object holds no settings or scripts to edit. Scripted objects bring them "
                L"along in the project, template or style they come from.",
                48);
    return false;
  }
  const void* block = DispObjGetParam(index);
  if (block == nullptr) {
    ErrorShowLast();
    return false;
  }
  std::memcpy(&param, block, sizeof(EnhParam));
  return true;
}

QString EnhColorTitle(const EnhParam& param, int i) {
  const QString name = W16ToNSString(param.ColorName[i]);
  if (!name.isEmpty()) return name + ":";
  return QString("Color %1:").arg(QChar('A' + i));
}

QString EnhScriptText(const char (&script)[kScriptBytes]) {
  return QString::fromUtf8(script, static_cast<qsizetype>(strnlen(script, kScriptBytes)));
}

bool EnhStoreScript(char (&script)[kScriptBytes], const QByteArray& utf8) {
  size_t length = std::min(static_cast<size_t>(utf8.size()), kScriptTextBytes);
  const bool cut = length < static_cast<size_t>(utf8.size());
  // Cut before the lead byte of a character whose rest would not fit.
  if (cut)
    while (length > 0 && isContinuationByte(utf8[static_cast<qsizetype>(length)])) --length;
  std::memcpy(script, utf8.constData(), length);
  std::fill(script + length, script + kScriptBytes, '\0');
  return cut;
}

bool EnhTriggerDiffers(double a, double b) { return RoundToInt64(a * 1e6) != RoundToInt64(b * 1e6); }
