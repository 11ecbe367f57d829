// GLib's quark table outgrows its first block once GStreamer has registered
// its quarks, and drops the old block on purpose (lock-free readers may
// still hold it). LeakSanitizer reports that block as lost, and with the
// fast unwinder its stack ends in g_malloc itself, so nothing narrower than
// that frame can name it. The suppression is given only to processes that
// started GStreamer, and only in sanitizer builds; the same line is in
// tests/platform/lsan_gstreamer.supp for programs that list their own.
#include "platform/gstreamer/lsan_glib.h"

#include <atomic>

namespace {
std::atomic<bool> gStarted{false};
}

void GstMovieMarkStarted() { gStarted = true; }

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_LSAN_HOOK 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QV_LSAN_HOOK 1
#endif

#ifdef QV_LSAN_HOOK
// Read by the leak checker when it runs, at exit. Weak, so that a list a
// program defines for itself takes precedence.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
  return gStarted ? "leak:^g_malloc$\n" : "";
}
#endif
