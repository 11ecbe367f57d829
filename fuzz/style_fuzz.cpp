// Style files of any content. Bytes after a 32-byte header are also taken
// as a plain payload under a header made right (sizes and CRC), so the
// record parser and the checks behind it are reached; an accepted style
// must encode again into a file that decodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "io/files/style_format.h"
#include "files_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StyleImage style;
  StyleDecode(data, size, style);
  uint32_t type = 0;
  StyleDecodeHeader(data, size < 32 ? size : 32, size, &type);
  if (size < 32) return 0;
  std::vector<uint8_t> f(data, data + size);
  const char* magic = (data[0] & 1) ? "QVO2" : "QVO1";
  for (int i = 0; i < 4; ++i) f[i] = static_cast<uint8_t>(magic[i]);
  FuzzPutU32(f, 4, 32);
  FuzzPutU32(f, 12, static_cast<uint32_t>(size - 32));
  const uint32_t side = magic[3] == '2' ? kStylePreviewSide : 0;
  FuzzPutU32(f, 20, side);
  FuzzPutU32(f, 24, side);
  FuzzPutU32(f, 28, 0);
  FuzzPutU32(f, 16, FuzzHeaderCrc(f, 16, f.data() + 32, size - 32));
  if (StyleDecode(f.data(), f.size(), style) == 0) {
    std::vector<uint8_t> again;
    if (StyleEncode(style, again) != 0) return 0;
    StyleImage back;
    if (StyleDecode(again.data(), again.size(), back) != 0) abort();
  }
  return 0;
}
