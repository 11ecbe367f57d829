// Project files of any content: decoding and checking must refuse or
// accept without a fault. The bytes are also tried with their CRC put
// right, and taken as the sections of a
// file whose header is put right (magic, sizes, a section count that walks
// the sections given, and the CRC), so the section parsers and the checks
// behind them are reached; an accepted file must encode again into a file
// that decodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "io/files/project_format.h"
#include "files_fuzz_common.h"

namespace {

// The number of (id, length, payload) sections that follow one another
// from the header's end.
uint32_t SectionsIn(const std::vector<uint8_t>& f) {
  uint32_t count = 0;
  size_t at = kProjectHeaderBytes;
  while (f.size() - at >= 8) {
    const uint32_t length = f[at + 4] | f[at + 5] << 8 | f[at + 6] << 16 | static_cast<uint32_t>(f[at + 7]) << 24;
    if (length > f.size() - at - 8) break;
    at += 8 + length;
    ++count;
  }
  return count;
}

void Check(const uint8_t* data, size_t size) {
  ProjectImage image;
  if (ProjectDecode(data, size, image) != 0 || ProjectValidate(image) != 0) return;
  std::vector<uint8_t> again;
  if (ProjectEncode(image, again) != 0) return;
  ProjectImage back;
  if (ProjectDecode(again.data(), again.size(), back) != 0 || ProjectValidate(back) != 0) abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(data, size);
  // A whole file (a mutated seed) with its CRC put right.
  std::vector<uint8_t> sealed(data, data + size);
  ProjectSealCrc(sealed);
  Check(sealed.data(), sealed.size());
  std::vector<uint8_t> f(kProjectHeaderBytes, 0);
  f.insert(f.end(), data, data + size);
  const char magic[4] = {'Q', 'V', 'P', '2'};
  for (int i = 0; i < 4; ++i) f[i] = static_cast<uint8_t>(magic[i]);
  FuzzPutU32(f, 4, kProjectHeaderBytes);
  FuzzPutU32(f, 8, kProjectRevision);
  FuzzPutU32(f, 12, static_cast<uint32_t>(f.size()));
  FuzzPutU32(f, 16, SectionsIn(f));
  ProjectSealCrc(f);
  Check(f.data(), f.size());
  return 0;
}
