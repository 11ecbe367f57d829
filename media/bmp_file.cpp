#include "media/bmp_file.h"

#include <cstring>
#include <vector>

#include "base/error.h"
#include "base/file_io.h"
#include "base/text.h"
#include "media/file_util.h"
#include "media/le_bytes.h"

namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// 32-bit bit-field files are read only when their masks are the plain
// B, G, R(, A) byte order.
bool PlainMasks(const uint8_t* info, uint32_t infoSize, const uint8_t* data, size_t size) {
  const uint8_t* masks = info + 40;
  if (infoSize < 52) {
    if (kFileHeader + 40 + 12 > size) return false;
    masks = data + kFileHeader + 40;
  }
  return Le32(masks) == 0x00FF0000 && Le32(masks + 4) == 0x0000FF00 && Le32(masks + 8) == 0x000000FF;
}

} // namespace

int BmpParse(const uint8_t* data, size_t size, MediaImageData* record) {
  if (!data || !record) return kErrBadArg;
  *record = {};
  if (size < 2 || data[0] != 'B' || data[1] != 'M') return kErrUnsupported;
  if (size < kFileHeader + 40) return kErrRead;
  const uint8_t* info = data + kFileHeader;
  uint32_t infoSize = Le32(info);
  if (infoSize < 40 || infoSize > 1024) return kErrUnsupported;
  if (kFileHeader + infoSize > size) return kErrRead;
  int32_t width = static_cast<int32_t>(Le32(info + 4));
  int32_t rawHeight = static_cast<int32_t>(Le32(info + 8));
  uint16_t planes = Le16(info + 12), bits = Le16(info + 14);
  uint32_t compression = Le32(info + 16);
  if (planes != 1 || (bits != 24 && bits != 32)) return kErrUnsupported;
  if (compression != kBiRgb && !(compression == kBiBitfields && bits == 32 && PlainMasks(info, infoSize, data, size)))
    return kErrUnsupported;
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return kErrUnsupported;
  bool topDown = rawHeight < 0;
  int32_t height = topDown ? -rawHeight : rawHeight;
  if (width > kMaxImageSide || height > kMaxImageSide) return kErrNoMemory;
  uint64_t bytesPerPixel = bits / 8;
  uint64_t rowBytes = static_cast<uint64_t>(width) * bytesPerPixel;
  uint64_t stride = (rowBytes + 3) & ~3ull;
  uint64_t offset = Le32(data + 10);
  if (offset < kFileHeader + 40 || offset > size) return kErrRead;
  // The last row need not carry its padding.
  if (offset + stride * (static_cast<uint64_t>(height) - 1) + rowBytes > size) return kErrRead;
  int rc = MediaImageDataAlloc(record, width, height, bits);
  if (rc != kOk) return rc;
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(record->Pixels + static_cast<uint64_t>(y) * rowBytes, data + offset + stride * static_cast<uint64_t>(y),
                static_cast<size_t>(rowBytes));
  record->TopDown = topDown ? 1 : 0;
  return kOk;
}

int BmpReadFile(const std::wstring& path, MediaImageData* record) {
  if (!record) return kErrBadArg;
  *record = {};
  std::vector<uint8_t> bytes;
  int rc = FileReadAll(path, kMaxImageBytes + 4096, bytes);
  if (rc == kErrRead && bytes.empty()) return kErrNoMemory;
  if (rc != kOk) return rc;
  return BmpParse(bytes.data(), bytes.size(), record);
}

int BmpWriteFile(const std::wstring& path, const uint8_t* pixels, int32_t width, int32_t height, int bitCount,
                 bool topDown) {
  if (!pixels || width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
      (bitCount != 24 && bitCount != 32))
    return kErrBadArg;
  uint64_t rowBytes = static_cast<uint64_t>(width) * (bitCount / 8);
  uint64_t stride = (rowBytes + 3) & ~3ull;
  uint64_t imageBytes = stride * static_cast<uint64_t>(height);
  if (imageBytes > kMaxImageBytes) return kErrBadArg;
  std::vector<uint8_t> file(kFileHeader + 40 + static_cast<size_t>(imageBytes), 0);
  uint8_t* h = file.data();
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<uint32_t>(file.size()));
  Put32(h + 10, kFileHeader + 40);
  uint8_t* info = h + kFileHeader;
  Put32(info, 40);
  Put32(info + 4, static_cast<uint32_t>(width));
  Put32(info + 8, static_cast<uint32_t>(height));
  Put16(info + 12, 1);
  Put16(info + 14, static_cast<uint32_t>(bitCount));
  Put32(info + 20, static_cast<uint32_t>(imageBytes));
  Put32(info + 24, 2835); // 72 dpi
  Put32(info + 28, 2835);
  uint8_t* out = info + 40;
  for (int32_t y = 0; y < height; ++y) {
    int32_t src = topDown ? height - 1 - y : y;
    std::memcpy(out + stride * static_cast<uint64_t>(y), pixels + rowBytes * static_cast<uint64_t>(src),
                static_cast<size_t>(rowBytes));
  }
  return FileWriteAtomic(path, file.data(), file.size()) == kOk ? kOk : kErrWrite;
}
