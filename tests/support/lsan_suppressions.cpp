// LeakSanitizer reads this list at exit in every test program. It names
// allocations that system libraries keep for the life of the process on
// purpose; nothing of ours belongs here.
extern "C" const char* __lsan_default_suppressions() {
  return
      // fontconfig and Pango cache fonts and layouts globally.
      "leak:libfontconfig\n"
      "leak:libpangoft2\n"
      "leak:libpango-1.0\n"
      // Session-bus buffers kept by Qt's platform integration.
      "leak:libdbus-1.so\n"
      // SDL keeps a thread-local block for every thread that opened sound
      // and frees it only for threads it started itself.
      "leak:libSDL2\n"
      // GLib's quark table outgrows its first block once GStreamer has
      // registered its quarks and drops the old block on purpose (lock-free
      // readers may still hold it); with the fast unwinder its stack ends in
      // g_malloc itself.
      "leak:^g_malloc$\n";
}
