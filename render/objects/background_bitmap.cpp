#include "render/objects/background_bitmap.h"

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "model/timeline.h"
#include "media/bmp_file.h"
#include "platform/media/still_image.h"
#include "render/compositor/pixel_ops.h"
#include "render/loop/frame_render.h"
#include "render/loop/render.h"
#include "render/preview/simple_preview.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kMaxBitmapSide = 8192;
constexpr uint8_t kOptionMask = 0x7F;

// The object's entry, with the facade's codes for a bad index.
DispObjEntry* entryFor(uint32_t object, int* code) {
  if (object == kNoDispObj) {
    *code = kErrBadArg;
    return nullptr;
  }
  DispObjEntry* e = DispTableEntry(object);
  if (!e || !e->Used) {
    *code = kErrIndex;
    return nullptr;
  }
  *code = kOk;
  return e;
}

bool readHeader(const std::vector<uint8_t>& block, DispBitmapHeader* head) {
  if (block.size() < sizeof *head) return false;
  std::memcpy(head, block.data(), sizeof *head);
  const uint64_t pixels = uint64_t(head->Width) * head->Height;
  return head->Width > 0 && head->Height > 0 && pixels <= (block.size() - sizeof *head) / 4;
}

} // namespace

int DispObjBitmapImport(uint32_t object, const wchar_t* path) {
  if (!path || !*path) return ErrorSet(kErrBadArg, "DispObjBitmapImport");
  MediaImageData image{};
  const std::u16string path16 = WideToUtf16(path);
  int code = MediaImageOpenMac(path16.c_str(), &image);
  if (code < 0) return ErrorSet(code, "DispObjBitmapImport");
  const int32_t w = image.Header.biWidth, h = std::abs(image.Header.biHeight);
  if (w <= 0 || h <= 0 || uint32_t(w) > kMaxBitmapSide || uint32_t(h) > kMaxBitmapSide ||
      image.Header.biBitCount != 32 || !image.Pixels) {
    MediaImageDataFree(&image);
    return ErrorSet(kErrNoMemory, "DispObjBitmapImport");
  }
  ChangeAccess access("DispObjBitmapImport");
  DispObjEntry* e = entryFor(object, &code);
  if (!e) {
    MediaImageDataFree(&image);
    return ErrorSet(code, "DispObjBitmapImport");
  }
  DispBitmapHeader head{};
  DispBitmapHeader old{};
  if (readHeader(e->Bitmap, &old)) head.Options = old.Options & kOptionMask;
  head.Width = static_cast<uint32_t>(w);
  head.Height = static_cast<uint32_t>(h);
  std::vector<uint8_t> block(sizeof head + size_t(w) * h * 4);
  std::memcpy(block.data(), &head, sizeof head);
  const size_t rowBytes = size_t(w) * 4;
  for (int32_t row = 0; row < h; ++row) { // the block runs bottom-up
    const int32_t srcRow = image.TopDown ? h - 1 - row : row;
    std::memcpy(block.data() + sizeof head + size_t(row) * rowBytes,
                image.Pixels + size_t(srcRow) * rowBytes, rowBytes);
  }
  MediaImageDataFree(&image);
  e->Bitmap = std::move(block);
  DispTableSync(object);
  return ErrorSet(kOk, "DispObjBitmapImport");
}

int DispObjBitmapExport(uint32_t object, const wchar_t* path) {
  if (!path || !*path) return ErrorSet(kErrBadArg, "DispObjBitmapExport");
  std::vector<uint8_t> block;
  {
    ReadAccess access("DispObjBitmapExport");
    int code = 0;
    DispObjEntry* e = entryFor(object, &code);
    if (!e) return ErrorSet(code, "DispObjBitmapExport");
    block = e->Bitmap;
  }
  DispBitmapHeader head{};
  if (!readHeader(block, &head)) return ErrorSet(kErrFailed, "DispObjBitmapExport");
  int code = BmpWriteFile(path, block.data() + sizeof head, static_cast<int32_t>(head.Width),
                          static_cast<int32_t>(head.Height), 32, false);
  return ErrorSet(code < 0 ? kErrWrite : kOk, "DispObjBitmapExport");
}

int DispObjBitmapClear(uint32_t object) {
  ChangeAccess access("DispObjBitmapClear");
  int code = 0;
  DispObjEntry* e = entryFor(object, &code);
  if (!e) return ErrorSet(code, "DispObjBitmapClear");
  e->Bitmap.clear();
  DispTableSync(object);
  return ErrorSet(kOk, "DispObjBitmapClear");
}

