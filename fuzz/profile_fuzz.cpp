// Data-channel profiles of any content: the parser must never fault, and a
// record it produced must write and read back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "io/files/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DataStruct record;
  std::memset(&record, 0, sizeof(record));
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (ProfileParse(text, record) != 0) return 0;
  const std::string written = ProfileText(record);
  DataStruct back;
  std::memset(&back, 0, sizeof(back));
  if (ProfileParse(written, back) != 0 || ProfileText(back) != written) abort();
  return 0;
}
