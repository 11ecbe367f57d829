// Template files of any content, whole and thumbnail only. Inputs long
// enough are also given a right header (plain form, sizes and both CRCs) so
// that the record parser is reached; an accepted template must encode again
// into a file that decodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "io/files/template_format.h"
#include "files_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TemplateImage image;
  TemplateDecode(data, size, image);
  TemplateDecodeHead(data, size, size, image);
  // The body alone, after a plain header and a grey thumbnail.
  std::vector<uint8_t> f(32 + kThumbBytes, 0x40);
  f.insert(f.end(), data, data + size);
  const char magic[4] = {'Q', 'V', 'T', '1'};
  for (int i = 0; i < 4; ++i) f[i] = static_cast<uint8_t>(magic[i]);
  FuzzPutU32(f, 4, 32);
  FuzzPutU32(f, 8, kThumbWidth);
  FuzzPutU32(f, 12, kThumbHeight);
  FuzzPutU32(f, 20, static_cast<uint32_t>(size));
  FuzzPutU32(f, 24, Crc32(data, size));
  FuzzPutU32(f, 28, 0);
  FuzzPutU32(f, 16, FuzzHeaderCrc(f, 16, f.data() + 32, kThumbBytes));
  if (TemplateDecode(f.data(), f.size(), image) == 0) {
    std::vector<uint8_t> again;
    if (TemplateEncode(image, again) != 0) return 0;
    TemplateImage back;
    if (TemplateDecode(again.data(), again.size(), back) != 0) abort();
  }
  return 0;
}
