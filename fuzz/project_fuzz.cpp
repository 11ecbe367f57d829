// Project files of any content: decoding and checking must refuse or
// accept without a fault. Inputs that begin with a project header also go
// through with their CRC put right, so the section parser is reached; an
// accepted file must encode again into a file that decodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/files/project_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProjectImage image;
  int code = ProjectDecode(data, size, image);
  if (code == 0) ProjectValidate(image);
  std::vector<uint8_t> sealed(data, data + size);
  ProjectSealCrc(sealed);
  code = ProjectDecode(sealed.data(), sealed.size(), image);
  if (code == 0 && ProjectValidate(image) == 0) {
    std::vector<uint8_t> again;
    if (ProjectEncode(image, again) != 0) return 0;
    ProjectImage back;
    if (ProjectDecode(again.data(), again.size(), back) != 0 || ProjectValidate(back) != 0) abort();
  }
  return 0;
}
