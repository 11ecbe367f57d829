// Style and template pictures are drawn with Pango; fontconfig keeps parts
// of its parsed configuration for the life of the process, which is the
// library's own state, not a leak of ours. Weak, so that a program-wide
// list defined elsewhere takes precedence.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libpangoft2\nleak:libpango-1.0\n";
}
