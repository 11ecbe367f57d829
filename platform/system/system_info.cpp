#include "platform/system/system_info.h"

#include <sched.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"

// On Linux the two flags follow the kernel: the floor is 3.10 (the oldest
// kernel of the distributions we build for), and every kernel from 4.0 on
// counts as new enough for both the encoder profile choice and the activity
// routines. Kernels 3.10 to 3.x set neither.
int32_t MacVerAtLeast108 = 0;
int32_t MacVerAtLeast109 = 0;

namespace {

constexpr uint32_t kFloorMajor = 3;
constexpr uint32_t kFloorMinor = 10;
constexpr uint32_t kBothFlagsMajor = 4;

// Leading decimal digits of a part; 0 when it starts otherwise.
uint32_t leadingNumber(const std::string& part) {
  uint64_t value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return UINT32_MAX;
  }
  return static_cast<uint32_t>(value);
}

// "6.1.0-13-amd64" -> 6, 1, 0. Fewer than two parts is no version.
int parseRelease(const char* release, uint32_t* major, uint32_t* minor, uint32_t* update) {
  if (release == nullptr) return -1;
  std::string text = release;
  size_t firstDot = text.find('.');
  if (text.empty() || firstDot == std::string::npos) return -1;
  size_t secondDot = text.find('.', firstDot + 1);
  std::string minorPart = text.substr(firstDot + 1, secondDot == std::string::npos ? std::string::npos
                                                                                     : secondDot - firstDot - 1);
  if (major != nullptr) *major = leadingNumber(text.substr(0, firstDot));
  if (minor != nullptr) *minor = leadingNumber(minorPart);
  if (update != nullptr) *update = secondDot == std::string::npos ? 0 : leadingNumber(text.substr(secondDot + 1));
  return 0;
}

std::string trimmed(const std::string& text) {
  size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(start, end - start + 1);
}

// The machine's model name, cut to 63 bytes like the 64-byte query it
// replaces; empty when neither the firmware nor the processor names one.
std::string hardwareModel() {
  std::ifstream product("/sys/devices/virtual/dmi/id/product_name");
  std::string line;
  if (std::getline(product, line) && !trimmed(line).empty()) return trimmed(line).substr(0, 63);
  std::ifstream cpuinfo("/proc/cpuinfo");
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) != 0) continue;
    size_t colon = line.find(':');
    if (colon != std::string::npos) return trimmed(line.substr(colon + 1)).substr(0, 63);
  }
  return {};
}

void logMachine(const struct utsname& system, uint32_t major, uint32_t minor, uint32_t update) {
  std::string description = std::string(system.sysname) + " " + system.release + " " + system.version;
  LogPrintf(L"Linux version %d.%d.%d ('%s')", static_cast<int>(major), static_cast<int>(minor),
            static_cast<int>(update), Utf8ToWide(description).c_str());
  LogPrintf(L"CPU Count: %d (%d active)", static_cast<int>(sysconf(_SC_NPROCESSORS_CONF)),
            static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)));
  std::string model = hardwareModel();
  if (!model.empty()) LogPrintf(L"Hardware Model: %s", Utf8ToWide(model).c_str());
  long pages = sysconf(_SC_PHYS_PAGES);
  long pageSize = sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) {
    double bytes = static_cast<double>(pages) * static_cast<double>(pageSize);
    LogPrintf(L"Memory: %.01f GB", bytes / 1073741824.0);
  }
}

} // namespace

int GetMacVersion(uint32_t* major, uint32_t* minor, uint32_t* update) {
  struct utsname system {};
  int result = uname(&system) == 0 ? parseRelease(system.release, major, minor, update) : -1;
  return ErrorSet(result, "GetMacVersion");
}

int CheckOsVersionText(const char* release) {
  uint32_t major = 0, minor = 0, update = 0;
  int parsed = parseRelease(release, &major, &minor, &update);
  MacVerAtLeast108 = 0;
  MacVerAtLeast109 = 0;
  if (parsed == 0 && major >= kBothFlagsMajor) {
    MacVerAtLeast108 = 1;
    MacVerAtLeast109 = 1;
  }
  // An unreadable version passes: refusing a system we cannot name would only
  // lock out users whose kernel reports an odd release text.
  bool tooOld = parsed == 0 && (major < kFloorMajor || (major == kFloorMajor && minor < kFloorMinor));
  if (tooOld) {
    MessageShow(L"This application requires Linux 3.10 or newer.", 16);
    return ErrorSet(-1, "CheckMacVer");
  }
  return ErrorSet(0, "CheckMacVer");
}

int CheckMacVer() {
  struct utsname system {};
  if (uname(&system) != 0) {
    LogPrintf(L"uname failed!");
    return 0;
  }
  uint32_t major = 0, minor = 0, update = 0;
  GetMacVersion(&major, &minor, &update);
  logMachine(system, major, minor, update);
  return CheckOsVersionText(system.release);
}

int GetComputerName(char* buffer, uint32_t* length) {
  if (buffer == nullptr || length == nullptr) return 0;
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof(name) - 1) != 0 || name[0] == 0) return 0;
  size_t size = std::strlen(name);
  if (size + 1 > *length) return 0;
  std::memcpy(buffer, name, size + 1);
  *length = static_cast<uint32_t>(size);
  return 1;
}

int32_t GetProcessID() { return static_cast<int32_t>(getpid()); }

void SleepMs(uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::microseconds(static_cast<uint64_t>(milliseconds) * 1000));
}

// Platform status codes here are errno values (FFmpeg hands them back
// negated); codes the C library cannot name are not logged.
void LogOSStatus(int32_t status) {
  if (status == INT32_MIN) return;
  const char* description = strerrordesc_np(status > 0 ? status : -status);
  if (description == nullptr) return;
  LogPrintf(L"OSStatus %d: %S", static_cast<int>(status), description);
}
