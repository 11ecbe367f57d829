// The lap-timer export reader on arbitrary bytes: it refuses or reads,
// never crashes, hangs or reads out of bounds.
#include "fuzz/datalog_fuzz_common.h"
#include "media/logs/log_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzDataLogReader(SaLogReader(), data, size);
}