uint32_t DispObjBitmapGetOptions(uint32_t object) {
  ReadAccess access("DispObjBitmapGetOptions");
  int code = 0;
  DispObjEntry* e = entryFor(object, &code);
  DispBitmapHeader head{};
  if (!e || !readHeader(e->Bitmap, &head)) return 255;
  return head.Options & kOptionMask;
}

int DispObjBitmapSetOptions(uint32_t object, uint8_t options) {
  ChangeAccess access("DispObjBitmapSetOptions");
  int code = 0;
  DispObjEntry* e = entryFor(object, &code);
  if (!e) return ErrorSet(code, "DispObjBitmapSetOptions");
  DispBitmapHeader head{};
  if (!readHeader(e->Bitmap, &head)) return ErrorSet(kErrFailed, "DispObjBitmapSetOptions");
  head.Options = options & kOptionMask;
  std::memcpy(e->Bitmap.data(), &head, sizeof head);
  DispTableSync(object);
  return ErrorSet(kOk, "DispObjBitmapSetOptions");
}

int32_t DispObjAddEImageFromFile(const wchar_t* path) {
  const uint32_t object = DispObjAdd(kDispEImage, kNoInput);
  if (object == kNoDispObj) return -1;
  const int code = DispObjBitmapImport(object, path);
  if (code < 0) {
    DispObjRemove(object, 0);
    ErrorSet(code, "DispObjAddEImageFromFile");
    return -1;
  }
  ErrorSet(kOk, "DispObjAddEImageFromFile");
  return static_cast<int32_t>(object);
}

int DispObjBitmapSimplePreview(uint32_t object, ImageView view, uint32_t width, uint32_t height) {
  std::vector<uint32_t> pixels;
  DispBitmapHeader head{};
  {
    ReadAccess access("DispObjBitmapSimplePreview");
    int code = 0;
    DispObjEntry* e = entryFor(object, &code);
    if (!e) {
      ErrorSet(code, "DispObjBitmapSimplePreview");
      return -1;
    }
    if (!readHeader(e->Bitmap, &head)) {
      ErrorSet(kErrFailed, "DispObjBitmapSimplePreview");
      return -1;
    }
    pixels.resize(size_t(head.Width) * head.Height);
    std::memcpy(pixels.data(), e->Bitmap.data() + sizeof head, pixels.size() * 4);
  }
  for (uint32_t& p : pixels) p = Premultiply(p);
  const int slot = SimplePreviewCreateForBitmap(view, width, height, pixels.data(), head.Width,
                                                head.Height, true);
  ErrorSet(slot < 0 ? ErrorGetLast() : kOk, "DispObjBitmapSimplePreview");
  return slot;
}

int DispObjExportSnapshot(uint32_t object, const wchar_t* path, float time) {
  if (!path || !*path) return ErrorSet(kErrBadArg, "DispObjExportSnapshot");
  std::vector<uint32_t> frame;
  int width = 0, height = 0;
  const auto applied = TimelineApplyForDraw(std::isfinite(time) ? time : 0.0f); // the object then
  {
    ReadAccess access("DispObjExportSnapshot");
    int code = 0;
    DispObjEntry* e = entryFor(object, &code);
    if (!e) return ErrorSet(code, "DispObjExportSnapshot");
    const double frameW = RenderGetWidth() ? RenderGetWidth() : 720.0;
    const double frameH = RenderGetHeight() ? RenderGetHeight() : 480.0;
    auto side = [](double percent, double frame) {
      double v = std::isfinite(percent) ? percent * frame / 100 : 0;
      return static_cast<int>(std::lround(std::clamp(v, 1.0, 8192.0)));
    };
    width = side(e->Current.Width, frameW);
    height = side(e->Current.Height, frameH);
    frame.assign(size_t(width) * height, 0);
    FrameTarget target{frame.data(), width, height, true};
    FrameRenderOptions options;
    options.background = 0; // transparent round the object
    code = RenderObjectAlone(object, time, target, options);
    if (code < 0) return ErrorSet(code, "DispObjExportSnapshot");
  }
  for (uint32_t& p : frame) p = Unpremultiply(p); // files keep straight alpha
  int code = BmpWriteFile(path, reinterpret_cast<const uint8_t*>(frame.data()), width, height, 32,
                          false);
  return ErrorSet(code < 0 ? kErrWrite : kOk, "DispObjExportSnapshot");
}
