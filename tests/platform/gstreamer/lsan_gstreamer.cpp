// GLib's quark table outgrows its first block once GStreamer has registered
// its quarks, and drops the old block on purpose (lock-free readers may
// still hold it); the fast unwinder ends that block's stack in g_malloc
// itself. Same list as tests/platform/lsan_gstreamer.supp. Weak, so that a
// program-wide list defined elsewhere takes precedence.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() { return "leak:^g_malloc$\n"; }
