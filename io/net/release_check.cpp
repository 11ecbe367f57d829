#include "io/net/release_check.h"

#include <cstdint>
#include <sstream>
#include <string>

#include "base/error.h"
#include "base/identity.h"
#include "base/log.h"
#include "io/net/http_client.h"

namespace {

constexpr int32_t kReleaseCheckTimeoutMs = 2000;
constexpr size_t kReleaseListMaxBytes = 4096;
// Release numbers are dates; anything else on a line is not a release.
constexpr long kFirstRelease = 20110101;
constexpr long kLastRelease = 20300101;

// The leading number of a line (blanks skipped), 0 when out of range.
long releaseOnLine(const std::string& line) {
  size_t pos = line.find_first_not_of(" \t");
  long value = 0;
  int digits = 0;
  for (; pos != std::string::npos && pos < line.size() && line[pos] >= '0' && line[pos] <= '9'; ++pos) {
    if (++digits > 9) return 0;
    value = value * 10 + (line[pos] - '0');
  }
  return (value >= kFirstRelease && value <= kLastRelease) ? value : 0;
}

} // namespace

int ReleaseListNewest(const char* list, int anyRelease) {
  if (list == nullptr) return 0;
  std::istringstream lines(list);
  std::string line;
  long newest = 0;
  for (int n = 0; n < (anyRelease != 0 ? 2 : 1) && std::getline(lines, line); ++n) {
    long release = releaseOnLine(line);
    if (release > newest) newest = release;
  }
  return newest > static_cast<long>(GetAppBuildNumber()) ? static_cast<int>(newest) : 0;
}

int GetAppUpdateAvailable(int anyRelease) {
  std::string base = NetGetServerBase();
  std::string list;
  int code = base.empty() ? kErrNetwork : HttpGet(base + "QV2/ReleaseMac.txt", kReleaseCheckTimeoutMs,
                                                  kReleaseListMaxBytes, list);
  if (code != 0 || list.empty()) {
    LogPrintf(L"Release check: the release list could not be read");
    ErrorSet(-1, "GetAppUpdateAvailable");
    return -1;
  }
  int newer = ReleaseListNewest(list.c_str(), anyRelease);
  LogPrintf(L"Release check: this build %u, newer release %d", GetAppBuildNumber(), newer);
  ErrorSet(0, "GetAppUpdateAvailable");
  return newer;
}
