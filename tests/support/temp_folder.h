#pragma once
// The tests' temporary folders go where the user's TMPDIR says, as the
// program's own do, and into /tmp only without one. Header only, for the
// ground's suite too.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// $TMPDIR when it names a folder from the root, else /tmp; no trailing slash.
inline std::string TempBase() {
  const char* dir = std::getenv("TMPDIR");
  std::string base = dir != nullptr && dir[0] == '/' ? dir : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base;
}

// A fresh folder <TempBase()>/<prefix>-XXXXXX; empty when none could be made.
inline std::string MakeTempFolder(const std::string& prefix) {
  std::string pattern = TempBase() + "/" + prefix + "-XXXXXX";
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

// The process's scratch folder, made at the first call (the prefix of
// later calls is not looked at) and removed with what is in it when the
// process ends normally; TempBase() when none could be made.
inline const std::string& ProcessScratchFolder(const std::string& prefix) {
  static const std::string made = MakeTempFolder(prefix);
  static const std::string folder = made.empty() ? TempBase() : made;
  // Registered after the name, so that it runs while the name still lives.
  static const bool removed = !made.empty() && std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(made, ignored);
  }) == 0;
  (void)removed;
  return folder;
}
