// The WAV reader on arbitrary bytes: it refuses or reads, never crashes or
// reads out of bounds, and a file it takes describes only bytes that exist.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "media/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WavByteSource source = [data, size](uint64_t off, void* buf, size_t n) {
    if (off > size || n > size - off) return false;
    std::memcpy(buf, data + off, n);
    return true;
  };
  WavInfo info{};
  if (WavParse(source, size, &info) == 0) {
    if (info.DataOffset + info.DataSize > size || info.Format.nBlockAlign == 0) std::abort();
    if (info.DataSize % info.Format.nBlockAlign != 0) std::abort();
  }
  return 0;
}
