// Loading a template and the first choice of project inputs for its inputs.
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/file_io.h"
#include "base/log.h"
#include "io/files/picture24.h"
#include "io/files/template_format.h"
#include "io/files/template_state.h"
#include "io/files/templates.h"
#include "model/input_table.h"
#include "render/preview/simple_preview.h"

namespace {

char16_t g_nameBuffer[kNameLength];

// The given input when it fits the record; else for the k-th record of a
// type the k-th project input of exactly that type; else input 0.
void FirstChoice(std::vector<TemplateInput>& inputs, uint32_t given) {
  const uint32_t count = InputTableCount();
  uint32_t seen[kInputData + 1] = {};
  for (TemplateInput& record : inputs) {
    const uint32_t k = seen[record.Type]++;
    record.Chosen = 0;
    if (given < count && TemplateInputFits(record.Type, InputTableMain(given)->Type)) {
      record.Chosen = given;
      continue;
    }
    uint32_t of = 0;
    for (uint32_t i = 0; i < count; ++i) {
      if (InputTableMain(i)->Type != record.Type) continue;
      if (of++ == k) {
        record.Chosen = i;
        break;
      }
    }
  }
}

int Load(const wchar_t* path, uint32_t input, bool previewOnly, TemplateImage& image, RecordFault& fault) {
  if (path == nullptr || path[0] == 0) return -21;
  std::vector<uint8_t> bytes;
  uint64_t fileSize = 0;
  int code = previewOnly ? FileReadHead(path, kTemplateHeaderBytes + kThumbBytes, bytes, &fileSize)
                         : FileReadAll(path, kMaxTemplateBytes, bytes);
  if (code != 0) return code;
  if (previewOnly) return TemplateDecodeHead(bytes.data(), bytes.size(), fileSize, image);
  code = TemplateDecode(bytes.data(), bytes.size(), image, &fault);
  if (code != 0) return code;
  LogPrintf(L"Import Template '%s' (%d) (%d)", path, static_cast<int>(image.Inputs.size()),
            static_cast<int>(image.Objects.size()));
  ReadAccess access("TemplateImportLoad");
  FirstChoice(image.Inputs, input);
  return 0;
}

} // namespace

bool TemplateInputFits(uint32_t t, uint32_t p) {
  if (p == t) return true;
  switch (t) {
  case kInputVideo: return p == kInputJoinVideo;
  case kInputAudio: return p == kInputVideo || p == kInputJoinVideo || p == kInputJoinAudio;
  case kInputData: return p == kInputJoinData;
  default: return false;
  }
}

TemplateLoaded& TemplateState() {
  static TemplateLoaded state;
  return state;
}

int TemplateImportLoad(const wchar_t* path, uint32_t input, uint32_t previewOnly) {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.image.reset();
  int code;
  RecordFault fault;
  try {
    auto image = std::make_unique<TemplateImage>();
    code = Load(path, input, previewOnly != 0, *image, fault);
    if (code == 0) state.image = std::move(image);
  } catch (const std::bad_alloc&) {
    code = -22;
  }
  return ErrorSetDetail(code, "TemplateImportLoad", RecordFaultText(fault));
}

void TemplateImportClear() {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.image.reset();
  ErrorSet(0, "TemplateImportClear");
}

uint32_t TemplateImportGetInputCount() {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.image ? static_cast<uint32_t>(state.image->Inputs.size()) : 0;
}

uint32_t TemplateImportGetInputID(uint32_t n) {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.image && n < state.image->Inputs.size() ? state.image->Inputs[n].Chosen : 0;
}

const char16_t* TemplateImportGetInputName(uint32_t n) {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.image || n >= state.image->Inputs.size()) {
    ErrorSet(-41, "TemplateImportGetInputName");
    return nullptr;
  }
  std::memcpy(g_nameBuffer, state.image->Inputs[n].Name, sizeof(g_nameBuffer));
  ErrorSet(0, "TemplateImportGetInputName");
  return g_nameBuffer;
}

uint32_t TemplateImportGetInputType(uint32_t n) {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.image && n < state.image->Inputs.size() ? state.image->Inputs[n].Type : 0;
}

void TemplateImportSetInputID(uint32_t n, uint32_t input) {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.image || n >= state.image->Inputs.size()) {
    ErrorSet(-41, "TemplateImportSetInputID");
    return;
  }
  state.image->Inputs[n].Chosen = input;
  ErrorSet(0, "TemplateImportSetInputID");
}

std::vector<uint8_t> TemplateImportGetThumbnail() {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.image ? state.image->Thumbnail : std::vector<uint8_t>();
}

int TemplateImportCreatePreview(ImageView view, uint32_t width, uint32_t height) {
  const std::vector<uint8_t> thumbnail = TemplateImportGetThumbnail();
  if (thumbnail.size() != kThumbBytes) {
    ErrorSet(-21, "TemplateImportCreatePreview");
    return -1;
  }
  const std::vector<uint32_t> pixels = Picture24ToPixels(thumbnail);
  const int slot = SimplePreviewCreateForBitmap(view, width, height, pixels.data(), kThumbWidth,
                                                kThumbHeight, false);
  ErrorSet(slot < 0 ? ErrorGetLast() : 0, "TemplateImportCreatePreview");
  return slot;
}
