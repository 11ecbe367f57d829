// The previous session's log as a file of any content: the start-up scan
// must never crash on what a dying session (or anyone else) left there. The
// same bytes go to the release-list parser.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "io/net/release_check.h"
#include "io/session/previous_session.h"
#include "support/temp_folder.h"

namespace {

// Goes at the end of a run that found nothing.
std::string scratchFile() { return ProcessScratchFolder("qv-fuzz-session") + "/QV2-log.csv"; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  PreviousSessionLog log = ReadPreviousSessionLog(scratchFile(), 64);
  if (log.lines.size() > 64) abort();
  ReleaseListNewest(bytes.c_str(), 1);
  return 0;
}
