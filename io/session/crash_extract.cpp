#include "io/session/crash_extract.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "base/text.h"

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kSignalCount = sizeof(kFatalSignals) / sizeof(kFatalSignals[0]);
constexpr int kMaxFrames = 64;

// Everything the handler touches is prepared beforehand: it may only use
// calls that are safe inside a signal handler.
char extractPath[4096];
struct sigaction previousActions[kSignalCount];
std::atomic<bool> installed{false};
std::atomic<bool> writing{false};

int signalIndex(int sig) {
  for (int i = 0; i < kSignalCount; ++i) {
    if (kFatalSignals[i] == sig) return i;
  }
  return -1;
}

void writeText(int fd, const char* text) {
  ssize_t ignored = write(fd, text, std::strlen(text));
  (void)ignored;
}

void writeNumber(int fd, int value) {
  char digits[16];
  int n = 0;
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0 && n < 15);
  if (value < 0) digits[n++] = '-';
  char text[17];
  for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  text[n] = 0;
  writeText(fd, text);
}

void writeExtract(int sig) {
  int fd = open(extractPath, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  writeText(fd, "Fatal signal ");
  writeNumber(fd, sig);
  writeText(fd, " (");
  writeText(fd, sigabbrev_np(sig) != nullptr ? sigabbrev_np(sig) : "?");
  writeText(fd, ") in process ");
  writeNumber(fd, static_cast<int>(getpid()));
  writeText(fd, "\nBacktrace:\n");
  void* frames[kMaxFrames];
  backtrace_symbols_fd(frames, backtrace(frames, kMaxFrames), fd);
  close(fd);
}

void onFatalSignal(int sig, siginfo_t* info, void*) {
  if (!writing.exchange(true)) writeExtract(sig);
  int index = signalIndex(sig);
  if (index >= 0) sigaction(sig, &previousActions[index], nullptr);
  // A fault returns and happens again under the previous action; a sent
  // signal has to be sent again.
  if (info == nullptr || info->si_code <= 0) raise(sig);
}

} // namespace

void CrashExtractInstall(const std::wstring& tempFolder) {
  std::string path = WideToUtf8(tempFolder) + "QV-Crash.log";
  if (installed.load() || path.size() >= sizeof(extractPath)) return;
  std::memcpy(extractPath, path.c_str(), path.size() + 1);
  // The first backtrace loads the unwinder; that must not happen in a handler.
  void* frames[2];
  backtrace(frames, 2);
  struct sigaction action {};
  action.sa_sigaction = onFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kSignalCount; ++i) sigaction(kFatalSignals[i], &action, &previousActions[i]);
  writing = false;
  installed = true;
}

void CrashExtractRemove() {
  if (!installed.exchange(false)) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kFatalSignals[i], &previousActions[i], nullptr);
}
